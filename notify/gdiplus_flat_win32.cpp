// The GDI+ flat functions of gdiplus_flat.h, defined here instead of imported: each finds its
// export in the system folder's gdiplus.dll at first use (see system_library_win32.h), so a
// gdiplus.dll planted beside the program is never loaded. Without GDI+ each call fails with
// a GDI+ error status and the toast goes without its picture.

#include "notify/gdiplus_flat.h"

#include "platform/win32/system_library_win32.h"

namespace {

constexpr int GDIPLUS_WIN32_ERROR = 7;

template <typename Function>
Function Gdiplus(const char* name) {
    return platform::SystemFunction<Function>(L"gdiplus.dll", name);
}

}  // namespace

extern "C" {

int WINAPI GdipCreateBitmapFromFile(const WCHAR* file, GdipImage** bitmap) {
    static const auto call =
        Gdiplus<decltype(&GdipCreateBitmapFromFile)>("GdipCreateBitmapFromFile");
    return call != nullptr ? call(file, bitmap) : GDIPLUS_WIN32_ERROR;
}

int WINAPI GdipDisposeImage(GdipImage* image) {
    static const auto call = Gdiplus<decltype(&GdipDisposeImage)>("GdipDisposeImage");
    return call != nullptr ? call(image) : GDIPLUS_WIN32_ERROR;
}

int WINAPI GdipCreateFromHDC(HDC dc, GdipGraphics** graphics) {
    static const auto call = Gdiplus<decltype(&GdipCreateFromHDC)>("GdipCreateFromHDC");
    return call != nullptr ? call(dc, graphics) : GDIPLUS_WIN32_ERROR;
}

int WINAPI GdipDeleteGraphics(GdipGraphics* graphics) {
    static const auto call = Gdiplus<decltype(&GdipDeleteGraphics)>("GdipDeleteGraphics");
    return call != nullptr ? call(graphics) : GDIPLUS_WIN32_ERROR;
}

int WINAPI GdipDrawImageRectI(GdipGraphics* graphics, GdipImage* image, INT x, INT y, INT width,
                              INT height) {
    static const auto call = Gdiplus<decltype(&GdipDrawImageRectI)>("GdipDrawImageRectI");
    return call != nullptr ? call(graphics, image, x, y, width, height) : GDIPLUS_WIN32_ERROR;
}

}  // extern "C"
