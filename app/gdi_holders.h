#pragma once
// Small owners of GDI objects and paint sessions. Windows only.

#include <windows.h>

// Owns a font and deletes it when it goes.
class FontHolder {
  public:
    FontHolder() = default;
    explicit FontHolder(HFONT font) : font_(font) {}
    ~FontHolder() { Reset(nullptr); }
    FontHolder(const FontHolder&) = delete;
    FontHolder& operator=(const FontHolder&) = delete;

    HFONT Get() const { return font_; }
    void Reset(HFONT font) {
        if (font_ != nullptr) DeleteObject(font_);
        font_ = font;
    }

  private:
    HFONT font_ = nullptr;
};

// Selects an object into a device context and puts the previous one back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint on construction, EndPaint on destruction.
class PaintSession {
  public:
    explicit PaintSession(HWND window) : window_(window) { dc_ = BeginPaint(window_, &paint_); }
    ~PaintSession() { EndPaint(window_, &paint_); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;

    HDC Dc() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};
