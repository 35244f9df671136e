#pragma once
// The achievement configuration: loading bin\adv.json with the line scanner
// (config_scan.h), and the messages of a load that fails.

#include <string>
#include <string_view>
#include <vector>

#include "model/achievement.h"

struct ScanReport;

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

// The configuration as the program reads it: the bytes to scan, or the message of why there
// are none (the file is missing, or empty or unreadable).
struct ConfigFile {
    std::string content;
    std::u16string failure;
};
ConfigFile ReadConfigFile(const std::u16string& config_path);

// The whole load without any message box: clears `out`, then fills it. Returns the message
// of the failure, or an empty string when at least one achievement loaded.
std::u16string LoadAchievements(const std::u16string& config_path, std::vector<Achievement>& out,
                                ScanReport* report = nullptr);
