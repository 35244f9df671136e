#pragma once
// The per-user start-up entry of this copy of the program: its value name, its command and
// whether an existing entry starts this copy. Portable; the registry is reached through
// platform/startup_entry.h.

#include <string>
#include <string_view>

// The argument the start-up entry passes: the main window opens minimized.
inline constexpr std::u16string_view START_MINIMIZED_ARGUMENT = u"--minimized";

// "Laurelight " and eight hex digits of a hash of the folder's text, ASCII letters upper-cased.
// The program passes the folder's identity (platform::FolderIdentity), so that copies in two
// folders get two entries and the same folder reached by any path gets one; earlier versions
// passed the path text.
std::u16string StartupEntryName(std::u16string_view folder);

// The quoted path of the executable and the minimized-start argument.
std::u16string StartupEntryCommand(std::u16string_view exe_path);

// True when the command starts exe_path, quoted or not, with any arguments. Paths compare
// without regard to ASCII letter case, as Windows compares them.
bool StartupEntryStarts(std::u16string_view command, std::u16string_view exe_path);

// True when one argument of the command line (without the program name) is the
// minimized-start argument, quoted or not, in any ASCII letter case.
bool AsksToStartMinimized(std::u16string_view command_line);
