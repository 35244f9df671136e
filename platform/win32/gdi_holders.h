#pragma once
// Small owners of GDI objects, selections, paint sessions, icons, image lists and menus.
// Windows only.

#include "platform/win32/win32.h"
#include <commctrl.h>

// A memory device context compatible with another one, deleted at the end.
class MemoryDc {
  public:
    explicit MemoryDc(HDC compatible_with) : dc_(CreateCompatibleDC(compatible_with)) {}
    ~MemoryDc() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

// Owns one GDI object (font, bitmap, brush or pen) and deletes it at the end. Declare it
// before the ObjectSelection that selects it, so it is deselected before it is deleted.
template <typename Handle>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(nullptr); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }
    void Reset(Handle handle) {
        if (handle_ != nullptr) DeleteObject(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

using FontObject = GdiObject<HFONT>;
using BitmapObject = GdiObject<HBITMAP>;
using BrushObject = GdiObject<HBRUSH>;
using PenObject = GdiObject<HPEN>;

// Selects an object into a device context and puts the previous one back at the end. A null
// object selects nothing.
class ObjectSelection {
  public:
    ObjectSelection(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~ObjectSelection() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
    }
    ObjectSelection(const ObjectSelection&) = delete;
    ObjectSelection& operator=(const ObjectSelection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint on construction, EndPaint at the end.
class PaintScope {
  public:
    explicit PaintScope(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Owns an icon made for this program alone (LoadIconMetric, LoadImageW without LR_SHARED) and
// destroys it.
class IconHolder {
  public:
    IconHolder() = default;
    explicit IconHolder(HICON icon) : icon_(icon) {}
    ~IconHolder() { Reset(nullptr); }
    IconHolder(const IconHolder&) = delete;
    IconHolder& operator=(const IconHolder&) = delete;

    HICON Get() const { return icon_; }
    void Reset(HICON icon) {
        if (icon_ != nullptr) DestroyIcon(icon_);
        icon_ = icon;
    }

  private:
    HICON icon_ = nullptr;
};

// Owns a menu made by CreatePopupMenu and destroys it at the end.
class PopupMenu {
  public:
    PopupMenu() : menu_(CreatePopupMenu()) {}
    ~PopupMenu() {
        if (menu_ != nullptr) DestroyMenu(menu_);
    }
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    HMENU Get() const { return menu_; }

  private:
    HMENU menu_;
};

// Owns an image list (comctl32) and destroys it at the end.
class ImageListHandle {
  public:
    ImageListHandle() = default;
    ~ImageListHandle() { Reset(nullptr); }
    ImageListHandle(const ImageListHandle&) = delete;
    ImageListHandle& operator=(const ImageListHandle&) = delete;

    HIMAGELIST Get() const { return list_; }
    void Reset(HIMAGELIST list) {
        if (list_ != nullptr) ImageList_Destroy(list_);
        list_ = list;
    }

  private:
    HIMAGELIST list_ = nullptr;
};
