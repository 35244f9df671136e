// The module instance is defined beside the Win32 seam, so every library that creates
// windows links it; wWinMain, or the main of a test program, stores it.

#include "platform/win32/win32.h"

HINSTANCE g_hInstance = nullptr;
