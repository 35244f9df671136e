#pragma once
// What every Win32 source of the program includes first: <windows.h>, the one way UTF-16
// text is handed to the wide functions and taken back, the one owner of a kernel handle,
// and the module instance. Windows only.

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == 2, "UTF-16 text is handed to Win32 as wchar_t");

// The module instance, stored by wWinMain before the main window is created.
extern HINSTANCE g_hInstance;

namespace platform {

inline const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline wchar_t* Wide(std::u16string& buffer) {
    return reinterpret_cast<wchar_t*>(buffer.data());
}

inline std::u16string_view Utf16(const wchar_t* text, std::size_t length) {
    return std::u16string_view(reinterpret_cast<const char16_t*>(text), length);
}

inline std::u16string_view Utf16(const wchar_t* text) {
    return Utf16(text, std::char_traits<wchar_t>::length(text));
}

// Text the window system wrote into a buffer: it ends at its NUL or at the buffer's end,
// whatever count the call returned.
inline std::u16string_view TextInBuffer(const wchar_t* buffer, std::size_t capacity) {
    std::size_t units = 0;
    while (units < capacity && buffer[units] != L'\0') ++units;
    return Utf16(buffer, units);
}

// Owns a kernel handle (a file, a snapshot) and closes it once. Some calls report failure
// with null, others with INVALID_HANDLE_VALUE; both mean no handle.
class UniqueHandle {
  public:
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() { Close(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    // Closes now, so the caller learns whether the close succeeded.
    bool Close() {
        if (!Valid()) return false;
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = nullptr;
        return closed;
    }

  private:
    HANDLE handle_;
};

}  // namespace platform
