#pragma once
// One program per folder. The program that runs for a folder holds the folder's claim from
// its start until its main window is destroyed, and marks that window, so that a second start
// brings it forward instead of opening a second writer of the same progress file, and so that
// laurelight-check can hand it an unlock. Windows only; UI thread only.

#include "platform/win32/win32.h"

// First thing in wWinMain. True when this program now holds its folder. False when another
// program runs for the folder: its main window (or the box it shows) has been brought to the
// front, restored when minimized, and this start ends with 0 without a window.
bool ClaimFolderOrForward();

// WM_CREATE, first: from now on other processes find this window.
void MarkMainWindow(HWND window);

// WM_DESTROY, first. A new start may take the folder at once, while this program's monitor
// thread ends its last pass, which can take minutes with many unlocks in it; requests that
// arrive from now on are refused.
void ReleaseFolder(HWND window);

// WM_COPYDATA: an unlock handed over by laurelight-check (handoff/unlock_request.h). Returns the
// encoded reply; 0 for data that is not such a request.
LRESULT OnCopyData(LPARAM data);
