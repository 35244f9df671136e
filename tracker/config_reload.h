#pragma once
// bin\adv.json read again while the program runs, and put in place of the running set between
// two check passes. The check pass notices a change by the file's facts, once per pass; the
// main window applies what was read, and so do its own reloads (by hand, after an edit).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/achievement.h"
#include "platform/files.h"

struct AchievementTracker;

// Editors write a file in several steps: a change is read once the file's facts have stayed
// the same for this long.
inline constexpr std::chrono::milliseconds CONFIG_SETTLE_TIME{1000};

// One reading of adv.json with the loader of the start, and its findings counted.
struct ConfigReload {
    std::uint64_t number = 0;               // a later reading has a larger number
    platform::FileFacts stamp;              // the file's facts just before it was read
    std::vector<Achievement> achievements;  // none when it did not load
    std::u16string failure;                 // the loader's message; empty when it loaded
    std::size_t findings = 0;
};

// Any thread: touches only the configuration path and the reading counter.
ConfigReload ReadConfigAgain(AchievementTracker& tracker);

// Part of every check pass: one look at adv.json's facts. A change that has settled is read
// and posted to the main window (WM_CONFIG_RELOADED), which owns the reading then. True while a
// change waits to settle: the pass looks once more at its end, so that a long pass (many open
// achievements) does not hold a change back for two passes.
bool WatchConfig(AchievementTracker& tracker, std::chrono::steady_clock::time_point now);

// Puts a reading in place of the running set; the caller holds pass_mutex, on the UI thread,
// which refills the lists here. Completions and goal counts stay with their ids, also those
// of ids the file no longer has (their lines stay in adv_save.txt, and come back with the
// id); new ids are open; order and texts follow the file. A file that did not load leaves the
// set as it was. Nothing is saved. False for a reading older than one applied before, which
// changes nothing.
bool ApplyConfigReload(AchievementTracker& tracker, ConfigReload& reload);

// The id of the item at `index` of the completed or the open list; empty when there is none.
std::u16string ListedId(AchievementTracker& tracker, bool completed, std::size_t index);

// For the UI thread, which alone changes the running set: the achievements as configured,
// their completed flags (which a pass may be setting) left false.
std::vector<Achievement> ConfiguredEntries(const AchievementTracker& tracker);
