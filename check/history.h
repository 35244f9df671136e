#pragma once
// --history: the completed achievements in the order they were unlocked, as lines to read or
// as CSV for a spreadsheet.

#include <string>

#include "tracker/tracker.h"

// "2024-05-01 14:03:22  id  title" a line; unlocks of unknown time (an earlier version's)
// come last, with "unknown" for the time.
std::string HistoryText(const AchievementTracker& tracker);
// UTF-8 with a byte-order mark, so that Excel shows Chinese titles: "time,id,title" and a row
// per unlock, fields quoted where they need it, lines ended by CR LF. A field that begins with
// =, +, -, @, a tab or a CR is quoted with an apostrophe first, so it never runs as a formula.
std::string HistoryCsv(const AchievementTracker& tracker);
