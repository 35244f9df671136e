#pragma once
// File facts and file operations, passed straight through to the operating system.
// Paths are UTF-16 with '\' separators, as the program builds them on Windows.

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Full path of the running executable (GetModuleFileNameW), never cut short.
std::u16string ModulePath();

struct FileFacts {
    bool exists = false;     // GetFileAttributesW != INVALID_FILE_ATTRIBUTES
    bool directory = false;  // FILE_ATTRIBUTE_DIRECTORY
    bool read_only = false;  // FILE_ATTRIBUTE_READONLY (POSIX: no owner write bit)
};
FileFacts QueryFile(const std::u16string& path);

inline bool FileExists(const std::u16string& path) {
    return QueryFile(path).exists;
}

// The path in the form the standard file streams take on this platform.
std::filesystem::path NativePath(const std::u16string& path);

// Every byte of the file; empty when it cannot be opened. A read error part way keeps what
// was read. Portable: both implementations share it.
std::string ReadFileBytes(const std::u16string& path);

// Why a write or a replacement failed, as the operating system reported it.
enum class FileError : unsigned char {
    None,          // it succeeded
    AccessDenied,  // ERROR_ACCESS_DENIED (POSIX: EACCES, EPERM)
    ReadOnly,      // ERROR_WRITE_PROTECT (POSIX: EROFS)
    IsDirectory,   // POSIX: EISDIR (Windows reports a directory as access denied)
    DiskFull,      // ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL (POSIX: ENOSPC, EDQUOT)
    Other,
};

// Creates or truncates the file, writes the bytes and flushes them to the disk.
FileError WriteFileDurably(const std::u16string& path, std::string_view bytes);

// Replaces `to` by `from` in one step (MoveFileExW / rename).
FileError ReplaceFileAtomically(const std::u16string& from, const std::u16string& to);

bool RemoveFile(const std::u16string& path);

}  // namespace platform
