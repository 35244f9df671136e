// File facts and file operations on Windows, passed straight to the wide Win32 calls.

#include "platform/win32/win32.h"

#include "platform/files.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

namespace {

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

}  // namespace

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
// ordinary files keep their ordinary names. A link whose target is missing stays unresolved.
std::u16string LinkTarget(const std::u16string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return path;
    }
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueHandle file(CreateFileW(Wide(path), 0, share, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.Valid()) return path;
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetFinalPathNameByHandleW(file.Get(), buffer.data(), size,
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return path;
        if (length < size) return std::u16string(Utf16(buffer.data(), length));
        if (size >= length) return path;  // it asked for no more than it had: give up
        buffer.resize(length);            // the size it needs, with its NUL
    }
}

}  // namespace platform
