#include "app/start_at_login_menu.h"

#include "app/window_place.h"
#include "login/start_at_login.h"
#include "model/data_paths.h"
#include "platform/files.h"
#include "platform/startup_entry.h"
#include "resources/resource_ids.h"

namespace {

// The value is named after the folder's identity, as the folder claim is, so that every path
// to the folder finds one value. Earlier versions named it after the folder's path text; for
// most folders the two names are the same.
struct ThisCopy {
    std::u16string exe_path = platform::ModulePath();
    std::u16string folder = ExecutableDirectory(exe_path);
    std::u16string entry_name = StartupEntryName(platform::FolderIdentity(folder));
    std::u16string earlier_name = StartupEntryName(folder);
};

bool EntryStarts(const std::u16string& name, const std::u16string& exe_path) {
    const std::optional<std::u16string> command = platform::ReadStartupEntry(name);
    return command.has_value() && StartupEntryStarts(*command, exe_path);
}

bool EntryStartsThisCopy(const ThisCopy& copy) {
    return EntryStarts(copy.entry_name, copy.exe_path) ||
           (copy.earlier_name != copy.entry_name && EntryStarts(copy.earlier_name, copy.exe_path));
}

}  // namespace

void ShowStartAtLoginState(HMENU popup) {
    if (GetMenuState(popup, IDM_START_AT_LOGIN, MF_BYCOMMAND) == static_cast<UINT>(-1)) return;
    const UINT mark = EntryStartsThisCopy(ThisCopy{}) ? MF_CHECKED : MF_UNCHECKED;
    CheckMenuItem(popup, IDM_START_AT_LOGIN, MF_BYCOMMAND | mark);
}

// A failed write or removal says nothing: the mark, read again when the menu next opens,
// shows what the registry really holds.
//
// A value under the earlier name goes either way: unchecking removes it, checking writes the
// value under the identity's name in its place.
void ToggleStartAtLogin() {
    const ThisCopy copy;
    const bool starts = EntryStartsThisCopy(copy);
    if (copy.earlier_name != copy.entry_name && platform::ReadStartupEntry(copy.earlier_name)) {
        platform::RemoveStartupEntry(copy.earlier_name);
    }
    if (starts) {
        platform::RemoveStartupEntry(copy.entry_name);
    } else {
        platform::WriteStartupEntry(copy.entry_name, StartupEntryCommand(copy.exe_path));
    }
}

// Windows may put the launcher's STARTUPINFO show state in place of the first ShowWindow's;
// a second call is taken as given. Minimized, the window hides behind the notification icon
// when the user asked for that (its WM_SIZE sees to it).
void ShowMainWindowFirst(HWND window, const wchar_t* command_line, int show_command) {
    if (command_line == nullptr || !AsksToStartMinimized(platform::Utf16(command_line))) {
        ShowWindow(window, FirstShowCommand(show_command));
    } else {
        ShowWindow(window, SW_SHOWMINNOACTIVE);
        if (!IsIconic(window)) ShowWindow(window, SW_SHOWMINNOACTIVE);
        RestoreToMaximizedAsSaved(window);
    }
    NoteStartPlace(window);
}
