#pragma once
// Where a toast appears: at the corner of the screen the user chose, sliding in from and back
// out to the nearer side edge over the toast's own width. Top right is where the toast has
// always been: flush with the screen's right edge, TOAST_TOP below its top. The other corners
// sit in the screen's work area, so never under the taskbar: flush with its side edge and
// TOAST_TOP from its top or bottom edge; the left ones slide the mirrored way. Every figure is
// scaled by the DPI of the screen the toast appears on. Portable.

#include "platform/desktop.h"
#include "settings/app_settings.h"

// At 96 DPI.
constexpr int TOAST_WIDTH = 640;
constexpr int TOAST_HEIGHT = 128;
constexpr int TOAST_TOP = 50;

// One toast's place, fixed when it opens.
struct ToastPlace {
    ToastCorner corner = ToastCorner::TopRight;
    ToastScreen screen_choice = ToastScreen::Primary;
    platform::ScreenFacts screen;  // as it was when the toast opened
    int width = 0;                 // in the screen's pixels
    int height = 0;
    int top = 0;
    int shown_x = 0;   // where it rests
    int hidden_x = 0;  // beyond the side edge: where the slide-in starts
    friend bool operator==(const ToastPlace&, const ToastPlace&) = default;
};

// The place on a given screen.
ToastPlace PlaceToastOn(ToastCorner corner, ToastScreen choice,
                        const platform::ScreenFacts& screen);

// Reads the chosen screen now (the foreground window's, or the primary screen when there is
// no foreground window or the primary was chosen) and places the toast on it.
ToastPlace PlaceToast(ToastCorner corner, ToastScreen choice);

// Where the slide-out ends: beyond the side edge the toast came from. The primary screen is
// read again, so a toast there follows a change of the screen's size while it is shown, as it
// always has; the foreground window's screen is the one the toast opened on.
int SlideOutEnd(const ToastPlace& place);
