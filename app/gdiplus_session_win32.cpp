// Starting and stopping GDI+ through its flat interface. MinGW's <gdiplus.h> does not
// compile with WIN32_LEAN_AND_MEAN, and only two functions are needed, so they are
// declared here as gdiplus.dll exports them.

#include "app/gdiplus_session.h"

#include "app/app_globals.h"

namespace {

using GdiplusDebugEventProc = void(WINAPI*)(int level, CHAR* message);

struct GdiplusStartupInputFlat {
    UINT32 GdiplusVersion = 1;
    GdiplusDebugEventProc DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
};

}  // namespace

extern "C" {
int WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInputFlat* input, void* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
}

GdiplusSession::GdiplusSession() {
    const GdiplusStartupInputFlat input;
    GdiplusStartup(&g_gdiplusToken, &input, nullptr);
}

GdiplusSession::~GdiplusSession() { GdiplusShutdown(g_gdiplusToken); }
