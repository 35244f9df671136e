#pragma once
// What the tracker keeps about saves that did not reach the disk, and when a check pass tries
// a lagging save again. The texts that tell the user live with the progress file.

#include <chrono>

#include "platform/files.h"

// Why the last save did not reach the disk; a reason of None means it did. Aligned to its
// size so that std::atomic<SaveProblem> is lock-free under clang too, without libatomic.
struct alignas(8) SaveProblem {
    platform::FileError reason = platform::FileError::None;
    bool at_temporary = false;  // the temporary file beside adv_save.txt failed, not the file
    friend bool operator==(const SaveProblem&, const SaveProblem&) = default;
};

// A lagging save is tried again at every check pass this many times, then once a minute
// (and at every unlock). Each blocked write may raise a security notification on Windows.
constexpr int SAVE_RETRIES_AT_EVERY_PASS = 3;
constexpr std::chrono::seconds SAVE_RETRY_INTERVAL{60};

// Whether a check pass tries a lagging save again, after `failures` failed saves in a row,
// the last one `since_last` ago.
inline bool SaveRetryDue(int failures, std::chrono::steady_clock::duration since_last) {
    return failures <= SAVE_RETRIES_AT_EVERY_PASS || since_last >= SAVE_RETRY_INTERVAL;
}
