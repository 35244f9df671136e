// The folder's state lock on POSIX: flock on an open descriptor of the folder. Locks of two
// descriptors exclude each other also within one process, as two writers there need.

#include "platform/folder_state_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/files.h"

namespace platform {
namespace {

constexpr std::chrono::milliseconds POLL{5};

// The descriptor of a folder that could not be opened: the writer goes on without a lock.
int g_no_lock = -1;

}  // namespace

void* LockFolderState(const std::u16string& folder, unsigned wait_ms) {
    const int fd = open(NativePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return &g_no_lock;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            const bool held_elsewhere = errno == EWOULDBLOCK;
            close(fd);
            return held_elsewhere ? nullptr : &g_no_lock;
        }
        std::this_thread::sleep_for(POLL);
    }
    return new int(fd);
}

void UnlockFolderState(void* lock) {
    if (lock == nullptr || lock == &g_no_lock) return;
    const int* fd = static_cast<int*>(lock);
    close(*fd);  // closing the last descriptor of the open folder drops its lock
    delete fd;
}

}  // namespace platform
