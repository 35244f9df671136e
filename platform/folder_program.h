#pragma once
// One program per folder: the program that runs for a folder holds the folder's claim, a named
// kernel object derived from the folder's identity (platform::FolderIdentity: every path that
// reaches the folder gives the same claim), and marks its main window with the same folder, so
// that another process can find that window and hand it data. Claims and windows are opaque
// handles.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "platform/desktop.h"

namespace platform {

// A folder's claim while held; empty when it was not granted. Gives the claim up when it goes,
// which must be on the thread that took it.
class FolderClaim {
  public:
    FolderClaim() = default;
    explicit FolderClaim(void* held) : held_(held) {}
    ~FolderClaim() { Release(); }
    FolderClaim(FolderClaim&& other) noexcept : held_(std::exchange(other.held_, nullptr)) {}
    FolderClaim& operator=(FolderClaim&& other) noexcept {
        if (this != &other) {
            Release();
            held_ = std::exchange(other.held_, nullptr);
        }
        return *this;
    }
    FolderClaim(const FolderClaim&) = delete;
    FolderClaim& operator=(const FolderClaim&) = delete;

    explicit operator bool() const { return held_ != nullptr; }
    // Gives the claim up now; nothing when empty.
    void Release();

  private:
    void* held_ = nullptr;
};

// Takes the folder's claim for the calling thread, waiting up to wait_ms while another process
// holds it. Empty when it is still held then, also when it is held by a copy with more rights
// (started as administrator) that this one may not even wait on. The claim of a process that
// ended without giving it up (a crash) is free. Where the system offers no such object the
// claim is always granted.
FolderClaim TakeFolderClaim(const std::u16string& folder, unsigned wait_ms);

// Marks the window as the main window of the program for the folder. Unmark it before the
// window is destroyed.
void MarkFolderWindow(WindowRef window, const std::u16string& folder);
void UnmarkFolderWindow(WindowRef window);
// The window marked for the folder, or null.
WindowRef FindFolderWindow(const std::u16string& folder);

// Hands the bytes to the window (WM_COPYDATA with `tag`) and waits up to timeout_ms for its
// answer, less when the window's thread does not serve messages at all. False when no answer
// came.
bool SendDataToWindow(WindowRef window, std::uintptr_t tag, std::string_view bytes,
                      unsigned timeout_ms, std::intptr_t* answer);

// Milliseconds since the system started: one clock for every process of the machine.
std::uint64_t SystemMilliseconds();

}  // namespace platform
