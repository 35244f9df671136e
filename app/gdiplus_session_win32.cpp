// Starting and stopping GDI+ through its flat interface. MinGW's <gdiplus.h> does not
// compile with WIN32_LEAN_AND_MEAN, and only two functions are needed, so they are
// declared here as gdiplus.dll exports them.

#include "app/gdiplus_session.h"

#include "app/app_globals.h"
#include "platform/win32/system_library_win32.h"

ULONG_PTR g_gdiplusToken = 0;

namespace {

using GdiplusDebugEventProc = void(WINAPI*)(int level, CHAR* message);

struct GdiplusStartupInputFlat {
    UINT32 GdiplusVersion = 1;
    GdiplusDebugEventProc DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
};

}  // namespace

// gdiplus.dll comes from the system folder only (see system_library_win32.h).
using GdiplusStartupFunction = int(WINAPI*)(ULONG_PTR* token, const GdiplusStartupInputFlat* input,
                                            void* output);
using GdiplusShutdownFunction = void(WINAPI*)(ULONG_PTR token);

GdiplusSession::GdiplusSession() {
    const auto startup =
        platform::SystemFunction<GdiplusStartupFunction>(L"gdiplus.dll", "GdiplusStartup");
    const GdiplusStartupInputFlat input;
    if (startup != nullptr) startup(&g_gdiplusToken, &input, nullptr);
}

GdiplusSession::~GdiplusSession() {
    const auto shutdown =
        platform::SystemFunction<GdiplusShutdownFunction>(L"gdiplus.dll", "GdiplusShutdown");
    if (shutdown != nullptr && g_gdiplusToken != 0) shutdown(g_gdiplusToken);
}
