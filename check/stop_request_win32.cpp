#include "platform/win32/win32.h"

#include <atomic>

#include "check/stop_request.h"

namespace {

std::atomic<bool> g_stop_requested{false};

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    g_stop_requested = true;
    return TRUE;
}

}  // namespace

void CatchStopRequest() {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool StopRequested() {
    return g_stop_requested;
}
