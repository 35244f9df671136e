#pragma once
// File > "提示位置" (the corner), "提示显示在" (the screen), "静音" and "测试提示": the marks,
// the choices, saved in adv_settings.txt, and the sample toast. Windows only; UI thread only.

#include "platform/win32/win32.h"

// Marks the chosen corner and screen with radio bullets and checks the quiet while it is on,
// as the pop-up that holds them opens; other pop-ups are left alone.
void ShowToastMenuState(HMENU popup);

// Carries out one of these commands and returns true; false for any other command.
bool HandleToastMenuCommand(WORD command);
