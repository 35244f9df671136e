#include "config/config_loader.h"

#include <fstream>
#include <iterator>

#include "config/scan_report.h"
#include "config/utf8.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "tracker/tracker.h"

std::string ReadWholeFile(const std::u16string& path) {
    std::ifstream file(platform::NativePath(path), std::ios::in | std::ios::binary);
    if (!file) return {};
    char head[3] = {};
    file.read(head, sizeof head);
    if (file.gcount() < static_cast<std::streamsize>(sizeof head)) return {};
    std::string content;
    const bool bom = static_cast<unsigned char>(head[0]) == 0xEF &&
                     static_cast<unsigned char>(head[1]) == 0xBB &&
                     static_cast<unsigned char>(head[2]) == 0xBF;
    if (!bom) content.assign(head, sizeof head);
    content.append(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return content;
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
    const size_t begin = ++pos;
    while (pos < line.size() && line[pos] != '"') {
        // An escaped byte never ends the value; a backslash last on the line is just a byte.
        pos += (line[pos] == '\\' && pos + 1 < line.size()) ? 2 : 1;
    }
    if (pos == begin) return {};
    return Utf8ToUtf16(line.substr(begin, pos - begin));
}

std::u16string LoadAchievements(const std::u16string& config_path, std::vector<Achievement>& out,
                                ScanReport* report) {
    out.clear();
    if (!platform::FileExists(config_path)) {
        return std::u16string(kConfigMissingMessage) + config_path;
    }
    const std::string content = ReadWholeFile(config_path);
    if (content.empty()) return std::u16string(kConfigUnreadableMessage);
    if (report) ReportEncoding(*report, content);
    ScanAchievements(content, out, report);
    if (out.empty()) return std::u16string(kConfigNoAchievementsMessage);
    return {};
}

bool AchievementTracker::LoadConfig() {
    const std::u16string failure = LoadAchievements(config_path, achievements);
    if (failure.empty()) return true;
    platform::ShowErrorMessage(main_window, failure);
    return false;
}
