#pragma once
// The achievement configuration: bin\adv.json, pretty-printed JSON read by a line scanner.
//
// The scanner is deliberately not a JSON parser. It finds the array by its marker line, an
// entry by a '{' on a line, applies at most one key per line and takes only double-quoted
// string values, converted from UTF-8 without decoding escapes. Files written in the usual
// one-member-per-line layout load; other layouts load partly or not at all.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "tracker/achievement.h"

struct ScanReport;

// The six keys in the order the scanner tries them on a member line, and the field each
// fills: its text as it stands, or for "trigger_type" the type that its text names.
struct ConfigKey {
    std::string_view name;
    std::u16string Achievement::*text_field;  // null for "trigger_type"
};
inline constexpr std::array<ConfigKey, 6> CONFIG_KEYS = {{
    {"id", &Achievement::id},
    {"title", &Achievement::title},
    {"description", &Achievement::description},
    {"trigger_description", &Achievement::trigger_description},
    {"trigger_value", &Achievement::trigger_value},
    {"trigger_type", nullptr},
}};
inline constexpr std::size_t TRIGGER_VALUE_KEY = 4;
inline constexpr std::size_t TRIGGER_TYPE_KEY = 5;

// Index into CONFIG_KEYS of a key (case-sensitive), or -1.
int ConfigKeyIndex(std::string_view key);

// Sets the field that `key` fills from its value.
void ApplyConfigValue(Achievement& achievement, const ConfigKey& key, std::u16string value);

// The three ways a load fails, as shown to the user. The first is followed by the full path.
inline constexpr std::u16string_view CONFIG_MISSING_MESSAGE =
    u"找不到成就配置文件！\n请确保以下文件存在：\n";
inline constexpr std::u16string_view CONFIG_UNREADABLE_MESSAGE = u"JSON文件为空或读取失败！";
inline constexpr std::u16string_view CONFIG_NO_ACHIEVEMENTS_MESSAGE =
    u"JSON解析失败或没有找到成就配置！";
// The caption of the box that shows them, and of the program's other error boxes.
inline constexpr char16_t ERROR_CAPTION[] = u"错误";

// The file's bytes after a leading UTF-8 byte-order mark. Empty when the file cannot be
// opened or read, or is shorter than three bytes.
std::string ReadWholeFile(const std::u16string& path);

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

// Appends the achievements that the content configures to `out`, in file order. A report,
// when given, collects findings about lines that do not load as their author likely meant;
// it never changes what is loaded.
void ScanAchievements(std::string_view content, std::vector<Achievement>& out,
                      ScanReport* report = nullptr);

// The whole load without any message box: clears `out`, then fills it. Returns the message
// of the failure, or an empty string when at least one achievement loaded.
std::u16string LoadAchievements(const std::u16string& config_path, std::vector<Achievement>& out,
                                ScanReport* report = nullptr);
