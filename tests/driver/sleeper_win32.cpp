// A stand-in for a program the user starts: it runs for the given number of milliseconds
// (copied under any exe name), and with a second argument it shows a top-level window whose
// title is that argument, given as hex of its UTF-8 bytes so any text survives the command line.
//
//   sleeper <milliseconds> [title-hex]

#include "platform/win32/win32.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/win32/test_window.h"
#include "text/utf8.h"

namespace {

std::string FromHex(const char* hex) {
    std::string bytes;
    for (std::size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
        const char pair[3] = {hex[i], hex[i + 1], '\0'};
        bytes.push_back(static_cast<char>(std::strtoul(pair, nullptr, 16)));
    }
    return bytes;
}

HWND ShowTitledWindow(const std::u16string& title) {
    HWND window =
        CreateTestWindow(L"LaurelightTestSleeper", platform::Wide(title), RECT{40, 40, 360, 160});
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD duration = argc > 1 ? static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10)) : 5000;
    if (argc > 2) ShowTitledWindow(Utf8ToUtf16(FromHex(argv[2])));
    std::puts("ready");
    std::fflush(stdout);
    const DWORD end = GetTickCount() + duration;
    for (;;) {
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    return 0;
}
