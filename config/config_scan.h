#pragma once
// The line scanner of bin\adv.json, pretty-printed JSON.
//
// The scanner is deliberately not a JSON parser. It finds the array by its marker line, an
// entry by a '{' on a line, applies at most one key per line and takes only double-quoted
// string values, converted from UTF-8 without decoding escapes. Files written in the usual
// one-member-per-line layout load; other layouts load partly or not at all.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/achievement.h"

struct ScanReport;

// The keys in the order the scanner tries them on a member line, and the field each fills:
// its text as it stands, or for "trigger_type" the type that its text names. The last two
// came later; a line holding one of the first six never reaches them.
struct ConfigKey {
    std::string_view name;
    std::u16string Achievement::*text_field;  // null for "trigger_type"
};
inline constexpr std::array<ConfigKey, 8> CONFIG_KEYS = {{
    {"id", &Achievement::id},
    {"title", &Achievement::title},
    {"description", &Achievement::description},
    {"trigger_description", &Achievement::trigger_description},
    {"trigger_value", &Achievement::trigger_value},
    {"trigger_type", nullptr},
    {"trigger_goal", &Achievement::trigger_goal},
    {"hidden", &Achievement::hidden},
}};
inline constexpr std::size_t TRIGGER_VALUE_KEY = 4;
inline constexpr std::size_t TRIGGER_TYPE_KEY = 5;

// Index into CONFIG_KEYS of a key (case-sensitive), or -1.
int ConfigKeyIndex(std::string_view key);

// Sets the field that `key` fills from its value.
void ApplyConfigValue(Achievement& achievement, const ConfigKey& key, std::u16string value);

// Index of the quote that closes the string opened by the quote at `open`, or the line's
// length when none does. An escaped byte never ends the string.
std::size_t StringEnd(std::string_view line, std::size_t open);

// The double-quoted value of `"key":` on this line, escapes kept as written; empty when the
// key is absent, its value is not a string, or the string is empty.
std::u16string ExtractJsonString(std::string_view line, std::string_view key);

// The text whose presence in a compact line marks the start of the achievement list.
inline constexpr std::string_view ACHIEVEMENTS_MARKER = "\"achievements\":[";

// The line with every space and tab removed: the form the structural tests ('{', '}', ']' and
// the marker) look at.
std::string CompactLine(std::string_view line);

// "window_title" and "process_name" name the two triggers; any other text gives None.
TriggerType TriggerTypeFromText(const std::u16string& text);
// The inverse: "none", "window_title" or "process_name".
const char* TriggerTypeName(TriggerType type);

// The title fragments of a window_title value: split at every '|', empty ones dropped,
// nothing trimmed. Views into `value`.
std::vector<std::u16string_view> SplitTitleFragments(std::u16string_view value);

// Appends the achievements that the content configures to `out`, in file order. A report,
// when given, collects findings about lines that do not load as their author likely meant;
// it never changes what is loaded.
void ScanAchievements(std::string_view content, std::vector<Achievement>& out,
                      ScanReport* report = nullptr);
