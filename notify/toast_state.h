#pragma once
// What one toast window owns: its title, picture, font, place and slide fields. Each toast has its
// own, kept in its GWLP_USERDATA slot from WM_CREATE until its WM_DESTROY. Windows only.

#include "platform/win32/win32.h"

#include <cstdint>
#include <optional>
#include <string>

#include "notify/gdiplus_flat.h"
#include "notify/toast_place.h"
#include "platform/dpi_scale.h"
#include "platform/win32/gdi_holders.h"

struct NotificationState {
    std::optional<std::u16string> title;  // set before the toast window is created
    GdipImageHolder background;
    int background_status = -1;  // not Ok until a load succeeded
    FontObject header_font;
    std::int32_t slide_from = 0;
    std::int32_t slide_to = 0;
    std::int32_t step = 0;
    int dpi = platform::BASE_DPI;  // of the screen the toast appears on, when it was made
    ToastPlace place;              // where it appears, chosen when it was made
};

// A figure of the toast, written at 96 DPI, in the toast's pixels.
inline int ToastPixels(const NotificationState& state, int value) {
    return platform::Scale(value, state.dpi);
}

// Draws the whole toast into the window's paint context, double-buffered. A null state
// (a paint before the state exists) gives the fallback panel alone.
void PaintToast(HDC target, const NotificationState* state);
