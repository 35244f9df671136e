#pragma once
// Running in the background: 暂停检测, 显示通知区域图标 and 最小化到通知区域 in the File menu
// (暂停检测 and 打开 Laurelight in the notification icon's menu too), the paused title, and
// hiding the minimized window behind the icon. Each choice is saved at once. Windows only; UI
// thread only.

#include "platform/win32/win32.h"

struct AchievementTracker;

// At the main window's creation, once the lists are filled and before monitoring starts: the
// saved pause holds from the first pass on, and the icon comes up unless switched off.
void ApplySavedBackgroundSettings(HWND window, AchievementTracker& tracker);

// Carries out one of the commands above; false for any other command.
bool OnBackgroundCommand(HWND window, UINT command);

// Check marks and greying of the items above in a pop-up that is opening; others are left alone.
void ShowBackgroundMenuState(HMENU popup);

// WM_SIZE with SIZE_MINIMIZED: hides the window and its taskbar button when the user asked for
// that and the icon is there to bring it back.
void HideMinimizedBehindIcon(HWND window);
