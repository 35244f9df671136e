// A stand-in for a DLL that an attacker plants beside a program: built as gdiplus.dll and as
// winmm.dll. Loading it leaves a marker file beside the executable of the process that
// loaded it, named after the DLL, so a test can tell whether the program ever loaded it. It
// exports the functions laurelight-plain-import imports, so that a plain import binds to it.

#include <windows.h>

#include <string>

static_assert(sizeof(wchar_t) == 2, "UTF-16 text is handed to Win32 as wchar_t");

namespace {

void WriteMarker(HMODULE self) {
    wchar_t exe[MAX_PATH] = {};
    wchar_t dll[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, exe, MAX_PATH) == 0) return;
    if (GetModuleFileNameW(self, dll, MAX_PATH) == 0) return;
    std::wstring folder(exe);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    std::wstring name(dll);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    const std::wstring marker = folder + L"planted-" + name + L".txt";
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, dll, static_cast<DWORD>(wcslen(dll) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) WriteMarker(instance);
    return TRUE;
}

// The imports of laurelight-plain-import; each fails, as a planted DLL may do anything.
extern "C" __declspec(dllexport) BOOL WINAPI PlaySoundW(const wchar_t*, HMODULE, DWORD) {
    return FALSE;
}
extern "C" __declspec(dllexport) int WINAPI GdiplusStartup(ULONG_PTR*, const void*, void*) {
    return 1;
}
extern "C" __declspec(dllexport) void WINAPI GdiplusShutdown(ULONG_PTR) {}
