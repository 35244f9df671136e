#include "config/config_loader.h"

#include "config/config_scan.h"
#include "config/scan_report.h"
#include "platform/files.h"
#include "text/text_encoding.h"

std::string ReadWholeFile(const std::u16string& path) {
    std::string content = platform::ReadFileBytes(path);
    if (content.size() < 3) return {};
    if (content.starts_with(UTF8_BYTE_ORDER_MARK)) content.erase(0, UTF8_BYTE_ORDER_MARK.size());
    return content;
}

ConfigFile ReadConfigFile(const std::u16string& config_path) {
    if (!platform::FileExists(config_path)) {
        return {{}, std::u16string(CONFIG_MISSING_MESSAGE) + config_path};
    }
    ConfigFile file{ReadWholeFile(config_path), {}};
    if (file.content.empty()) file.failure = CONFIG_UNREADABLE_MESSAGE;
    return file;
}

std::u16string LoadAchievements(const std::u16string& config_path, std::vector<Achievement>& out,
                                ScanReport* report) {
    out.clear();
    const ConfigFile file = ReadConfigFile(config_path);
    if (!file.failure.empty()) return file.failure;
    if (report) ReportEncoding(*report, file.content);
    ScanAchievements(file.content, out, report);
    if (out.empty()) return std::u16string(CONFIG_NO_ACHIEVEMENTS_MESSAGE);
    return {};
}
