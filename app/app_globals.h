#pragma once
// The program's globals, defined next to wWinMain. Windows only; UI thread only.

#include <windows.h>

struct AchievementTracker;

// The one tracker, from the main window's creation to its destruction; null otherwise.
extern AchievementTracker* g_tracker;
// The module instance, stored before the main window is created.
extern HINSTANCE g_hInstance;
// Handed back to GDI+ when the program ends.
extern ULONG_PTR g_gdiplusToken;
