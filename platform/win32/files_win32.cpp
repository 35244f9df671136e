// File facts and file operations on Windows, passed straight to the wide Win32 calls.

#include "platform/win32/win32.h"

#include "platform/files.h"

#include <winioctl.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr int MAX_LINK_HOPS = 40;                  // as many as the POSIX build follows
constexpr DWORD REPARSE_BUFFER_BYTES = 16 * 1024;  // MAXIMUM_REPARSE_DATA_BUFFER_SIZE
constexpr ULONG LINK_IS_RELATIVE = 1;              // SYMLINK_FLAG_RELATIVE

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk =
            bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);  // no progress and no reason given
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

FileError LastFileError() {
    switch (GetLastError()) {
        case ERROR_ACCESS_DENIED:
            return FileError::AccessDenied;
        case ERROR_WRITE_PROTECT:
            return FileError::ReadOnly;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return FileError::DiskFull;
        default:
            return FileError::Other;
    }
}

// The path a handle was opened for, as the system resolved it: \\?\C:\... or \\?\UNC\...
std::optional<std::u16string> FinalPath(HANDLE file) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), size,
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return std::nullopt;
        if (length < size) return std::u16string(Utf16(buffer.data(), length));
        if (size >= length) return std::nullopt;  // it asked for no more than it had: give up
        buffer.resize(length);                    // the size it needs, with its NUL
    }
}

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
std::u16string PathTextKey(const std::u16string& folder) {
    const std::u16string path = WithoutLongPrefix(CallForPath(FullPath, folder + u"\\"));
    return CallForPath(LongPath, path);
}

std::optional<std::u16string> OpenedFolderPath(const std::u16string& folder) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueHandle directory(CreateFileW(Wide(folder), 0, share, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!directory.Valid()) return std::nullopt;
    const std::optional<std::u16string> path = FinalPath(directory.Get());
    if (!path) return std::nullopt;
    return WithoutLongPrefix(*path);
}

// The reparse data of a symbolic link, as ntifs.h lays it out (user-mode headers lack it).
struct SymbolicLinkData {
    DWORD tag;
    WORD data_length;
    WORD reserved;
    WORD substitute_offset;  // in bytes, into path
    WORD substitute_length;
    WORD print_offset;
    WORD print_length;
    ULONG flags;
    WCHAR path[1];
};

// The folder part of a path, with its separator; empty when it has none.
std::u16string ParentOf(const std::u16string& path) {
    const std::size_t separator = path.find_last_of(u"\\/");
    return separator == std::u16string::npos ? std::u16string() : path.substr(0, separator + 1);
}

// Where a symbolic link points, read from the link itself: the target need not exist. A
// relative target is taken from the link's folder.
std::optional<std::u16string> SymbolicLinkText(const std::u16string& link) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueHandle file(CreateFileW(Wide(link), 0, share, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr));
    if (!file.Valid()) return std::nullopt;
    std::vector<DWORD> buffer(REPARSE_BUFFER_BYTES / sizeof(DWORD));
    DWORD size = 0;
    if (!DeviceIoControl(file.Get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer.data(),
                         REPARSE_BUFFER_BYTES, &size, nullptr)) {
        return std::nullopt;
    }
    const auto* data = reinterpret_cast<const SymbolicLinkData*>(buffer.data());
    const std::size_t header = offsetof(SymbolicLinkData, path);
    if (size < header || data->tag != IO_REPARSE_TAG_SYMLINK ||
        header + data->substitute_offset + data->substitute_length > size) {
        return std::nullopt;
    }
    std::u16string target(Utf16(data->path + data->substitute_offset / sizeof(WCHAR),
                                data->substitute_length / sizeof(WCHAR)));
    if (target.empty()) return std::nullopt;
    if (target.starts_with(u"\\??\\UNC\\")) return u"\\\\" + target.substr(8);
    if (target.starts_with(u"\\??\\")) return target.substr(4);
    if ((data->flags & LINK_IS_RELATIVE) != 0) return ParentOf(link) + target;
    return target;
}

}  // namespace

std::u16string FolderIdentity(const std::u16string& folder) {
    const std::optional<std::u16string> opened = OpenedFolderPath(folder);
    std::u16string path = opened ? *opened : PathTextKey(folder);
    while (!path.empty() && (path.back() == u'\\' || path.back() == u'/')) path.pop_back();
    return UpperCase(path);
}

std::uint32_t CurrentProcessId() {
    return GetCurrentProcessId();
}

std::u16string ModulePath() {
    // The path may be longer than MAX_PATH; grow the buffer until it is not cut short.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) return {};
        if (length < size) {
            return std::u16string(Utf16(buffer.data(), length));
        }
        if (size >= 0x100000) return {};
        buffer.resize(buffer.size() * 2);
    }
}

FileFacts QueryFile(const std::u16string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data)) return {};
    FileFacts facts;
    facts.exists = true;
    facts.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.read_only = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    facts.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    facts.modified = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
    return facts;
}

std::filesystem::path NativePath(const std::u16string& path) {
    return std::filesystem::path(std::wstring(Wide(path), path.size()));
}

FileError WriteFileDurably(const std::u16string& path, std::string_view bytes) {
    UniqueHandle file(CreateFileW(Wide(path), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return LastFileError();
    if (!WriteAll(file.Get(), bytes) || FlushFileBuffers(file.Get()) == 0) return LastFileError();
    return file.Close() ? FileError::None : LastFileError();
}

FileError ReplaceFileAtomically(const std::u16string& from, const std::u16string& to) {
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    return MoveFileExW(Wide(from), Wide(to), flags) != 0 ? FileError::None : LastFileError();
}

bool RemoveFile(const std::u16string& path) {
    return DeleteFileW(Wide(path)) != 0;
}

// Only a reparse point can lead elsewhere; every other path is returned as it came, so
// ordinary files keep their ordinary names. A symbolic link whose target is missing is followed
// by its own text, so that the first save creates the target, as on other systems.
std::u16string LinkTarget(const std::u16string& path) {
    std::u16string current = path;
    for (int hop = 0; hop < MAX_LINK_HOPS; ++hop) {
        const DWORD attributes = GetFileAttributesW(Wide(current));
        if (attributes == INVALID_FILE_ATTRIBUTES ||
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            return current;
        }
        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        UniqueHandle file(CreateFileW(Wide(current), 0, share, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (file.Valid()) return FinalPath(file.Get()).value_or(current);
        const std::optional<std::u16string> next = SymbolicLinkText(current);
        if (!next) return current;
        current = *next;
    }
    return path;  // a loop of links: writing replaces the first one
}

}  // namespace platform
