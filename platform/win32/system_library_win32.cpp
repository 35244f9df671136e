#include "platform/win32/system_library_win32.h"

#include <string>

namespace platform {

namespace {

// Windows 7 without its loader update knows neither the search flags nor
// SetDefaultDllDirectories; there the DLL is loaded by its full system path.
HMODULE LoadFromSystemFolder(const wchar_t* dll) {
    if (HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + dll;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

void RestrictDllSearchToSystemFolder() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) return;
    const auto set = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (set != nullptr) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// The module stays loaded for the life of the process, as an imported DLL would.
FARPROC SystemProcedure(const wchar_t* dll, const char* name) {
    HMODULE module = LoadFromSystemFolder(dll);
    return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

}  // namespace platform
