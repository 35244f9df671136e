// Finds "key": pairs on one line the way a JSON reader would: strings are skipped whole, so a
// quoted text inside a value is never taken for a key. Only the report uses this; the loader
// itself looks for its keys by plain search.

#include "config/scan_members.h"

#include "config/config_scan.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The text after a string value that no JSON reader would take: empty when the line ends, or a
// ',', '}' or ']' follows (blanks and a CR aside).
std::string_view TextAfterValue(std::string_view line, std::size_t after) {
    while (after < line.size() && (IsBlank(line[after]) || line[after] == '\r')) ++after;
    if (after >= line.size() || line[after] == ',' || line[after] == '}' || line[after] == ']') {
        return {};
    }
    std::string_view rest = line.substr(after);
    while (!rest.empty() && (IsBlank(rest.back()) || rest.back() == '\r')) rest.remove_suffix(1);
    return rest;
}

}  // namespace

std::vector<MemberToken> FindMembers(std::string_view line) {
    std::vector<MemberToken> members;
    std::size_t pos = 0;
    while (pos < line.size()) {
        if (line[pos] != '"') {
            ++pos;
            continue;
        }
        const std::size_t close = StringEnd(line, pos);
        if (close >= line.size()) break;
        std::size_t after = close + 1;
        while (after < line.size() && IsBlank(line[after])) ++after;
        if (after >= line.size() || line[after] != ':') {
            pos = close + 1;  // a value or an array element, not a key
            continue;
        }
        MemberToken member;
        member.key = std::string(line.substr(pos + 1, close - pos - 1));
        member.space_before_colon = after != close + 1;
        std::size_t value = after + 1;
        while (value < line.size() && IsBlank(line[value])) ++value;
        member.string_value = value < line.size() && line[value] == '"';
        if (member.string_value) {
            const std::size_t value_end = StringEnd(line, value);
            const std::string_view text = line.substr(value, value_end - value);
            member.empty_value = value_end == value + 1;
            member.escaped_value = text.find('\\') != std::string_view::npos;
            member.escaped_quote = text.find("\\\"") != std::string_view::npos;
            if (value_end < line.size()) member.after_value = TextAfterValue(line, value_end + 1);
            value = value_end + 1;
        }
        members.push_back(std::move(member));
        pos = value;
    }
    return members;
}
