#include "platform/win32/dpi_win32.h"

#include "platform/dpi_scale.h"
#include "platform/win32/system_library_win32.h"

namespace platform {

namespace {

// GetDpiForMonitor's MDT_EFFECTIVE_DPI: the scale the user chose for that screen.
constexpr int EFFECTIVE_DPI = 0;

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

GetDpiForWindowFunction DpiForWindow() {
    static const auto function =
        SystemFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    return function;
}

GetDpiForMonitorFunction DpiForMonitor() {
    static const auto function =
        SystemFunction<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
    return function;
}

}  // namespace

int MonitorDpi(HMONITOR monitor) {
    UINT dpi_x = 0;
    UINT dpi_y = 0;
    if (monitor != nullptr && DpiForMonitor() != nullptr &&
        SUCCEEDED(DpiForMonitor()(monitor, EFFECTIVE_DPI, &dpi_x, &dpi_y)) && dpi_x != 0) {
        return static_cast<int>(dpi_x);
    }
    return SystemDpi();
}

int WindowDpi(HWND window) {
    if (DpiForWindow() != nullptr) {
        const UINT dpi = DpiForWindow()(window);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    return MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

int PrimaryScreenDpi() {
    return MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : BASE_DPI;
}

}  // namespace platform
