#pragma once
// Where laurelight-check may write its document (--output FILE), and how: the whole text or
// no file at all, never the data files the tool reads.

#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "tracker/tracker.h"

// Whether FILE is adv.json, adv_save.txt or adv_stats.txt in any spelling (letter case too, as
// Windows reads it), which writing it would empty before they are read.
bool NamesDataFile(const std::u16string& file, const AchievementTracker& tracker);

// Says on stderr, in English and Chinese, that the file could not be written and why; false
// when there is no error to tell.
bool ReportCannotWrite(const std::u16string& file, platform::FileError error);

// The whole text goes into the file; otherwise the user is told why on stderr, and no part
// of the file is left.
bool WriteOutputFile(const std::u16string& file, std::string_view text);

// Hands a command's document to the --output file, or else to stdout; nothing when it is
// empty. Returns the command's exit code, or EXIT_CANNOT_WRITE when the file was not written.
int DeliverDocument(const std::optional<std::u16string>& output, std::string_view document,
                    int status);
