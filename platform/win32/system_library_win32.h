#pragma once
// Functions of the system DLLs that Windows would otherwise look for beside the program first
// (gdiplus.dll, winmm.dll are not among the "known DLLs"). They are looked up at first use in
// the system folder only, so a DLL of the same name planted next to Laurelight.exe is never
// loaded. Windows only.

#include "platform/win32/win32.h"

namespace platform {

// From now on, DLLs that the process or the system loads on its behalf by a bare name come
// from the system folder only. Call first thing in wWinMain.
void RestrictDllSearchToSystemFolder();

// The export of a system DLL, or null when the DLL or the export is missing.
FARPROC SystemProcedure(const wchar_t* dll, const char* name);

template <typename Function>
Function SystemFunction(const wchar_t* dll, const char* name) {
    // Through void(*)(), the one pointer type a function pointer casts from without warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemProcedure(dll, name)));
}

}  // namespace platform
