// The findings of a configuration check. Each names the line, a stable code and what the
// program will do with the line, in English and in Chinese, the language of the program.

#include "config/scan_report.h"

#include <algorithm>

#include "config/config_scan.h"
#include "config/scan_members.h"
#include "text/text_encoding.h"
#include "text/utf8.h"

namespace {

constexpr std::size_t SNIPPET_LENGTH = 40;

// A quoted, valid UTF-8 excerpt of file bytes, short enough for one message.
std::string Quote(std::string_view bytes) {
    std::u16string text = Utf8ToUtf16(bytes);
    if (text.size() > SNIPPET_LENGTH) text = text.substr(0, SNIPPET_LENGTH) + u"…";
    return Quoted(text);
}

std::string Quote(const std::u16string& text) {
    return Quote(Utf16ToUtf8(text));
}

void Add(ScanReport& report, std::size_t line, const char* code, std::string message,
         std::string message_zh) {
    report.findings.push_back({line, code, std::move(message), std::move(message_zh), ""});
}

void ReportMember(ScanReport& report, std::size_t line, const MemberToken& member, bool applied) {
    const std::string key = Quote(member.key);
    if (ConfigKeyIndex(member.key) < 0) {
        Add(report, line, "unknown-key",
            "key " + key +
                " is not one of id, title, description, trigger_description, "
                "trigger_value, trigger_type, trigger_goal, hidden, sound, picture (keys are "
                "case-sensitive); the member is ignored",
            "键 " + key +
                " 不是 id、title、description、trigger_description、trigger_value、"
                "trigger_type、trigger_goal、hidden、sound、picture "
                "之一（区分大小写），该成员被忽略");
    } else if (member.space_before_colon) {
        Add(report, line, "space-before-colon",
            "a space or tab between " + key + " and its colon hides the member; it is ignored",
            key + " 与冒号之间有空格或制表符，该成员被忽略");
    } else if (!member.string_value) {
        Add(report, line, "value-not-string",
            "the value of " + key + " is not a double-quoted string; it counts as no value",
            key + " 的值不是双引号字符串，视为没有值");
    } else if (!applied && !member.empty_value) {
        Add(report, line, "shadowed-member",
            "only one member per line is applied (the first in the order id, title, "
            "description, trigger_description, trigger_value, trigger_type); " +
                key + " is ignored",
            "每行只应用一个成员（按 id、title、description、trigger_description、trigger_value、"
            "trigger_type 的顺序取第一个），" +
                key + " 被忽略");
    } else if (applied && !member.after_value.empty()) {
        Add(report, line, "text-after-value",
            "the value of " + key + " ends at the second '\"'; the text after it (" +
                Quote(member.after_value) +
                ") is ignored. A value cannot hold a plain '\"': write 「」 or “” instead",
            key + " 的值在第二个 '\"' 处结束，其后的文字（" + Quote(member.after_value) +
                "）被忽略。值中不能直接写 '\"'，请改用「」或“”");
    } else if (applied && member.escaped_quote) {
        Add(report, line, "escape-kept",
            "escapes in the value of " + key +
                " are not decoded: \\\" shows as a backslash and a quote; write 「」 or “” "
                "instead",
            key + " 的值中的转义不会被解码：\\\" 会显示为反斜杠和引号，请改用「」或“”");
    } else if (applied && member.escaped_value) {
        Add(report, line, "escape-kept",
            "escapes in the value of " + key +
                " are not decoded: \\u4e2d or \\n shows as written; write the characters "
                "themselves",
            key + " 的值中的转义不会被解码：\\u4e2d 或 \\n 会原样显示，请直接写出字符本身");
    }
}

void CheckTriggerType(ScanReport& report, std::size_t close_line) {
    if (report.member_lines[TRIGGER_TYPE_KEY] == 0) {
        Add(report, close_line, "missing-trigger-type",
            "the entry has no trigger_type; the achievement can never be unlocked",
            "该条目没有 trigger_type，此成就永远无法解锁");
        return;
    }
    // "none" is how a configuration says on purpose that an achievement has no trigger.
    if (report.trigger_type_text == "none") return;
    const std::string text = Quote(report.trigger_type_text);
    Add(report, report.member_lines[TRIGGER_TYPE_KEY], "unknown-trigger-type",
        "trigger_type " + text +
            " is neither \"window_title\" nor \"process_name\" (exact, "
            "case-sensitive); the achievement can never be unlocked (write \"none\" if intended)",
        "trigger_type " + text +
            " 既不是 \"window_title\" 也不是 \"process_name\"（须完全一致，"
            "区分大小写），此成就永远无法解锁（若是有意为之，请写 \"none\"）");
}

void CheckTriggerValue(ScanReport& report, std::size_t close_line, const Achievement& achievement) {
    const std::u16string& value = achievement.trigger_value;
    const std::size_t line = report.member_lines[TRIGGER_VALUE_KEY] != 0
                                 ? report.member_lines[TRIGGER_VALUE_KEY]
                                 : close_line;
    if (value.empty()) {
        Add(report, line, "empty-trigger-value",
            "the trigger_value is empty or missing; the achievement can never be unlocked",
            "trigger_value 为空或缺失，此成就永远无法解锁");
    } else if (achievement.trigger_type == TriggerType::WindowTitle &&
               value.find_first_not_of(u'|') == std::u16string::npos) {
        Add(report, line, "trigger-never-fires",
            "the trigger_value holds only '|' and so no title fragment; it never fires",
            "trigger_value 只有 '|'，没有任何标题片段，永远不会触发");
    } else if (achievement.trigger_type == TriggerType::ProcessName &&
               value.find_first_of(u"\\/") != std::u16string::npos) {
        Add(report, line, "trigger-never-fires",
            "a process trigger compares the bare executable file name; a value with a "
            "directory never matches",
            "进程触发只比较可执行文件名本身，带目录的值永远不会匹配");
    } else if (achievement.trigger_type == TriggerType::ProcessName &&
               value.find(u'|') != std::u16string::npos) {
        Add(report, line, "trigger-never-fires",
            "a process trigger takes one file name; '|' does not separate alternatives there, "
            "so it never matches",
            "进程触发只接受一个文件名，'|' 在这里不分隔多个选项，因此永远不会匹配");
    }
}

}  // namespace

void ReportEncoding(ScanReport& report, std::string_view content) {
    const DetectedEncoding detected = DetectEncoding(content);
    if (detected.encoding != TextEncoding::Utf8) {
        const std::string kind =
            std::string(detected.encoding == TextEncoding::Utf16Le ? "little-endian"
                                                                   : "big-endian") +
            (detected.byte_order_mark ? ", with a byte-order mark" : ", without a byte-order mark");
        Add(report, 1, "utf16-file",
            "the file is UTF-16 (" + kind +
                "), as Notepad saves \"Unicode\"; Laurelight reads UTF-8 and loads nothing "
                "from it. laurelight-check --format --write rewrites it as UTF-8",
            "文件是 UTF-16 编码（记事本的“Unicode”），Laurelight 只读取 UTF-8，无法从中加载"
            "任何内容。运行 laurelight-check --format --write 可将其改写为 UTF-8");
        return;
    }
    const std::size_t line = FirstLineNotUtf8(content);
    if (line == 0) return;
    Add(report, line, "not-utf8",
        "this line is not UTF-8 (the file was perhaps saved as ANSI or GBK); its text shows as "
        "U+FFFD, and a changed id loses its saved progress. Save the file as UTF-8",
        "此行不是 UTF-8（文件可能以 ANSI 或 GBK 编码保存），其中的文字会显示为 U+FFFD，"
        "id 改变后已保存的进度也会丢失。请以 UTF-8 编码保存文件");
}

void ReportMarkerLine(ScanReport& report, std::size_t line, std::string_view after_marker) {
    while (!after_marker.empty() && after_marker.back() == '\r') after_marker.remove_suffix(1);
    if (after_marker.empty()) return;
    Add(report, line, "text-after-marker",
        "everything after \"achievements\": [ on this line is ignored (" + Quote(after_marker) +
            "); start the first entry on the next line",
        "此行 \"achievements\": [ 之后的内容被忽略（" + Quote(after_marker) +
            "），请把第一个条目写在下一行");
}

void ReportEntryOpened(ScanReport& report, std::size_t line, std::string_view text) {
    report.entry_line = line;
    report.member_lines = {};
    report.trigger_type_text.clear();
    const std::vector<MemberToken> members = FindMembers(text);
    if (members.empty()) return;
    const std::string key = Quote(members.front().key);
    Add(report, line, "member-on-opening-line",
        "a member on the same line as the entry's '{' is lost (" + key +
            "); put it on a line of its own",
        "与条目的 '{' 同一行的成员会丢失（" + key + "），请单独成行");
}

void ReportLineBetweenEntries(ScanReport& report, std::size_t line, std::string_view text) {
    for (const MemberToken& member : FindMembers(text)) {
        if (ConfigKeyIndex(member.key) < 0) continue;
        const std::string key = Quote(member.key);
        Add(report, line, "member-outside-entry",
            "member " + key +
                " stands outside any entry and is ignored; an earlier '}' "
                "(perhaps inside a value or a nested object) closed the entry",
            "成员 " + key +
                " 不在任何条目内，被忽略；之前的 '}'（可能在某个值或嵌套对象中）"
                "已结束该条目");
        return;
    }
}

void ReportMemberLine(ScanReport& report, std::size_t line, std::string_view text, int applied) {
    if (applied >= 0) {
        report.member_lines[static_cast<std::size_t>(applied)] = line;
        if (applied == static_cast<int>(TRIGGER_TYPE_KEY)) {
            report.trigger_type_text =
                Utf16ToUtf8(ExtractJsonString(text, CONFIG_KEYS[TRIGGER_TYPE_KEY].name));
        }
    }
    bool applied_seen = false;
    for (const MemberToken& member : FindMembers(text)) {
        const bool is_applied = !applied_seen && applied >= 0 &&
                                member.key == CONFIG_KEYS[static_cast<std::size_t>(applied)].name;
        applied_seen = applied_seen || is_applied;
        ReportMember(report, line, member, is_applied);
    }
}

void ReportEntryClosed(ScanReport& report, std::size_t line, const Achievement& achievement,
                       bool loaded) {
    if (!loaded) {
        Add(report, line, "entry-without-id",
            "the entry opened on line " + std::to_string(report.entry_line) +
                " has no id (missing, empty or not a string) and is not loaded",
            "第 " + std::to_string(report.entry_line) +
                " 行开始的条目没有 id（缺失、为空或不是字符串），不会被加载");
        return;
    }
    report.loaded_member_lines.push_back(report.member_lines);
    const auto [previous, first_use] = report.id_lines.emplace(achievement.id, line);
    if (!first_use) {
        const std::string id = Quote(achievement.id);
        Add(report, line, "duplicate-id",
            "id " + id + " is also used by the entry closed on line " +
                std::to_string(previous->second) + "; both load and share one progress entry",
            "id " + id + " 已被第 " + std::to_string(previous->second) +
                " 行结束的条目使用；两者都会加载，并共用同一条进度记录");
    }
    if (achievement.trigger_type == TriggerType::None) {
        CheckTriggerType(report, line);
    } else {
        CheckTriggerValue(report, line, achievement);
    }
}

void ReportScanEnd(ScanReport& report, std::size_t stop_line, bool entry_open,
                   bool stopped_inside_entry, bool entries_follow) {
    if (entry_open) {
        const std::string where =
            stop_line != 0 ? "the ']' on line " + std::to_string(stop_line) : "the end of the file";
        const std::string where_zh =
            stop_line != 0 ? "第 " + std::to_string(stop_line) + " 行的 ']'" : "文件末尾";
        Add(report, report.entry_line, "entry-not-closed",
            "this entry is still open at " + where + " and is not loaded",
            "此条目到" + where_zh + "仍未结束，不会被加载");
    }
    if (stop_line != 0 && stopped_inside_entry && entries_follow) {
        Add(report, stop_line, "list-ended-early",
            "a ']' on this member line (in a value or after a member) ends the list; the "
            "entries after it are not read",
            "此成员行中的 ']'（在值中或成员之后）结束了成就列表，其后的条目不会被读取");
    }
    std::stable_sort(
        report.findings.begin(), report.findings.end(),
        [](const ConfigFinding& a, const ConfigFinding& b) { return a.line < b.line; });
}
