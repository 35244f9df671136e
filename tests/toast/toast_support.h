#pragma once
// Helpers of the toast tests: pumping this thread's messages, finding the toasts, reading
// pixels, and writing small pictures. Windows only.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace toast_test {

using Clock = std::chrono::steady_clock;

// Dispatches this thread's messages until `done` returns true or the time runs out; calls
// `after_each` after every dispatched message. Returns whether `done` became true.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
               const std::function<void()>& after_each = nullptr);
void PumpFor(std::chrono::milliseconds time);

// The toasts of this process, in z-order (topmost first).
std::vector<HWND> FindToasts();

// The pixels of `rect` of the screen, top-down, as 0x00RRGGBB.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned> data;
    unsigned At(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};
Pixels CaptureScreen(RECT rect);

// A 32-bit top-down device-independent bitmap of this size.
BITMAPINFO TopDownBitmapInfo(int width, int height);

unsigned Red(unsigned pixel);
unsigned Green(unsigned pixel);
unsigned Blue(unsigned pixel);

// A 24-bit BMP whose left half is `left` and right half `right` (GDI+ reads pictures by
// content, whatever the file is called).
bool WriteSplitBitmap(const std::wstring& path, int width, int height, COLORREF left,
                      COLORREF right);

std::wstring ExecutableDirectory();

}  // namespace toast_test
