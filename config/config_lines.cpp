#include "config/config_lines.h"

#include <array>

#include "config/config_scan.h"
#include "config/scan_members.h"
#include "text/text_encoding.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Compact(std::string_view line) {
    return CompactLine(LineBody(line));
}

// The line with its double-quoted strings taken out, and how many there were.
std::string OutsideStrings(std::string_view line, std::size_t& strings) {
    std::string outside;
    strings = 0;
    for (std::size_t pos = 0; pos < line.size(); ++pos) {
        if (line[pos] == '"') {
            pos = StringEnd(line, pos);
            ++strings;
        } else {
            outside += line[pos];
        }
    }
    return outside;
}

// The entry as the scanner loads it, read from its own lines.
std::optional<Achievement> ScanEntry(const ConfigLines& file, std::size_t open, std::size_t close) {
    std::string text = std::string(ACHIEVEMENTS_MARKER) + "\n";
    for (std::size_t line = open; line <= close; ++line) text += file.lines[line];
    std::vector<Achievement> loaded;
    ScanAchievements(text, loaded);
    if (loaded.empty()) return std::nullopt;
    return loaded.front();
}

LineRefusal Refuse(EditRefusal refusal, std::size_t index) {
    return {refusal, index + 1};
}

// Whether a line inside an entry is `"key": value` and at most a comma, so that a JSON reader
// reads it as the scanner does, with no key of CONFIG_KEYS that an earlier line held. The value
// is a string or a plain word such as a number, true or null.
bool IsPlainMemberLine(std::string_view body, std::array<bool, CONFIG_KEYS.size()>& seen) {
    const std::vector<MemberToken> members = FindMembers(body);
    if (members.size() != 1) return false;
    const MemberToken& member = members.front();
    std::size_t strings = 0;
    const std::string outside = CompactLine(OutsideStrings(body, strings));
    if (outside.empty() || outside.front() != ':') return false;
    std::string_view value = std::string_view(outside).substr(1);
    if (value.ends_with(',')) value.remove_suffix(1);
    if (value.find_first_of(",:{}[]") != std::string_view::npos) return false;
    if (strings != (member.string_value ? 2u : 1u) || (member.string_value && !value.empty())) {
        return false;
    }
    const int key = ConfigKeyIndex(member.key);
    if (key < 0) return true;
    if (member.space_before_colon || seen[static_cast<std::size_t>(key)]) return false;
    seen[static_cast<std::size_t>(key)] = true;
    return true;
}

}  // namespace

ConfigLines SplitConfigLines(std::string_view file) {
    ConfigLines split;
    if (file.starts_with(UTF8_BYTE_ORDER_MARK)) {
        split.byte_order_mark = UTF8_BYTE_ORDER_MARK;
        file.remove_prefix(UTF8_BYTE_ORDER_MARK.size());
    }
    while (!file.empty()) {
        const std::size_t end = file.find('\n');
        const std::size_t length = end == std::string_view::npos ? file.size() : end + 1;
        split.lines.emplace_back(file.substr(0, length));
        file.remove_prefix(length);
    }
    return split;
}

std::string JoinLines(const ConfigLines& file) {
    std::string text;
    for (const std::string& line : file.lines) text += line;
    return text;
}

std::string_view LineBody(std::string_view line) {
    return line.substr(0, line.size() - LineEnd(line).size());
}

std::string_view LineEnd(std::string_view line) {
    if (line.ends_with("\r\n")) return "\r\n";
    if (line.ends_with('\n')) return "\n";
    return "";
}

std::string_view Indentation(std::string_view line) {
    std::size_t length = 0;
    while (length < line.size() && IsBlank(line[length])) ++length;
    return line.substr(0, length);
}

bool IsBlankLine(std::string_view line) {
    return Compact(line).empty();
}

bool EndsWithComma(std::string_view line) {
    const std::string compact = Compact(line);
    return !compact.empty() && compact.back() == ',';
}

void AddComma(std::string& line) {
    std::size_t pos = LineBody(line).size();
    while (pos > 0 && IsBlank(line[pos - 1])) --pos;
    line.insert(pos, 1, ',');
}

void RemoveComma(std::string& line) {
    std::size_t pos = LineBody(line).size();
    while (pos > 0 && IsBlank(line[pos - 1])) --pos;
    if (pos > 0 && line[pos - 1] == ',') line.erase(pos - 1, 1);
}

LineRefusal LocateList(const ConfigLines& file, ListLines& list) {
    std::size_t line = 0;
    std::size_t marker = std::string::npos;
    for (; line < file.lines.size() && marker == std::string::npos; ++line) {
        marker = Compact(file.lines[line]).find(ACHIEVEMENTS_MARKER);
    }
    if (marker == std::string::npos) return {EditRefusal::NoList, 0};
    list.marker = line - 1;
    if (Compact(file.lines[list.marker]).size() != marker + ACHIEVEMENTS_MARKER.size()) {
        return Refuse(EditRefusal::Layout, list.marker);
    }
    constexpr std::size_t NO_ENTRY = std::string::npos;
    std::size_t open = NO_ENTRY;
    for (; line < file.lines.size(); ++line) {
        const std::string compact = Compact(file.lines[line]);
        const bool closes_list = compact.find(']') != std::string::npos;
        if (open != NO_ENTRY) {
            if (closes_list) return Refuse(EditRefusal::Layout, line);
            if (compact.find('}') == std::string::npos) continue;
            list.entries.push_back({open, line, ScanEntry(file, open, line)});
            open = NO_ENTRY;
        } else if (compact.find('{') != std::string::npos) {
            open = line;
        } else if (closes_list) {
            list.end = line;
            return compact.front() == ']' ? LineRefusal{} : Refuse(EditRefusal::Layout, line);
        }
    }
    return {EditRefusal::NoList, 0};
}

bool IsClosingLine(std::string_view line) {
    const std::string compact = Compact(line);
    return compact == "}" || compact == "},";
}

LineRefusal CheckEntryLines(const ConfigLines& file, const EntryLines& entry) {
    if (Compact(file.lines[entry.open]) != "{") return Refuse(EditRefusal::Layout, entry.open);
    std::array<bool, CONFIG_KEYS.size()> seen{};
    for (std::size_t line = entry.open + 1; line < entry.close; ++line) {
        if (IsBlankLine(file.lines[line])) continue;
        if (!IsPlainMemberLine(LineBody(file.lines[line]), seen)) {
            return Refuse(EditRefusal::Layout, line);
        }
    }
    if (!IsClosingLine(file.lines[entry.close])) return Refuse(EditRefusal::Layout, entry.close);
    return {};
}

LineRefusal FindEntry(const ListLines& list, std::u16string_view id, std::size_t& index) {
    std::size_t found = 0;
    for (std::size_t entry = 0; entry < list.entries.size(); ++entry) {
        if (!list.entries[entry].loaded || list.entries[entry].loaded->id != id) continue;
        if (found++ != 0) return Refuse(EditRefusal::DuplicateId, list.entries[entry].open);
        index = entry;
    }
    return found == 0 ? LineRefusal{EditRefusal::NoSuchId, 0} : LineRefusal{};
}

std::optional<std::size_t> MemberLine(const ConfigLines& file, const EntryLines& entry,
                                      std::string_view key) {
    for (std::size_t line = entry.open + 1; line < entry.close; ++line) {
        const std::vector<MemberToken> members = FindMembers(LineBody(file.lines[line]));
        if (members.size() == 1 && members.front().key == key) return line;
    }
    return std::nullopt;
}
