#pragma once
// The notification icon: the program's small icon in the notification area, with the progress
// and the pause as its tooltip. A left click brings the main window back; a right click opens
// the icon's menu at the cursor. Windows only; UI thread only.

#include "platform/win32/win32.h"

// Adds the icon unless the user switched it off. An icon the shell still holds is updated
// instead, so a second copy never appears.
void AddNotificationIcon(HWND window);

// Takes the icon away (the program ends, Windows logs off, the user switched it off).
void RemoveNotificationIcon(HWND window);

// Whether the shell holds the icon now: only then may the window hide behind it.
bool NotificationIconShown();

// Gives the tooltip the lists' counts and the pause, when they changed since it was last given.
void RefreshNotificationIconTip(HWND window);

// The icon's callback, and the shell's "TaskbarCreated" after Explorer restarted, which puts
// the icon back. False for any other message.
bool OnNotificationIconMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Shows, restores and activates the main window: a left click, or 打开 Laurelight.
void BringMainWindowBack(HWND window);
