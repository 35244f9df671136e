#pragma once
// Names of the kernel objects and window marks that stand for one program folder. They come
// from the folder's identity (platform::FolderIdentity), so every path that reaches the folder
// (a link, a junction, a SUBST drive, other letter case) gives the same name. Object names are
// limited in length and may not contain '\', so they carry a 64-bit hash of the identity.
// Windows only.

#include "platform/win32/win32.h"

#include <cstdint>
#include <string>

#include "platform/files.h"

namespace platform {

// FNV-1a over the code units of the identity. Never 0, which GetPropW returns for "none".
inline std::uint64_t FolderHash(const std::u16string& folder) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char16_t unit : FolderIdentity(folder)) {
        hash = (hash ^ static_cast<unsigned char>(unit & 0xFF)) * 1099511628211ull;
        hash = (hash ^ static_cast<unsigned char>(unit >> 8)) * 1099511628211ull;
    }
    return hash | 1;
}

// The prefix followed by the folder's hash in 16 hex digits.
inline std::wstring FolderObjectName(const wchar_t* prefix, const std::u16string& folder) {
    const std::uint64_t hash = FolderHash(folder);
    std::wstring name(prefix);
    for (int shift = 60; shift >= 0; shift -= 4) name += L"0123456789ABCDEF"[(hash >> shift) & 0xF];
    return name;
}

// The named mutex, created when missing. A copy of the program started as administrator
// creates it with rights that a normal copy lacks; then it is opened for waiting on only.
// Null when even that is refused, with `denied` set when the refusal was for lack of rights:
// the object exists and another process holds it.
inline HANDLE OpenFolderMutex(const std::wstring& name, bool& denied) {
    denied = false;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex != nullptr || GetLastError() != ERROR_ACCESS_DENIED) return mutex;
    for (const DWORD access : {DWORD{SYNCHRONIZE | MUTEX_MODIFY_STATE}, DWORD{SYNCHRONIZE}}) {
        mutex = OpenMutexW(access, FALSE, name.c_str());
        if (mutex != nullptr) return mutex;
    }
    denied = GetLastError() == ERROR_ACCESS_DENIED;
    return nullptr;
}

}  // namespace platform
