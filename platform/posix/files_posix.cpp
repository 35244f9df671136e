// Native file operations. Paths built for Windows are read with '\' as the separator.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config/utf8.h"
#include "platform/files.h"

namespace platform {

namespace {

std::string PosixPath(const std::u16string& path) {
    std::string bytes = Utf16ToUtf8(path);
    for (char& c : bytes) {
        if (c == '\\') c = '/';
    }
    return bytes;
}

}  // namespace

std::u16string ModulePath() {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0) return {};
    return Utf8ToUtf16(std::string_view(buffer.data(), static_cast<size_t>(length)));
}

FileFacts QueryFile(const std::u16string& path) {
    struct stat info {};
    if (stat(PosixPath(path).c_str(), &info) != 0) return {};
    FileFacts facts;
    facts.exists = true;
    facts.directory = S_ISDIR(info.st_mode);
    facts.read_only = (info.st_mode & S_IWUSR) == 0;
    return facts;
}

std::filesystem::path NativePath(const std::u16string& path) { return PosixPath(path); }

bool WriteFileDurably(const std::u16string& path, std::string_view bytes) {
    const int fd = open(PosixPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            close(fd);
            return false;
        }
        written += static_cast<size_t>(n);
    }
    const bool synced = fsync(fd) == 0;
    return close(fd) == 0 && synced;
}

bool ReplaceFileAtomically(const std::u16string& from, const std::u16string& to) {
    return std::rename(PosixPath(from).c_str(), PosixPath(to).c_str()) == 0;
}

bool RemoveFile(const std::u16string& path) { return unlink(PosixPath(path).c_str()) == 0; }

}  // namespace platform
