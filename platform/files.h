#pragma once
// File facts and file operations, passed straight through to the operating system.
// Paths are UTF-16 with '\' separators, as the program builds them on Windows.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Full path of the running executable (GetModuleFileNameW), never cut short.
std::u16string ModulePath();

struct FileFacts {
    bool exists = false;     // GetFileAttributesExW succeeds
    bool directory = false;  // FILE_ATTRIBUTE_DIRECTORY
    bool read_only = false;  // FILE_ATTRIBUTE_READONLY (POSIX: no owner write bit)
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // last write time, in the system's own units
    friend bool operator==(const FileFacts&, const FileFacts&) = default;
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
// Every byte of the file, or nothing when it cannot be opened (held open without sharing,
// access denied) or a read fails part way. Portable.
std::optional<std::string> TryReadFileBytes(const std::u16string& path);

// Why a file operation failed, as the operating system reported it.
enum class FileError : unsigned char {
    None,          // it succeeded
    AccessDenied,  // ERROR_ACCESS_DENIED (POSIX: EACCES, EPERM)
    ReadOnly,      // ERROR_WRITE_PROTECT (POSIX: EROFS)
    IsDirectory,   // POSIX: EISDIR (Windows reports a directory as access denied)
    DiskFull,      // ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL (POSIX: ENOSPC, EDQUOT)
    Other,
    Unreadable,  // an existing file could not be read (TryReadFileBytes gave nothing)
};
// The last value above: what crosses a process boundary is checked against it.
inline constexpr FileError LAST_FILE_ERROR = FileError::Unreadable;

// Creates or truncates the file, writes the bytes and flushes them to the disk.
FileError WriteFileDurably(const std::u16string& path, std::string_view bytes);

// Replaces `to` by `from` in one step (MoveFileExW / rename).
FileError ReplaceFileAtomically(const std::u16string& from, const std::u16string& to);

bool RemoveFile(const std::u16string& path);

// The file that a write through `path` reaches: the final target when `path` is a symbolic
// link (a chain of links followed to its end), otherwise `path` itself.
std::u16string LinkTarget(const std::u16string& path);

// The folder as the system identifies it, for telling whether two paths name one folder: on
// Windows the final path of the opened directory (links, junctions, SUBST and mapped drives
// resolved), upper-cased as Windows compares paths, without a trailing separator; when the
// folder cannot be opened, the full long path of the text, treated alike. Elsewhere the
// canonical path, or the text.
std::u16string FolderIdentity(const std::u16string& folder);

// The calling process's id, which no other running process shares.
std::uint32_t CurrentProcessId();

// Helpers implemented once, above the per-system functions.

// Where a safe replacement of `path` by this process writes first: beside it, so the rename
// stays on one volume, and with this process's id in its name, so that two writers never
// write into one temporary file.
std::u16string TemporaryPath(const std::u16string& path);

// Removes the temporary files of `path` that writers ended part way through a replacement
// left behind. Only for a caller that holds the folder's state lock (folder_state_lock.h):
// every other writer writes its temporary file only while it holds that lock.
void RemoveLeftTemporaries(const std::u16string& path);

enum class ReplaceStep : unsigned char {
    Target,     // the file is read-only, or a folder has its name: left alone
    Temporary,  // the temporary file could not be written
    Replace,    // the temporary file could not take the file's name
};
struct Replacement {
    FileError error = FileError::None;
    ReplaceStep step = ReplaceStep::Target;  // which step failed, when one did
    FileFacts written;                       // the new file as it was put in place
};

// Puts `bytes` in place of the file at `path` in one step, so that no reader ever sees half a
// file. A symbolic link stays one: its target is replaced. The bytes reach the disk in a
// temporary file beside the target, which then takes the target's name; that is tried again
// for a moment while another program (a scanner, an editor) holds the file open. A step that
// fails leaves the old file as it was and removes the temporary file.
Replacement ReplaceFileSafely(const std::u16string& path, std::string_view bytes);

}  // namespace platform
