#pragma once
// Where the main window puts its two lists and their captions, from the client size and the
// DPI of the screen it is on. Kept free of Windows so it can be checked on any machine.

#include <algorithm>

#include "platform/dpi_scale.h"

// Position and size, as MoveWindow takes them.
struct LayoutBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Edges, as DrawTextW takes them.
struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct MainLayout {
    LayoutBox completed_list;
    LayoutBox pending_list;
    LayoutRect completed_caption;
    LayoutRect pending_caption;
    LayoutBox status_line;  // across the bottom margin, below both lists
};

// Figures at 96 DPI; ComputeMainLayout scales them.
constexpr int LIST_MARGIN = 10;
constexpr int LIST_TOP = 50;
constexpr int LIST_BOTTOM_GAP = 50;
constexpr int CAPTION_TOP = 25;
constexpr int CAPTION_BOTTOM = 45;
constexpr int CAPTION_RIGHT = 200;   // relative to the left edge of the caption's half
constexpr int STATUS_LINE_GAP = 10;  // between the lists' bottom and the status line
constexpr int STATUS_LINE_HEIGHT = 20;

// Two lists of equal size side by side, two margins apart. The right half starts at width / 2
// (truncated), so an odd width leaves one more pixel on the right. A window too small for
// the lists gets empty ones rather than negative sizes. The status line spans the bottom
// margin under the lists and never reaches into them. At 96 DPI every figure is as written.
constexpr MainLayout ComputeMainLayout(int client_width, int client_height,
                                       int dpi = platform::BASE_DPI) {
    const auto scaled = [dpi](int value) { return platform::Scale(value, dpi); };
    const int margin = scaled(LIST_MARGIN);
    const int list_top = scaled(LIST_TOP);
    const int caption_top = scaled(CAPTION_TOP);
    const int caption_bottom = scaled(CAPTION_BOTTOM);
    const int caption_right = scaled(CAPTION_RIGHT);
    const int half = client_width / 2;
    const int list_width = std::max(0, half - 2 * margin);
    const int list_height = std::max(0, client_height - list_top - scaled(LIST_BOTTOM_GAP));
    MainLayout layout;
    layout.completed_list = {margin, list_top, list_width, list_height};
    layout.pending_list = {half + margin, list_top, list_width, list_height};
    layout.completed_caption = {margin, caption_top, caption_right, caption_bottom};
    layout.pending_caption = {half + margin, caption_top, half + caption_right, caption_bottom};
    layout.status_line = {margin, list_top + list_height + scaled(STATUS_LINE_GAP),
                          std::max(0, client_width - 2 * margin), scaled(STATUS_LINE_HEIGHT)};
    return layout;
}
