// Entry of the toast tests: GDI+ runs for the whole run, as it does in the program, and the
// module instance the toast reads is stored first, as wWinMain stores it.

#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include "app/gdiplus_session.h"

int main(int argc, char** argv) {
    g_hInstance = GetModuleHandleW(nullptr);
    const GdiplusSession gdiplus;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
