#pragma once
// Findings about a configuration: lines the scanner reads differently from how a JSON reader
// would, and entries that load but can never fire. The scanner calls the Report* hooks only
// when a report is given, so the program's own load pays nothing for them.

#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_scan.h"
#include "model/achievement.h"

struct ConfigFinding {
    std::size_t line = 0;    // 1-based line of the file
    std::string code;        // stable, e.g. "unknown-key"
    std::string message;     // English, UTF-8
    std::string message_zh;  // Simplified Chinese, UTF-8
    std::string file;        // "adv_save.txt" for a line of the progress; empty for adv.json
};

struct ScanReport {
    std::vector<ConfigFinding> findings;

    // Bookkeeping of the scan being reported.
    std::size_t entry_line = 0;  // opening line of the current entry
    std::array<std::size_t, CONFIG_KEYS.size()> member_lines{};  // where each field was last set
    std::string trigger_type_text;                   // the last applied "trigger_type" text
    std::map<std::u16string, std::size_t> id_lines;  // loaded ids and where they closed
    // member_lines of each loaded achievement, in load order, for findings made after the scan.
    std::vector<std::array<std::size_t, CONFIG_KEYS.size()>> loaded_member_lines;
};

// Findings about the bytes themselves: a UTF-16 file, or a line that is not UTF-8.
void ReportEncoding(ScanReport& report, std::string_view content);
void ReportMarkerLine(ScanReport& report, std::size_t line, std::string_view after_marker);
void ReportEntryOpened(ScanReport& report, std::size_t line, std::string_view text);
void ReportLineBetweenEntries(ScanReport& report, std::size_t line, std::string_view text);
// `applied` is the index into CONFIG_KEYS of the member that was applied, or -1.
void ReportMemberLine(ScanReport& report, std::size_t line, std::string_view text, int applied);
void ReportEntryClosed(ScanReport& report, std::size_t line, const Achievement& achievement,
                       bool loaded);
// Called once when the scan ends. `stop_line` is 0 when the lines ran out.
void ReportScanEnd(ScanReport& report, std::size_t stop_line, bool entry_open,
                   bool stopped_inside_entry, bool entries_follow);
