// GetWindowPlacement gives the normal rectangle in workspace coordinates, which lie off the
// screen's by the taskbar when it stands at the top or left; the settings hold screen pixels,
// which the start hands to CreateWindowExW, so the window is born on its screen at that
// screen's scale.

#include "app/window_place.h"

#include "app/user_settings.h"

namespace {

WindowPlace g_startPlace;

bool SavedMaximized() {
    return SavedWindowRect().has_value() && UserSettings().window.maximized;
}

RECT ScreenRectOf(RECT workspace) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromRect(&workspace, MONITOR_DEFAULTTONEAREST), &monitor)) {
        OffsetRect(&workspace, monitor.rcWork.left - monitor.rcMonitor.left,
                   monitor.rcWork.top - monitor.rcMonitor.top);
    }
    return workspace;
}

// Minimized (or hidden behind the icon), the window counts as maximized when restoring it
// would maximize it.
WindowPlace CurrentPlace(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) return {};
    const RECT rect = ScreenRectOf(placement.rcNormalPosition);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const bool restores_maximized =
        (style & WS_MINIMIZE) != 0 && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0;
    return {true,
            rect.left,
            rect.top,
            rect.right - rect.left,
            rect.bottom - rect.top,
            (style & WS_MAXIMIZE) != 0 || restores_maximized};
}

}  // namespace

std::optional<RECT> SavedWindowRect() {
    const WindowPlace& place = UserSettings().window;
    if (!place.known) return std::nullopt;
    const RECT rect{place.left, place.top, place.left + place.width, place.top + place.height};
    if (MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) == nullptr) return std::nullopt;
    return rect;
}

int FirstShowCommand(int show_command) {
    const bool ordinary =
        show_command == SW_SHOWNORMAL || show_command == SW_SHOW || show_command == SW_SHOWDEFAULT;
    return ordinary && SavedMaximized() ? SW_SHOWMAXIMIZED : show_command;
}

// SetWindowPlacement shows the window with the command it is given: the one of its state now,
// so a window hidden behind the icon stays hidden.
void RestoreToMaximizedAsSaved(HWND window) {
    if (!SavedMaximized() || !IsIconic(window)) return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) return;
    placement.flags |= WPF_RESTORETOMAXIMIZED;
    placement.showCmd = IsWindowVisible(window) ? SW_SHOWMINNOACTIVE : SW_HIDE;
    SetWindowPlacement(window, &placement);
}

void NoteStartPlace(HWND window) {
    g_startPlace = CurrentPlace(window);
}

void KeepWindowPlace(HWND window) {
    const WindowPlace place = CurrentPlace(window);
    if (!place.known || !g_startPlace.known || place == g_startPlace) return;
    g_startPlace = place;
    UserSettings().window = place;
    SaveUserSettings();
}
