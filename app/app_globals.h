#pragma once
// The program's globals. Windows only; UI thread only. g_hInstance comes with
// platform/win32/win32.h.

#include "platform/win32/win32.h"

struct AchievementTracker;

// The one tracker, from the main window's creation to its destruction; null otherwise.
// Defined next to wWinMain.
extern AchievementTracker* g_tracker;
// Handed back to GDI+ when the program ends. Defined with the GDI+ session.
extern ULONG_PTR g_gdiplusToken;
