// The folder's state lock on Windows: a named mutex beside the folder claim, keyed alike.

#include "platform/win32/win32.h"

#include "platform/folder_state_lock.h"

#include "platform/win32/folder_names_win32.h"

namespace platform {
namespace {

constexpr wchar_t LOCK_PREFIX[] = L"Local\\Laurelight.State.";

// What a refused mutex hands out: a lock that holds nothing.
int g_no_lock = 0;

}  // namespace

// WAIT_ABANDONED: a writer ended while holding it; what it left is whole, since every write is
// a rename, and the lock is ours now.
void* LockFolderState(const std::u16string& folder, unsigned wait_ms) {
    bool denied = false;
    HANDLE mutex = OpenFolderMutex(FolderObjectName(LOCK_PREFIX, folder), denied);
    if (mutex == nullptr) return &g_no_lock;
    const DWORD waited = WaitForSingleObject(mutex, wait_ms);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return mutex;
    CloseHandle(mutex);
    return waited == WAIT_TIMEOUT ? nullptr : &g_no_lock;
}

void UnlockFolderState(void* lock) {
    if (lock == nullptr || lock == &g_no_lock) return;
    ReleaseMutex(static_cast<HANDLE>(lock));
    CloseHandle(static_cast<HANDLE>(lock));
}

}  // namespace platform
