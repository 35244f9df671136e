#pragma once
// The main window's place across starts: its normal rectangle and whether it was maximized.
// Taken at close only when it differs from the place the window started in, so a user who
// never moves, resizes or maximizes the window gets no settings file, and a saved place that
// could not be used this time (its screen is gone) is kept for the next start. Windows only;
// UI thread only.

#include "platform/win32/win32.h"

#include <optional>

// The saved normal rectangle in screen pixels, when it still lies on a screen; otherwise the
// window takes today's default place.
std::optional<RECT> SavedWindowRect();

// The first show of a normal start: maximized when the window closed maximized and the start
// asks for an ordinary show.
int FirstShowCommand(int show_command);

// After a minimized first show: restoring it later maximizes the window when it closed
// maximized.
void RestoreToMaximizedAsSaved(HWND window);

// Notes the place after the first show, to tell at close whether the user changed it.
void NoteStartPlace(HWND window);

// At close (WM_DESTROY, WM_ENDSESSION): saves the place when it changed since the start.
void KeepWindowPlace(HWND window);
