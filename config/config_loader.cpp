#include "config/config_loader.h"

#include "config/scan_report.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "text/text_encoding.h"
#include "text/utf8.h"
#include "tracker/tracker.h"

std::string ReadWholeFile(const std::u16string& path) {
    std::string content = platform::ReadFileBytes(path);
    if (content.size() < 3) return {};
    if (content.starts_with(UTF8_BYTE_ORDER_MARK)) content.erase(0, UTF8_BYTE_ORDER_MARK.size());
    return content;
}

std::size_t StringEnd(std::string_view line, std::size_t open) {
    std::size_t pos = open + 1;
    while (pos < line.size() && line[pos] != '"') {
        // An escaped byte never ends the value; a backslash last on the line is just a byte.
        pos += (line[pos] == '\\' && pos + 1 < line.size()) ? 2 : 1;
    }
    return pos;
}

std::u16string ExtractJsonString(std::string_view line, std::string_view key) {
    std::string needle;
    needle.reserve(key.size() + 3);
    needle += '"';
    needle += key;
    needle += "\":";
    size_t pos = line.find(needle);
    if (pos == std::string_view::npos) return {};
    pos += needle.size();
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (pos >= line.size() || line[pos] != '"') return {};
    const size_t end = StringEnd(line, pos);
    if (end == pos + 1) return {};
    return Utf8ToUtf16(line.substr(pos + 1, end - pos - 1));
}

std::u16string LoadAchievements(const std::u16string& config_path, std::vector<Achievement>& out,
                                ScanReport* report) {
    out.clear();
    if (!platform::FileExists(config_path)) {
        return std::u16string(CONFIG_MISSING_MESSAGE) + config_path;
    }
    const std::string content = ReadWholeFile(config_path);
    if (content.empty()) return std::u16string(CONFIG_UNREADABLE_MESSAGE);
    if (report) ReportEncoding(*report, content);
    ScanAchievements(content, out, report);
    if (out.empty()) return std::u16string(CONFIG_NO_ACHIEVEMENTS_MESSAGE);
    return {};
}

bool AchievementTracker::LoadConfig() {
    const std::u16string failure = LoadAchievements(config_path, achievements);
    if (failure.empty()) return true;
    platform::ShowErrorMessage(main_window, failure, ERROR_CAPTION);
    return false;
}
