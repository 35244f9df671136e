#include "login/start_at_login.h"

#include <cstdint>

#include "text/ascii_case.h"

namespace {

constexpr std::u16string_view ENTRY_NAME_PREFIX = u"Laurelight ";

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == u'\t';
}

// 32-bit FNV-1a over the code units, low octet first: stable across builds and platforms.
std::uint32_t FolderHash(std::u16string_view folder) {
    std::uint32_t hash = 2166136261u;
    for (char16_t unit : folder) {
        const char16_t upper = UpperAscii(unit);
        for (const unsigned octet : {upper & 0xFFu, (upper >> 8) & 0xFFu}) {
            hash = (hash ^ octet) * 16777619u;
        }
    }
    return hash;
}

std::u16string_view SkipBlanks(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

// The next argument, without its quotes; `rest` moves past it.
std::u16string_view NextArgument(std::u16string_view& rest) {
    rest = SkipBlanks(rest);
    std::size_t end = 0;
    std::u16string_view argument;
    if (!rest.empty() && rest.front() == u'"') {
        end = rest.find(u'"', 1);
        if (end == std::u16string_view::npos) end = rest.size();
        argument = rest.substr(1, end - 1);
        if (end < rest.size()) ++end;  // past the closing quote
    } else {
        while (end < rest.size() && !IsBlank(rest[end])) ++end;
        argument = rest.substr(0, end);
    }
    rest.remove_prefix(end);
    return argument;
}

}  // namespace

std::u16string StartupEntryName(std::u16string_view folder) {
    static constexpr char16_t DIGITS[] = u"0123456789ABCDEF";
    const std::uint32_t hash = FolderHash(folder);
    std::u16string name(ENTRY_NAME_PREFIX);
    for (int shift = 28; shift >= 0; shift -= 4) name += DIGITS[(hash >> shift) & 0xFu];
    return name;
}

std::u16string StartupEntryCommand(std::u16string_view exe_path) {
    std::u16string command = u"\"";
    command += exe_path;
    command += u"\" ";
    command += START_MINIMIZED_ARGUMENT;
    return command;
}

// An unquoted path may hold spaces, so the path is matched as a whole prefix rather than
// cut at the first blank.
bool StartupEntryStarts(std::u16string_view command, std::u16string_view exe_path) {
    command = SkipBlanks(command);
    if (exe_path.empty()) return false;
    std::size_t start = 0;
    if (!command.empty() && command.front() == u'"') start = 1;
    if (command.size() < start + exe_path.size()) return false;
    if (!EqualIgnoringAsciiCase(command.substr(start, exe_path.size()), exe_path)) return false;
    const std::u16string_view after = command.substr(start + exe_path.size());
    if (start == 1) return !after.empty() && after.front() == u'"';
    return after.empty() || IsBlank(after.front());
}

bool AsksToStartMinimized(std::u16string_view command_line) {
    std::u16string_view rest = command_line;
    while (!SkipBlanks(rest).empty()) {
        if (EqualIgnoringAsciiCase(NextArgument(rest), START_MINIMIZED_ARGUMENT)) return true;
    }
    return false;
}
