#pragma once
// What a check pass can see on the desktop, read once through the platform seam: the names
// of the running processes and the visible top-level windows.

#include <string>
#include <vector>

struct DesktopWindow {
    std::u16string title;  // whole, not cut
    unsigned cloak = 0;    // the window manager's cloak flags; 0 when on screen
};

struct DesktopFacts {
    std::vector<std::u16string> processes;  // sorted, each name once
    std::vector<DesktopWindow> windows;     // in the order of the window walk
    bool has_window_titles = false;
};

DesktopFacts ReadDesktopFacts();
std::vector<DesktopWindow> ReadVisibleWindows();

// The title as the program reads it: the first platform::MAX_TITLE_UNITS units.
std::u16string SeenTitle(const DesktopWindow& window);

// True when every listed window with this seen title is cloaked (and there is one).
bool OnlyCloakedWindowsTitled(const std::vector<DesktopWindow>& windows, std::u16string_view title);
