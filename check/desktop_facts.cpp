#include "check/desktop_facts.h"

#include <algorithm>
#include <utility>

#include "platform/desktop.h"
#include "text/ascii_case.h"

namespace {

bool CollectProcess(std::u16string_view name, void* context) {
    static_cast<std::vector<std::u16string>*>(context)->emplace_back(name);
    return false;
}

bool CollectWindow(std::u16string_view title, unsigned cloak, void* context) {
    static_cast<std::vector<DesktopWindow>*>(context)->push_back({std::u16string(title), cloak});
    return false;
}

// Letters of either case together (explorer.exe, Notepad.exe), exact order among equals.
bool AlphabeticalOrder(const std::u16string& a, const std::u16string& b) {
    return std::pair(LowerAsciiText(a), a) < std::pair(LowerAsciiText(b), b);
}

}  // namespace

DesktopFacts ReadDesktopFacts() {
    DesktopFacts facts;
    platform::VisitProcessNames(CollectProcess, &facts.processes);
    std::sort(facts.processes.begin(), facts.processes.end(), AlphabeticalOrder);
    facts.processes.erase(std::unique(facts.processes.begin(), facts.processes.end()),
                          facts.processes.end());
    facts.has_window_titles = platform::HasWindowTitles();
    facts.windows = ReadVisibleWindows();
    return facts;
}

std::vector<DesktopWindow> ReadVisibleWindows() {
    std::vector<DesktopWindow> windows;
    platform::VisitVisibleWindows(CollectWindow, &windows);
    return windows;
}

std::u16string SeenTitle(const DesktopWindow& window) {
    return window.title.substr(0, platform::MAX_TITLE_UNITS);
}

bool OnlyCloakedWindowsTitled(const std::vector<DesktopWindow>& windows,
                              std::u16string_view title) {
    bool found = false;
    for (const DesktopWindow& window : windows) {
        if (SeenTitle(window) != title) continue;
        if (window.cloak == 0) return false;
        found = true;
    }
    return found;
}
