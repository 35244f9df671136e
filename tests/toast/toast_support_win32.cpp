#include "tests/toast/toast_support.h"

#include <cstdint>
#include <fstream>

namespace toast_test {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
               const std::function<void()>& after_each) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            if (after_each) after_each();
        }
    }
    return true;
}

void PumpFor(std::chrono::milliseconds time) {
    PumpUntil([] { return false; }, time);
}

std::vector<HWND> FindToasts() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() &&
                std::wstring(name) == L"AdvancementNotification") {
                reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

Pixels CaptureScreen(RECT rect) {
    Pixels pixels;
    pixels.width = rect.right - rect.left;
    pixels.height = rect.bottom - rect.top;
    pixels.data.assign(static_cast<size_t>(pixels.width) * pixels.height, 0);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = TopDownBitmapInfo(pixels.width, pixels.height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (size_t i = 0; i < pixels.data.size(); ++i) pixels.data[i] = source[i] & 0xFFFFFFu;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

unsigned Red(unsigned pixel) {
    return (pixel >> 16) & 0xFF;
}
unsigned Green(unsigned pixel) {
    return (pixel >> 8) & 0xFF;
}
unsigned Blue(unsigned pixel) {
    return pixel & 0xFF;
}

namespace {

void Put16(std::ofstream& out, std::uint16_t value) {
    out.put(static_cast<char>(value & 0xFF)).put(static_cast<char>(value >> 8));
}
void Put32(std::ofstream& out, std::uint32_t value) {
    Put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace

bool WriteSplitBitmap(const std::wstring& path, int width, int height, COLORREF left,
                      COLORREF right) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    const std::uint32_t row = static_cast<std::uint32_t>((width * 3 + 3) & ~3);
    const std::uint32_t image = row * static_cast<std::uint32_t>(height);
    out.put('B').put('M');
    Put32(out, 54 + image);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, 24);
    for (int i = 0; i < 6; ++i) Put32(out, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = x < width / 2 ? left : right;
            out.put(static_cast<char>(GetBValue(colour)))
                .put(static_cast<char>(GetGValue(colour)))
                .put(static_cast<char>(GetRValue(colour)));
        }
        for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < row; ++pad)
            out.put(0);
    }
    return static_cast<bool>(out);
}

std::wstring ExecutableDirectory() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L"\\/"));
}

BITMAPINFO TopDownBitmapInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace toast_test
