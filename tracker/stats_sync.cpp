// adv_stats.txt beside the progress file: goal counts and unlock times. Written through the
// same safe replacement as the progress, only when the counts changed, at most once a minute
// from the check pass, and at every unlock, close and log-off. Another copy of the file (a
// synced folder, a second computer) merges by the larger count and the union of days, so a
// count is never added twice and never lost once written.

#include <chrono>
#include <string>

#include "model/window_messages.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/folder_state_lock.h"
#include "progress/goal_stats.h"
#include "tracker/state_file.h"
#include "tracker/tracker.h"

namespace {

constexpr std::chrono::seconds STATS_WRITE_INTERVAL{60};

// The main window's status line tells of a file it will not write over.
void NoteUnreadable(AchievementTracker& tracker, bool unreadable) {
    if (tracker.stats_unreadable.exchange(unreadable) != unreadable &&
        tracker.main_window != nullptr) {
        platform::PostToWindow(tracker.main_window, WM_SAVE_STATUS_CHANGED, 0, 0);
    }
}

}  // namespace

bool AchievementTracker::ReadStatsIfChanged() {
    const platform::FileFacts now = platform::QueryFile(platform::LinkTarget(stats_path));
    if (stats_read && !stats_unreadable.load() && now == stats_stamp) return false;
    const StateFileReading file = ReadStateFile(stats_path);
    NoteUnreadable(*this, !file.bytes);
    if (!file.bytes) return false;
    const StatsReading reading = ReadGoalStats(*file.bytes);
    stats_read = true;
    stats_stamp = file.stamp;
    stats_on_disk = SerializeGoalStats(reading.stats);
    return MergeGoalStats(goal_stats, reading.stats);
}

// Read, merge, write under the folder's state lock, as the progress is saved, so that another
// writer's counts cannot fall between the read and the write and be lost.
void AchievementTracker::SaveStats() {
    const platform::FolderStateLock lock(ExecutableDirectory(save_path),
                                         platform::STATE_LOCK_WAIT_MS);
    if (!lock.Held()) return;  // stats_changed stays: the next write tries again
    ReadStatsIfChanged();
    if (!stats_read || stats_unreadable.load()) return;
    std::string bytes = SerializeGoalStats(goal_stats);
    stats_changed = false;
    if (bytes == stats_on_disk) return;
    platform::RemoveLeftTemporaries(platform::LinkTarget(stats_path));
    const platform::Replacement replaced = platform::ReplaceFileSafely(stats_path, bytes);
    last_stats_write = std::chrono::steady_clock::now();
    if (replaced.error != platform::FileError::None) {
        stats_changed = true;  // tried again with the next write
        return;
    }
    stats_stamp = replaced.written;
    stats_on_disk = std::move(bytes);
}

void AchievementTracker::SaveStatsIfDue() {
    if (!stats_changed) return;
    if (std::chrono::steady_clock::now() - last_stats_write < STATS_WRITE_INTERVAL) return;
    SaveStats();
}
