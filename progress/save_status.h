#pragma once
// What the user is told while the progress file lags behind the completed flags.

#include <string>

#include "model/save_problem.h"
#include "platform/files.h"

// Why a write failed, in English and in Chinese, as the lines below say it.
struct ReasonText {
    const char16_t* english;
    const char16_t* chinese;
};
ReasonText FileErrorText(platform::FileError reason);

// The file the problem is about: adv_save.txt or the temporary file beside it.
std::u16string FailedFile(const std::u16string& save_path, const SaveProblem& problem);

// The main window's line, in Chinese: the progress cannot be saved, the file, the reason,
// and that it will be tried again.
std::u16string SaveProblemLine(const std::u16string& file, platform::FileError reason);

// The console's line, in English and Chinese: the progress did not reach the file, and why.
std::u16string SaveFailedConsoleLine(const std::u16string& file, platform::FileError reason);

// The main window's line while adv_stats.txt exists but cannot be read: goal counts go on in
// memory and are not written over the file until it can be read.
std::u16string StatsUnreadableLine(const std::u16string& stats_path);
