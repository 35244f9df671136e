#pragma once
// The main window's line about progress that could not be saved. It sits in the bottom
// margin, hidden while the progress is on disk. Windows only; UI thread only.

#include "platform/win32/win32.h"

#include "app/main_layout.h"

struct AchievementTracker;

// Hidden and empty until a save fails.
HWND CreateSaveStatusLine(HWND parent, const LayoutBox& box);

// Shows why saves fail, else what the last reading of adv.json while running found, or hides
// the line when there is nothing to say.
void RefreshSaveStatusLine(HWND parent, const AchievementTracker& tracker);

// Colours for WM_CTLCOLORSTATIC of the line: dark red on the window colour.
HBRUSH SaveStatusLineColors(HDC dc);
