#pragma once
// The main window's fonts, made for the DPI of the screen the window is on: the list font of
// both lists, and the GUI font of the captions and the save-status line. Windows only; UI
// thread only.

#include "platform/win32/win32.h"

// Makes both fonts for `dpi` and hands them to the lists and the status line that exist; the
// fonts they replace are freed after. A font that cannot be made leaves the one before.
void ApplyMainFonts(HWND window, int dpi);

// The GUI font for the DPI of the last ApplyMainFonts: the stock DEFAULT_GUI_FONT where that
// is the system DPI, else a copy of it scaled from the system DPI.
HFONT MainGuiFont();
