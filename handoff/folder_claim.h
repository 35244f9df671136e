#pragma once
// Who writes a folder's progress: this process, once it holds the folder's claim, or the
// program that holds it already and can be reached through its main window.

#include <cstdint>
#include <string>

#include "platform/folder_program.h"

// Either the claim, or else the window of the program that holds it (null when none showed
// within wait_ms: a program that hangs before its window, or one that just ended).
struct FolderWriter {
    platform::FolderClaim claim;
    platform::WindowRef window;
};

// Tries the claim and the window in turn until one is had or wait_ms have passed. A program
// that is starting holds the claim before its window exists, hence the wait.
FolderWriter ClaimOrFindWriter(const std::u16string& folder, std::uint64_t wait_ms);
