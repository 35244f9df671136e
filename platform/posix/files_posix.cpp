// Native file operations. Paths built for Windows are read with '\' as the separator.

#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "text/utf8.h"

namespace platform {

namespace {

constexpr int MAX_LINK_HOPS = 40;  // what the kernel itself follows (ELOOP)

std::string PosixPath(const std::u16string& path) {
    std::string bytes = Utf16ToUtf8(path);
    for (char& c : bytes) {
        if (c == '\\') c = '/';
    }
    return bytes;
}

std::string ParentDirectory(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;  // no progress and no reason given
        if (n <= 0) return false;
        written += static_cast<size_t>(n);
    }
    return true;
}

// A rename reaches the disk only once the directory that holds the name is flushed.
void SyncDirectory(const std::string& directory) {
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

FileError ErrorOf(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return FileError::AccessDenied;
        case EROFS:
            return FileError::ReadOnly;
        case EISDIR:
            return FileError::IsDirectory;
        case ENOSPC:
        case EDQUOT:
            return FileError::DiskFull;
        default:
            return FileError::Other;
    }
}

}  // namespace

std::u16string ModulePath() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length <= 0) return {};
        if (static_cast<size_t>(length) < buffer.size()) {
            return Utf8ToUtf16(std::string_view(buffer.data(), static_cast<size_t>(length)));
        }
        buffer.resize(buffer.size() * 2);  // the link may have been cut; ask again
    }
}

FileFacts QueryFile(const std::u16string& path) {
    struct stat info {};
    if (stat(PosixPath(path).c_str(), &info) != 0) return {};
    FileFacts facts;
    facts.exists = true;
    facts.directory = S_ISDIR(info.st_mode);
    facts.read_only = (info.st_mode & S_IWUSR) == 0;
    facts.size = static_cast<std::uint64_t>(info.st_size);
    facts.modified =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return facts;
}

std::filesystem::path NativePath(const std::u16string& path) {
    return PosixPath(path);
}

FileError WriteFileDurably(const std::u16string& path, std::string_view bytes) {
    const int fd = open(PosixPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return ErrorOf(errno);
    const bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
    const int write_error = written ? 0 : errno;
    if (close(fd) != 0 && written) return ErrorOf(errno);
    return written ? FileError::None : ErrorOf(write_error);
}

FileError ReplaceFileAtomically(const std::u16string& from, const std::u16string& to) {
    const std::string target = PosixPath(to);
    if (std::rename(PosixPath(from).c_str(), target.c_str()) != 0) return ErrorOf(errno);
    SyncDirectory(ParentDirectory(target));
    return FileError::None;
}

bool RemoveFile(const std::u16string& path) {
    return unlink(PosixPath(path).c_str()) == 0;
}

std::u16string FolderIdentity(const std::u16string& folder) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(PosixPath(folder), error);
    return error ? folder : Utf8ToUtf16(canonical.string());
}

std::uint32_t CurrentProcessId() {
    return static_cast<std::uint32_t>(getpid());
}

// A link that leads nowhere yet is followed too, so the first save creates its target.
std::u16string LinkTarget(const std::u16string& path) {
    std::filesystem::path target = PosixPath(path);
    std::error_code error;
    for (int hop = 0; hop < MAX_LINK_HOPS; ++hop) {
        if (!std::filesystem::is_symlink(target, error)) {
            return hop == 0 ? path : Utf8ToUtf16(target.string());
        }
        const std::filesystem::path next = std::filesystem::read_symlink(target, error);
        if (error) return path;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return path;  // a loop of links: writing replaces the first one
}

}  // namespace platform
