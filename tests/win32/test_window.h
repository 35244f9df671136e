#pragma once
// A plain top-level window for tests, of a class registered on first use.

#include "platform/win32/win32.h"

inline HWND CreateTestWindow(const wchar_t* class_name, const wchar_t* title, RECT place,
                             WNDPROC procedure = DefWindowProcW) {
    WNDCLASSEXW window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = class_name;
    RegisterClassExW(&window_class);  // fails harmlessly once the class exists
    return CreateWindowExW(0, class_name, title, WS_OVERLAPPEDWINDOW, place.left, place.top,
                           place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                           window_class.hInstance, nullptr);
}
