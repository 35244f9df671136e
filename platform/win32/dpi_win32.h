#pragma once
// The DPI that windows are drawn at. The program declares per-monitor awareness, so each
// window draws for the screen it is on. The per-window and per-monitor queries come with
// Windows 10 and 8.1; they are looked up at run time, and where they are missing (Windows 7,
// which runs the program system-aware) the system DPI stands in, then 96. Windows only.

#include "platform/win32/win32.h"

namespace platform {

// DPI of the screen the window is on.
int WindowDpi(HWND window);

// DPI of the primary screen, where the toasts slide in unless the user chose another.
int PrimaryScreenDpi();

// DPI of one screen (monitor), the system DPI where it cannot be read.
int MonitorDpi(HMONITOR monitor);

// DPI of the whole session: what the stock fonts are made for.
int SystemDpi();

}  // namespace platform
