#pragma once
// File > "开机时自动启动": the check mark, the toggle, and the minimized start that the
// start-up entry asks for. Windows only; UI thread only.

#include "platform/win32/win32.h"

// Marks the item when this copy's start-up entry exists and starts this executable. Read
// afresh each time the pop-up opens, so an entry changed or removed elsewhere shows as it is;
// other pop-ups are left alone.
void ShowStartAtLoginState(HMENU popup);

// Removes this copy's entry when it starts this executable; otherwise writes it, which also
// repairs an entry that names another path (a moved folder, a renamed executable). An entry
// under the name earlier versions gave it counts as this copy's and is replaced.
void ToggleStartAtLogin();

// The first show of the main window: minimized and without the focus (hidden behind the
// notification icon when the user chose so) when the command line asks for the minimized start,
// else with the show command given to wWinMain; maximized when it closed maximized.
void ShowMainWindowFirst(HWND window, const wchar_t* command_line, int show_command);
