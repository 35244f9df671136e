#pragma once
// Where the main window puts its two lists and their captions, from the client size.
// Kept free of Windows so it can be checked on any machine.

#include <algorithm>

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

constexpr int LIST_MARGIN = 10;
constexpr int LIST_TOP = 50;
constexpr int LIST_BOTTOM_GAP = 50;
constexpr int CAPTION_TOP = 25;
constexpr int CAPTION_BOTTOM = 45;
constexpr int CAPTION_RIGHT = 200;   // relative to the left edge of the caption's half
constexpr int STATUS_LINE_GAP = 10;  // between the lists' bottom and the status line
constexpr int STATUS_LINE_HEIGHT = 20;

// Two lists of equal size side by side, 20 apart. The right half starts at width / 2
// (truncated), so an odd width leaves one more unit on the right. A window too small for
// the lists gets empty ones rather than negative sizes. The status line spans the bottom
// margin under the lists and never reaches into them.
constexpr MainLayout ComputeMainLayout(int client_width, int client_height) {
    const int half = client_width / 2;
    const int list_width = std::max(0, half - 2 * LIST_MARGIN);
    const int list_height = std::max(0, client_height - LIST_TOP - LIST_BOTTOM_GAP);
    MainLayout layout;
    layout.completed_list = {LIST_MARGIN, LIST_TOP, list_width, list_height};
    layout.pending_list = {half + LIST_MARGIN, LIST_TOP, list_width, list_height};
    layout.completed_caption = {LIST_MARGIN, CAPTION_TOP, CAPTION_RIGHT, CAPTION_BOTTOM};
    layout.pending_caption = {half + LIST_MARGIN, CAPTION_TOP, half + CAPTION_RIGHT,
                              CAPTION_BOTTOM};
    layout.status_line = {LIST_MARGIN, LIST_TOP + list_height + STATUS_LINE_GAP,
                          std::max(0, client_width - 2 * LIST_MARGIN), STATUS_LINE_HEIGHT};
    return layout;
}
