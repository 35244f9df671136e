// The line scanner. Structural tests ('{', '}', ']' and the marker) look at the line with
// every space and tab removed; keys and values are read from the line as it stands, so spaces
// inside values survive. A CR before the LF stays on the line and disturbs none of the tests.

#include "config/config_scan.h"

#include <utility>

#include "config/scan_report.h"
#include "text/utf8.h"

namespace {

struct ScanState {
    ScanState(std::vector<Achievement>& achievements, ScanReport* findings)
        : out(achievements), report(findings) {}
    std::vector<Achievement>& out;
    ScanReport* report;
    bool in_array = false;
    bool in_entry = false;
    bool stopped = false;
    Achievement achievement;
};

bool Contains(const std::string& compact, char c) {
    return compact.find(c) != std::string::npos;
}

// The first key, in the fixed order of trial, whose value on this line is not empty.
int ApplyFirstMember(std::string_view line, Achievement& achievement) {
    for (std::size_t key = 0; key < CONFIG_KEYS.size(); ++key) {
        std::u16string value = ExtractJsonString(line, CONFIG_KEYS[key].name);
        if (value.empty()) continue;
        ApplyConfigValue(achievement, CONFIG_KEYS[key], std::move(value));
        return static_cast<int>(key);
    }
    return -1;
}

void ScanBeforeArray(ScanState& scan, std::size_t number, const std::string& compact) {
    const std::size_t marker = compact.find(ACHIEVEMENTS_MARKER);
    if (marker == std::string::npos) return;
    scan.in_array = true;
    if (scan.report) {
        ReportMarkerLine(*scan.report, number,
                         std::string_view(compact).substr(marker + ACHIEVEMENTS_MARKER.size()));
    }
}

void ScanBetweenEntries(ScanState& scan, std::size_t number, std::string_view line,
                        const std::string& compact) {
    if (Contains(compact, '{')) {
        scan.achievement = Achievement{};
        scan.in_entry = true;
        if (scan.report) ReportEntryOpened(*scan.report, number, line);
    } else if (Contains(compact, ']')) {
        scan.stopped = true;
    } else if (scan.report) {
        ReportLineBetweenEntries(*scan.report, number, line);
    }
}

void ScanInEntry(ScanState& scan, std::size_t number, std::string_view line,
                 const std::string& compact) {
    const int applied = ApplyFirstMember(line, scan.achievement);
    if (scan.report) ReportMemberLine(*scan.report, number, line, applied);
    if (Contains(compact, '}')) {
        scan.in_entry = false;
        // The working achievement stays as it is; the next opening line resets it.
        const bool loaded = !scan.achievement.id.empty();
        if (loaded) {
            scan.achievement.completed = false;
            scan.out.push_back(scan.achievement);
        }
        if (scan.report) ReportEntryClosed(*scan.report, number, scan.achievement, loaded);
    }
    if (Contains(compact, ']')) scan.stopped = true;
}

void ScanLine(ScanState& scan, std::size_t number, std::string_view line) {
    const std::string compact = CompactLine(line);
    if (!scan.in_array) {
        ScanBeforeArray(scan, number, compact);
    } else if (!scan.in_entry) {
        ScanBetweenEntries(scan, number, line, compact);
    } else {
        ScanInEntry(scan, number, line, compact);
    }
}

}  // namespace

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

std::string CompactLine(std::string_view line) {
    std::string compact;
    compact.reserve(line.size());
    for (char c : line) {
        if (c != ' ' && c != '\t') compact += c;
    }
    return compact;
}

TriggerType TriggerTypeFromText(const std::u16string& text) {
    if (text == u"window_title") return TriggerType::WindowTitle;
    if (text == u"process_name") return TriggerType::ProcessName;
    return TriggerType::None;
}

const char* TriggerTypeName(TriggerType type) {
    switch (type) {
        case TriggerType::WindowTitle:
            return "window_title";
        case TriggerType::ProcessName:
            return "process_name";
        default:
            return "none";
    }
}

// Fragments are views into the trigger value, which outlives the search.
std::vector<std::u16string_view> SplitTitleFragments(std::u16string_view value) {
    std::vector<std::u16string_view> fragments;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = value.find(u'|', start);
        const std::u16string_view fragment = value.substr(
            start, bar == std::u16string_view::npos ? std::u16string_view::npos : bar - start);
        if (!fragment.empty()) fragments.push_back(fragment);
        if (bar == std::u16string_view::npos) break;
        start = bar + 1;
    }
    return fragments;
}

int ConfigKeyIndex(std::string_view key) {
    for (std::size_t index = 0; index < CONFIG_KEYS.size(); ++index) {
        if (CONFIG_KEYS[index].name == key) return static_cast<int>(index);
    }
    return -1;
}

void ApplyConfigValue(Achievement& achievement, const ConfigKey& key, std::u16string value) {
    if (key.text_field != nullptr) {
        achievement.*key.text_field = std::move(value);
    } else {
        achievement.trigger_type = TriggerTypeFromText(value);
    }
}

void ScanAchievements(std::string_view content, std::vector<Achievement>& out, ScanReport* report) {
    ScanState scan(out, report);
    std::size_t begin = 0;
    std::size_t number = 0;
    // Content that ends with an LF has no empty line after it.
    while (begin < content.size() && !scan.stopped) {
        std::size_t end = content.find('\n', begin);
        if (end == std::string_view::npos) end = content.size();
        const bool was_in_entry = scan.in_entry;
        ScanLine(scan, ++number, content.substr(begin, end - begin));
        begin = end + 1;
        if (scan.stopped && report) {
            const bool entries_follow =
                begin < content.size() && content.find('{', begin) != std::string_view::npos;
            ReportScanEnd(*report, number, scan.in_entry, was_in_entry, entries_follow);
        }
    }
    if (!scan.stopped && report) ReportScanEnd(*report, 0, scan.in_entry, false, false);
}
