// The screens a toast can appear on: the primary screen and the foreground window's.

#include "platform/win32/win32.h"

#include "platform/desktop.h"
#include "platform/win32/dpi_win32.h"

namespace platform {

namespace {

ScreenRect RectOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

std::optional<MONITORINFO> InfoOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) return std::nullopt;
    return info;
}

}  // namespace

// The rectangle is the one the toast has always been placed by; where the monitor cannot be
// read, the work area is the whole screen.
ScreenFacts PrimaryScreen() {
    ScreenFacts facts;
    facts.bounds = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const std::optional<MONITORINFO> info =
        InfoOf(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
    facts.work_area = info ? RectOf(info->rcWork) : facts.bounds;
    facts.dpi = PrimaryScreenDpi();
    return facts;
}

std::optional<ScreenFacts> ForegroundWindowScreen() {
    HWND foreground = GetForegroundWindow();
    if (foreground == nullptr) return std::nullopt;
    HMONITOR monitor = MonitorFromWindow(foreground, MONITOR_DEFAULTTONEAREST);
    const std::optional<MONITORINFO> info = InfoOf(monitor);
    if (!info) return std::nullopt;
    return ScreenFacts{RectOf(info->rcMonitor), RectOf(info->rcWork), MonitorDpi(monitor)};
}

}  // namespace platform
