// The control of the DLL planting test: a program that imports WinMM and GDI+ the plain way,
// as Laurelight once did. Windows resolves such imports from the program's own folder
// first, so the planting test must see this program load the planted copies.

#include <windows.h>

extern "C" {
__declspec(dllimport) BOOL WINAPI PlaySoundW(const wchar_t* sound, HMODULE module, DWORD flags);
__declspec(dllimport) int WINAPI GdiplusStartup(ULONG_PTR* token, const void* input, void* output);
__declspec(dllimport) void WINAPI GdiplusShutdown(ULONG_PTR token);
}

int main() {
    struct {
        UINT32 version = 1;
        void* callback = nullptr;
        BOOL no_thread = FALSE;
        BOOL no_codecs = FALSE;
    } input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) == 0) GdiplusShutdown(token);
    PlaySoundW(nullptr, nullptr, 0);
    return 0;
}
