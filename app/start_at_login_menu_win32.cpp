#include "app/start_at_login_menu.h"

#include "login/start_at_login.h"
#include "model/data_paths.h"
#include "platform/files.h"
#include "platform/startup_entry.h"
#include "resources/resource_ids.h"

namespace {

struct ThisCopy {
    std::u16string exe_path = platform::ModulePath();
    std::u16string entry_name = StartupEntryName(ExecutableDirectory(exe_path));
};

bool EntryStartsThisCopy(const ThisCopy& copy) {
    const std::optional<std::u16string> command = platform::ReadStartupEntry(copy.entry_name);
    return command.has_value() && StartupEntryStarts(*command, copy.exe_path);
}

}  // namespace

void ShowStartAtLoginState(HMENU popup) {
    if (GetMenuState(popup, IDM_START_AT_LOGIN, MF_BYCOMMAND) == static_cast<UINT>(-1)) return;
    const UINT mark = EntryStartsThisCopy(ThisCopy{}) ? MF_CHECKED : MF_UNCHECKED;
    CheckMenuItem(popup, IDM_START_AT_LOGIN, MF_BYCOMMAND | mark);
}

// A failed write or removal says nothing: the mark, read again when the menu next opens,
// shows what the registry really holds.
void ToggleStartAtLogin() {
    const ThisCopy copy;
    if (EntryStartsThisCopy(copy)) {
        platform::RemoveStartupEntry(copy.entry_name);
    } else {
        platform::WriteStartupEntry(copy.entry_name, StartupEntryCommand(copy.exe_path));
    }
}

// Windows may put the launcher's STARTUPINFO show state in place of the first ShowWindow's;
// a second call is taken as given.
void ShowMainWindowFirst(HWND window, const wchar_t* command_line, int show_command) {
    if (command_line == nullptr || !AsksToStartMinimized(platform::Utf16(command_line))) {
        ShowWindow(window, show_command);
        return;
    }
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    if (!IsIconic(window)) ShowWindow(window, SW_SHOWMINNOACTIVE);
}
