// Start-up: GDI+, the common controls, the main window and the message loop.
// The one argument it knows, the start-up entry's --minimized, opens the main window
// minimized; others are ignored. It always exits with 0, also when another program already
// runs for its folder.

#include "platform/win32/win32.h"
#include <commctrl.h>

#include "app/app_globals.h"
#include "app/gdiplus_session.h"
#include "app/main_window.h"
#include "app/single_instance.h"
#include "app/start_at_login_menu.h"
#include "app/user_settings.h"
#include "notify/toast.h"
#include "platform/win32/system_library_win32.h"
#include "resources/resource_ids.h"

AchievementTracker* g_tracker = nullptr;

namespace {

void InitStandardControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

// Runs until the quit request. Besides the menu mnemonics and the system keys, the table of
// the main menu's id gives Ctrl+N and F5. Their commands go to the main window, also when a
// key reaches one of its lists.
void RunMessageLoop(HWND main_window) {
    HACCEL accelerators = LoadAcceleratorsW(g_hInstance, MAKEINTRESOURCEW(IDR_MAIN_MENU));
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (accelerators != nullptr &&
            TranslateAcceleratorW(main_window, accelerators, &message) != 0) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int show_command) {
    // Before anything loads a DLL by name: never from the program's own folder.
    platform::RestrictDllSearchToSystemFolder();
    // A second start for the same folder only brings the running program forward.
    if (!ClaimFolderOrForward()) return 0;
    LoadUserSettings();
    UseToastSettings(&UserSettings());
    const GdiplusSession gdiplus;
    InitStandardControls();
    RegisterMainWindowClass(instance);
    g_hInstance = instance;  // the main window's creation makes the lists with it

    HWND window = CreateMainWindow(instance);
    if (window == nullptr) return 0;
    ShowMainWindowFirst(window, command_line, show_command);
    UpdateWindow(window);

    RunMessageLoop(window);
    return 0;
}
