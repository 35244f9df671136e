// One program per folder on Windows: a named mutex in the session's namespace (Local\) for
// the claim, and a window property holding the same folder hash on the main window; both come
// from the folder's identity (folder_names_win32.h).

#include "platform/win32/win32.h"

#include "platform/folder_program.h"

#include <memory>

#include "platform/win32/folder_names_win32.h"

namespace platform {
namespace {

constexpr wchar_t CLAIM_PREFIX[] = L"Local\\Laurelight.Folder.";
constexpr wchar_t WINDOW_PROPERTY[] = L"Laurelight.Folder";

struct ClaimMutex {
    explicit ClaimMutex(HANDLE handle) : mutex(handle) {}
    UniqueHandle mutex;  // invalid when the system refused the object: the claim is granted
};

std::wstring ClaimName(const std::u16string& folder) {
    return FolderObjectName(CLAIM_PREFIX, folder);
}

HANDLE WindowMark(const std::u16string& folder) {
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(FolderHash(folder)));
}

struct WindowSearch {
    HANDLE mark;
    HWND found;
};

BOOL CALLBACK FindMarked(HWND window, LPARAM param) {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(param);
    if (GetPropW(window, WINDOW_PROPERTY) != search.mark) return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

// Access denied means a copy with more rights (started as administrator) holds the folder: it
// counts as held, never as granted, so that no second writer starts beside it.
FolderClaim TakeFolderClaim(const std::u16string& folder, unsigned wait_ms) {
    bool denied = false;
    auto claim = std::make_unique<ClaimMutex>(OpenFolderMutex(ClaimName(folder), denied));
    if (denied) {
        Sleep(wait_ms);
        return FolderClaim();
    }
    if (!claim->mutex.Valid()) return FolderClaim(claim.release());
    const DWORD waited = WaitForSingleObject(claim->mutex.Get(), wait_ms);
    // WAIT_ABANDONED: the holder ended without releasing it, and the claim is ours now.
    if (waited == WAIT_TIMEOUT) return FolderClaim();
    if (waited == WAIT_FAILED) claim->mutex.Close();
    return FolderClaim(claim.release());
}

void FolderClaim::Release() {
    const std::unique_ptr<ClaimMutex> held(static_cast<ClaimMutex*>(std::exchange(held_, nullptr)));
    if (held != nullptr && held->mutex.Valid()) ReleaseMutex(held->mutex.Get());
}

void MarkFolderWindow(WindowRef window, const std::u16string& folder) {
    SetPropW(static_cast<HWND>(window.handle), WINDOW_PROPERTY, WindowMark(folder));
}

void UnmarkFolderWindow(WindowRef window) {
    RemovePropW(static_cast<HWND>(window.handle), WINDOW_PROPERTY);
}

WindowRef FindFolderWindow(const std::u16string& folder) {
    WindowSearch search{WindowMark(folder), nullptr};
    EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool SendDataToWindow(WindowRef window, std::uintptr_t tag, std::string_view bytes,
                      unsigned timeout_ms, std::intptr_t* answer) {
    COPYDATASTRUCT data{};
    data.dwData = static_cast<ULONG_PTR>(tag);
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = const_cast<char*>(bytes.data());
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(static_cast<HWND>(window.handle), WM_COPYDATA, 0,
                             reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                             timeout_ms, &result)) {
        return false;
    }
    *answer = static_cast<std::intptr_t>(result);
    return true;
}

std::uint64_t SystemMilliseconds() {
    return GetTickCount64();
}

}  // namespace platform
