#include "check/format_config.h"

#include "check/check_json.h"
#include "check/ordered_json_reader.h"
#include "config/config_scan.h"
#include "text/utf8.h"

namespace {

constexpr std::string_view ENTRY_INDENT = "        ";
constexpr std::string_view MEMBER_INDENT = "            ";
constexpr std::string_view LINE_END = "\r\n";
// Far beyond any configuration, and shallow enough for the recursive dump.
constexpr std::size_t MAX_DEPTH = 200;

bool Structural(std::string_view line) {
    const std::string compact = CompactLine(line);
    return compact.find('}') != std::string::npos || compact.find(']') != std::string::npos;
}

// Why the scanner would not read `line` as the member `key` with `value`, or empty.
std::string WhyNotCarried(std::string_view line, const std::string& key, const Json& value) {
    const int index = ConfigKeyIndex(key);
    for (std::size_t other = 0; other < CONFIG_KEYS.size(); ++other) {
        if (static_cast<int>(other) == index) break;
        if (!ExtractJsonString(line, CONFIG_KEYS[other].name).empty()) {
            return "would be read as \"" + std::string(CONFIG_KEYS[other].name) + "\"";
        }
    }
    if (value.is_structured() && Structural(line)) {
        return "is an object or an array, whose '}' or ']' would end the entry or the list";
    }
    if (index >= 0 && !value.is_string()) return "is not a string; Laurelight reads only strings";
    if (Structural(line)) return "holds a '}' or ']', which would end the entry or the list";
    const std::string dumped = Dump(value);
    if (index >= 0 && dumped.find('\\') != std::string::npos) {
        return "needs an escape (a double quote, a backslash or a control character), which "
               "Laurelight keeps as written";
    }
    if (index >= 0 && ExtractJsonString(line, key) != Utf8ToUtf16(value.get<std::string>())) {
        return "would not read back the same";
    }
    return {};
}

std::string EntryName(std::size_t number, const Json& entry) {
    std::string name = "entry " + std::to_string(number);
    const auto id = entry.find("id");
    if (id != entry.end() && id->is_string()) name += " (id " + Dump(*id) + ")";
    return name;
}

std::u16string StringMember(const Json& entry, std::string_view key) {
    const auto member = entry.find(std::string(key));
    if (member == entry.end() || !member->is_string()) return {};
    return Utf8ToUtf16(member->get<std::string>());
}

Achievement AchievementOf(const Json& entry) {
    Achievement achievement;
    for (const ConfigKey& key : CONFIG_KEYS)
        ApplyConfigValue(achievement, key, StringMember(entry, key.name));
    return achievement;
}

// The six keys in the scanner's order, then every other member in its own order.
std::vector<Json::const_iterator> MemberOrder(const Json& entry) {
    std::vector<Json::const_iterator> order;
    for (const ConfigKey& key : CONFIG_KEYS) {
        const auto member = entry.find(std::string(key.name));
        if (member != entry.end()) order.push_back(member);
    }
    for (auto member = entry.begin(); member != entry.end(); ++member) {
        if (ConfigKeyIndex(member.key()) < 0) order.push_back(member);
    }
    return order;
}

// Writes the members the layout carries and names the others, which are left out so that
// they cannot disturb the rest; returns the six keys as written. Each step is constant or
// linear in the member count: an entry may hold hundreds of thousands of members.
Json WriteEntry(FormattedConfig& out, std::size_t number, const Json& entry, bool last) {
    Json written = Json::object();
    std::vector<std::string> lines;
    const std::string name = EntryName(number, entry);
    for (const auto& member : MemberOrder(entry)) {
        const std::string line =
            std::string(MEMBER_INDENT) + Dump(member.key()) + ": " + Dump(*member);
        // The scanner sees the line with its CR and without its LF; a comma changes nothing.
        const std::string why = WhyNotCarried(line + '\r', member.key(), *member);
        if (!why.empty()) {
            out.lost.push_back(name + ", " + Dump(member.key()) + " " + why);
            if (ConfigKeyIndex(member.key()) < 0) ++out.extra_members_lost;
            continue;
        }
        if (ConfigKeyIndex(member.key()) >= 0) written[member.key()] = *member;
        lines.push_back(line);
    }
    out.text += std::string(ENTRY_INDENT) + "{" + std::string(LINE_END);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        out.text += lines[index] + (index + 1 < lines.size() ? "," : "") + std::string(LINE_END);
    }
    out.text += std::string(ENTRY_INDENT) + (last ? "}" : "},") + std::string(LINE_END);
    return written;
}

// A top-level member other than the list, indented one level.
std::string RootMember(const std::string& key, const Json& value) {
    std::string text = "    " + Dump(key) + ": ";
    for (const char c : Dump(value, 4)) {
        text += c == '\n' ? std::string(LINE_END) + "    " : std::string(1, c);
    }
    return text;
}

void WriteList(FormattedConfig& out, const Json& list) {
    out.text += "    \"achievements\": [" + std::string(LINE_END);
    std::size_t last_object = 0;
    for (std::size_t index = 0; index < list.size(); ++index) {
        if (list[index].is_object()) last_object = index;
    }
    for (std::size_t index = 0; index < list.size(); ++index) {
        const Json& entry = list[index];
        if (!entry.is_object()) {
            out.lost.push_back("entry " + std::to_string(index + 1) + " (a " + entry.type_name() +
                               ") is not an object and is left out");
            continue;
        }
        const Achievement achievement =
            AchievementOf(WriteEntry(out, index + 1, entry, index == last_object));
        if (!achievement.id.empty()) out.achievements.push_back(achievement);
    }
    out.text += "    ]";
}

}  // namespace

FormattedConfig FormatConfig(std::string_view json) {
    FormattedConfig out;
    if (json.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        out.error = "the file is empty: there is nothing to load";
        return out;
    }
    OrderedJsonRead read = ReadOrderedJson(json, MAX_DEPTH);
    if (!read.error.empty()) {
        out.error = std::move(read.error);
        return out;
    }
    const Json& root = read.value;
    const auto list = root.is_object() ? root.find("achievements") : root.end();
    if (!root.is_object() || list == root.end() || !list->is_array()) {
        out.error = "the file holds no \"achievements\" array in its top-level object";
        return out;
    }
    // Members before the list stay before it (a "$schema", say), unless a line of theirs would
    // be taken for the list's marker; members after it are never read.
    std::vector<std::string> before;
    std::vector<std::string> after;
    bool list_seen = false;
    for (auto member = root.begin(); member != root.end(); ++member) {
        if (member == list) {
            list_seen = true;
            continue;
        }
        std::string text = RootMember(member.key(), *member);
        const bool marker = CompactLine(text).find(ACHIEVEMENTS_MARKER) != std::string::npos;
        (list_seen || marker ? after : before).push_back(std::move(text));
    }
    out.text = "{" + std::string(LINE_END);
    for (const std::string& text : before) out.text += text + "," + std::string(LINE_END);
    WriteList(out, *list);
    for (const std::string& text : after) out.text += "," + std::string(LINE_END) + text;
    out.text += std::string(LINE_END) + "}" + std::string(LINE_END);
    if (out.achievements.empty() && out.lost.empty()) {
        out = FormattedConfig();
        out.error = "the file holds no achievement with an id: there is nothing to load";
    }
    return out;
}
