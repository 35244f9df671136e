// Entry of the toast tests: GDI+ runs for the whole run, as it does in the program, and the
// globals the toast reads are those the program keeps next to wWinMain.

#include <gtest/gtest.h>

#include "app/app_globals.h"
#include "app/gdiplus_session.h"

HINSTANCE g_hInstance = nullptr;
ULONG_PTR g_gdiplusToken = 0;

int main(int argc, char** argv) {
    g_hInstance = GetModuleHandleW(nullptr);
    const GdiplusSession gdiplus;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
