// Windows console: the wide command line, output that reads right both in a console window
// (as characters) and in a pipe or file (as UTF-8 bytes), and Ctrl+C.

#include "platform/win32/win32.h"
#include <shellapi.h>

#include "check/console.h"

#include <atomic>
#include <memory>

#include "text/utf8.h"

namespace {

std::atomic<bool> g_stop_requested{false};

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    g_stop_requested = true;
    return TRUE;
}

struct LocalMemoryFree {
    void operator()(wchar_t** words) const { LocalFree(words); }
};
using ArgumentWords = std::unique_ptr<wchar_t*, LocalMemoryFree>;

bool Write(DWORD which, std::string_view text) {
    const HANDLE handle = GetStdHandle(which);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return false;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::u16string wide = Utf8ToUtf16(text);
        return WriteConsoleW(handle, platform::Wide(wide), static_cast<DWORD>(wide.size()),
                             &written, nullptr) != FALSE;
    }
    while (!text.empty()) {
        if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written == 0) {
            return false;
        }
        text.remove_prefix(written);
    }
    return true;
}

}  // namespace

std::vector<std::u16string> CommandLineArguments(int, char**) {
    std::vector<std::u16string> arguments;
    int count = 0;
    const ArgumentWords words(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!words) return arguments;
    for (int index = 1; index < count; ++index) {
        arguments.emplace_back(std::u16string(platform::Utf16(words.get()[index])));
    }
    return arguments;
}

bool WriteStdout(std::string_view text) {
    return Write(STD_OUTPUT_HANDLE, text);
}
void WriteStderr(std::string_view text) {
    Write(STD_ERROR_HANDLE, text);
}

void CatchStopRequest() {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool StopRequested() {
    return g_stop_requested;
}
