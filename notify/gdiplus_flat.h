#pragma once
// The few GDI+ flat functions the toast needs, declared as gdiplus.dll exports them (MinGW's
// <gdiplus.h> does not build with WIN32_LEAN_AND_MEAN), and owners for their handles.
// Windows only.

#include "platform/win32/win32.h"

struct GdipImage;     // GpImage / GpBitmap
struct GdipGraphics;  // GpGraphics

constexpr int GDIP_STATUS_OK = 0;

extern "C" {
int WINAPI GdipCreateBitmapFromFile(const WCHAR* file, GdipImage** bitmap);
int WINAPI GdipDisposeImage(GdipImage* image);
int WINAPI GdipCreateFromHDC(HDC dc, GdipGraphics** graphics);
int WINAPI GdipDeleteGraphics(GdipGraphics* graphics);
int WINAPI GdipDrawImageRectI(GdipGraphics* graphics, GdipImage* image, INT x, INT y, INT width,
                              INT height);
}

// Owns a decoded picture and disposes of it exactly once.
class GdipImageHolder {
  public:
    GdipImageHolder() = default;
    ~GdipImageHolder() { Reset(); }
    GdipImageHolder(const GdipImageHolder&) = delete;
    GdipImageHolder& operator=(const GdipImageHolder&) = delete;

    // Loads the file; returns the GDI+ status of the load.
    int Load(const WCHAR* file) {
        Reset();
        return GdipCreateBitmapFromFile(file, &image_);
    }
    GdipImage* Get() const { return image_; }
    void Reset() {
        if (image_ != nullptr) GdipDisposeImage(image_);
        image_ = nullptr;
    }

  private:
    GdipImage* image_ = nullptr;
};

// A GDI+ drawing surface on a device context, for one paint.
class GdipGraphicsHolder {
  public:
    explicit GdipGraphicsHolder(HDC dc) { GdipCreateFromHDC(dc, &graphics_); }
    ~GdipGraphicsHolder() {
        if (graphics_ != nullptr) GdipDeleteGraphics(graphics_);
    }
    GdipGraphicsHolder(const GdipGraphicsHolder&) = delete;
    GdipGraphicsHolder& operator=(const GdipGraphicsHolder&) = delete;

    GdipGraphics* Get() const { return graphics_; }

  private:
    GdipGraphics* graphics_ = nullptr;
};
