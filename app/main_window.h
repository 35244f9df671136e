#pragma once
// The main window: its class, its creation and its window procedure. Windows only.

#include "platform/win32/win32.h"

constexpr UINT_PTR CHECK_TIMER_ID = 2001;
constexpr UINT CHECK_INTERVAL_MS = 2000;
constexpr wchar_t MAIN_WINDOW_TITLE[] = L"Laurelight";

// Registers "LaurelightMain" with icons 101/102 and menu 103.
void RegisterMainWindowClass(HINSTANCE instance);

// "Laurelight", 800x600 (at 96 DPI, scaled to its screen) at the default position, or where
// the window was when it last closed; null when creation fails.
HWND CreateMainWindow(HINSTANCE instance);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
