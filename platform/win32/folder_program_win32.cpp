// One program per folder on Windows: a named mutex in the session's namespace (Local\) for
// the claim, and a window property holding the same folder key on the main window.
//
// The key is the folder as Windows compares paths: the full long path, upper-cased with the
// invariant casing table, without a trailing separator or a \\?\ prefix. Kernel object names
// are limited in length and may not contain '\', so the names carry a 64-bit hash of the key.

#include "platform/win32/win32.h"

#include "platform/folder_program.h"

#include <memory>

namespace platform {
namespace {

constexpr wchar_t CLAIM_PREFIX[] = L"Local\\Laurelight.Folder.";
constexpr wchar_t WINDOW_PROPERTY[] = L"Laurelight.Folder";

struct ClaimMutex {
    explicit ClaimMutex(HANDLE handle) : mutex(handle) {}
    UniqueHandle mutex;  // invalid when the system refused the object: the claim is granted
};

std::u16string CallForPath(DWORD (*call)(const wchar_t*, wchar_t*, DWORD),
                           const std::u16string& path) {
    std::u16string result(MAX_PATH, u'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length = call(Wide(path), Wide(result), static_cast<DWORD>(result.size()));
        if (length == 0) return path;  // keep what we have: the key stays comparable
        if (length < result.size()) {
            result.resize(length);
            return result;
        }
        result.assign(length, u'\0');
    }
    return path;
}

DWORD FullPath(const wchar_t* path, wchar_t* buffer, DWORD size) {
    return GetFullPathNameW(path, size, buffer, nullptr);
}

// Without 8.3 short names, which another start may have used for the same folder.
DWORD LongPath(const wchar_t* path, wchar_t* buffer, DWORD size) {
    return GetLongPathNameW(path, buffer, size);
}

std::u16string WithoutLongPrefix(std::u16string path) {
    if (path.starts_with(u"\\\\?\\UNC\\")) return u"\\\\" + path.substr(8);
    if (path.starts_with(u"\\\\?\\")) return path.substr(4);
    return path;
}

std::u16string UpperCase(const std::u16string& text) {
    if (text.empty()) return text;
    std::u16string upper(text.size(), u'\0');
    const int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, Wide(text),
                                     static_cast<int>(text.size()), Wide(upper),
                                     static_cast<int>(upper.size()), nullptr, nullptr, 0);
    return length == static_cast<int>(text.size()) ? upper : text;
}

// "C:" alone would name the current folder of drive C, so the separator goes on first.
std::u16string FolderKey(const std::u16string& folder) {
    std::u16string path = WithoutLongPrefix(CallForPath(FullPath, folder + u"\\"));
    path = CallForPath(LongPath, path);
    while (!path.empty() && (path.back() == u'\\' || path.back() == u'/')) path.pop_back();
    return UpperCase(path);
}

// FNV-1a over the code units. Never 0, which GetPropW returns for "no property".
std::uint64_t FolderHash(const std::u16string& folder) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char16_t unit : FolderKey(folder)) {
        hash = (hash ^ static_cast<unsigned char>(unit & 0xFF)) * 1099511628211ull;
        hash = (hash ^ static_cast<unsigned char>(unit >> 8)) * 1099511628211ull;
    }
    return hash | 1;
}

std::wstring ClaimName(const std::u16string& folder) {
    wchar_t hex[17] = {};
    const std::uint64_t hash = FolderHash(folder);
    for (int digit = 0; digit < 16; ++digit) {
        hex[digit] = L"0123456789ABCDEF"[(hash >> (60 - 4 * digit)) & 0xF];
    }
    return std::wstring(CLAIM_PREFIX) + hex;
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

FolderClaim TakeFolderClaim(const std::u16string& folder, unsigned wait_ms) {
    auto claim =
        std::make_unique<ClaimMutex>(CreateMutexW(nullptr, FALSE, ClaimName(folder).c_str()));
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
