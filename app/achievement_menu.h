#pragma once
// The 成就 menu and what the lists offer for their items: new, edit and delete, reloading
// adv.json and opening its folder; a double-click edits, a right-click offers edit and delete.
// Windows only; UI thread only.

#include "platform/win32/win32.h"

// WM_COMMAND of the main window: the menu's commands and the lists' notifications. Other
// commands are left alone.
void OnAchievementCommand(HWND window, WPARAM wparam);

// WM_INITMENUPOPUP: edit and delete are greyed while neither list has a selected item.
void ShowAchievementMenuState(HWND window, HMENU popup);

// WM_CONTEXTMENU: true when it was a list's, which then offers edit and delete for the item
// under the pointer (or the selected one, from the keyboard).
bool OnListContextMenu(HWND window, WPARAM target, LPARAM where);
