#pragma once
// The short-held lock of a program folder's state files: adv_save.txt and any other file beside
// it that a writer reads, merges with what it holds and writes back. Holding it from the
// re-read to the rename makes that step atomic among every writer of this program (the program,
// a copy that is still closing, laurelight-check), so that no writer overwrites what another
// wrote in between. It is separate from the folder claim (folder_program.h): a closing program
// gives the folder up at once and still saves its last pass under this lock.
//
// Windows: a named mutex in the session's namespace, keyed by the folder's identity. POSIX: an
// advisory lock (flock) on the folder itself. Neither leaves anything behind, and a writer that
// ends while holding it frees it. Not re-entrant: take it once per thread.

#include <string>

namespace platform {

// Another writer holds the folder's state lock for a few milliseconds; this much means it hangs,
// and the write fails to be tried again.
inline constexpr unsigned STATE_LOCK_WAIT_MS = 2000;

// Takes the lock of the folder for the calling thread, waiting up to wait_ms while another
// writer holds it. Null when it is still held then. Where the system refuses the lock itself
// (no rights to it), a handle that holds nothing: the writer goes on as it would without one.
void* LockFolderState(const std::u16string& folder, unsigned wait_ms);
// Gives the lock up, on the thread that took it; null is ignored.
void UnlockFolderState(void* lock);

// Holds the folder's state lock for a scope.
class FolderStateLock {
  public:
    FolderStateLock(const std::u16string& folder, unsigned wait_ms)
        : lock_(LockFolderState(folder, wait_ms)) {}
    ~FolderStateLock() { UnlockFolderState(lock_); }
    FolderStateLock(const FolderStateLock&) = delete;
    FolderStateLock& operator=(const FolderStateLock&) = delete;

    // False when another writer held the lock for the whole wait.
    bool Held() const { return lock_ != nullptr; }

  private:
    void* lock_;
};

}  // namespace platform
