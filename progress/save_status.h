#pragma once
// Whether the progress file has caught up with the completed flags, how often a lagging save
// is tried again, and what the user is told while it lags.

#include <chrono>
#include <string>

#include "platform/files.h"

// Why the last save did not reach the disk; a reason of None means it did.
struct SaveProblem {
    platform::FileError reason = platform::FileError::None;
    bool at_temporary = false;  // the temporary file beside adv_save.txt failed, not the file
    friend bool operator==(const SaveProblem&, const SaveProblem&) = default;
};

// Posted to the main window, without payload, when saves start or stop failing or fail for
// another reason. The window then reads the tracker's save_problem.
constexpr unsigned WM_SAVE_STATUS_CHANGED = 0x0400 + 101;

// A lagging save is tried again at every check pass this many times, then once a minute
// (and at every unlock). Each blocked write may raise a security notification on Windows.
constexpr int SAVE_RETRIES_AT_EVERY_PASS = 3;
constexpr std::chrono::seconds SAVE_RETRY_INTERVAL{60};

// Whether a check pass tries a lagging save again, after `failures` failed saves in a row,
// the last one `since_last` ago.
bool SaveRetryDue(int failures, std::chrono::steady_clock::duration since_last);

// The file the problem is about: adv_save.txt or the temporary file beside it.
std::u16string FailedFile(const std::u16string& save_path, const SaveProblem& problem);

// The main window's line, in Chinese: the progress cannot be saved, the file, the reason,
// and that it will be tried again.
std::u16string SaveProblemLine(const std::u16string& file, platform::FileError reason);

// The console's line, in English and Chinese: the progress did not reach the file, and why.
std::u16string SaveFailedConsoleLine(const std::u16string& file, platform::FileError reason);
