// The tracker's progress: loading and saving adv_save.txt, whose bytes progress_format.h
// reads and writes. Saving never leaves a half written file (platform::ReplaceFileSafely). A save
// that cannot finish leaves the old file as it was and says why; later check passes save the whole
// state again.
//
// Other programs may write the file too: laurelight-check, a sync service carrying another
// machine's unlocks, an editor. A save therefore never drops a completion it did not make: it
// reads the file again first when it changed, takes over what it completes, and writes back
// the lines of ids that the configuration does not have.

#include <chrono>
#include <mutex>
#include <set>
#include <vector>

#include "model/window_messages.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/folder_state_lock.h"
#include "progress/progress_format.h"
#include "tracker/state_file.h"
#include "tracker/tracker.h"

namespace {

using platform::FileError;

// The main window hears of every change in why saves fail.
void ReportSaveProblem(AchievementTracker& tracker, const SaveProblem& problem) {
    if (tracker.save_problem.exchange(problem) != problem && tracker.main_window) {
        platform::PostToWindow(tracker.main_window, WM_SAVE_STATUS_CHANGED, 0, 0);
    }
}

// A file that cannot be read is not taken as empty: saving it would drop every completion it
// holds. The user is told, and passes read again until it can be read.
bool NoteReading(AchievementTracker& tracker, const StateFileReading& reading) {
    tracker.progress_unread = !reading.bytes;
    if (tracker.progress_unread) {
        ReportSaveProblem(tracker, {FileError::Unreadable, false});
        return false;
    }
    tracker.progress_stamp = reading.stamp;
    if (tracker.save_problem.load().reason == FileError::Unreadable) ReportSaveProblem(tracker, {});
    return true;
}

bool Completes(const CompletedMap& file, const std::u16string& id) {
    const auto found = file.find(id);
    return found != file.end() && found->second;
}

// Lines of both, by id: the file's first, in its order, then those only this program holds.
std::vector<ProgressLine> MergeKeptLines(std::vector<ProgressLine> from_file,
                                         const std::vector<ProgressLine>& held) {
    std::set<std::u16string> ids;
    for (const ProgressLine& line : from_file) ids.insert(line.id);
    for (const ProgressLine& line : held) {
        if (ids.insert(line.id).second) from_file.push_back(line);
    }
    return from_file;
}

// Whether the file lacks a completion held here: then it is saved again.
bool FileLacksCompletions(const AchievementTracker& tracker, const CompletedMap& file) {
    for (const Achievement& achievement : tracker.achievements) {
        if (achievement.completed && ProgressCanHold(achievement.id) &&
            !Completes(file, achievement.id)) {
            return true;
        }
    }
    for (const ProgressLine& line : tracker.kept_lines) {
        if (!Completes(file, line.id)) return true;
    }
    return false;
}

// Completions are only ever added. A file that lacks one held here (a synced copy from
// another machine) is saved again with it.
bool TakeOver(AchievementTracker& tracker, std::string_view bytes) {
    const CompletedMap file = ParseProgress(bytes);
    bool completed_any = false;
    for (Achievement& achievement : tracker.achievements) {
        if (achievement.completed || !Completes(file, achievement.id)) continue;
        achievement.completed = true;
        completed_any = true;
    }
    for (const auto& [id, done] : file) {
        if (done) tracker.completed_map[id] = true;
        tracker.completed_map.try_emplace(id, false);
    }
    tracker.kept_lines = MergeKeptLines(DoneLines(bytes), tracker.kept_lines);
    tracker.unread_tail = UnreadTail(bytes);
    if (FileLacksCompletions(tracker, file)) tracker.save_pending = true;
    return completed_any;
}

}  // namespace

// The goal counts beside it are read with it, so the first list shows their progress.
void AchievementTracker::LoadProgress() {
    goal_stats.clear();
    stats_read = false;
    ReadStatsIfChanged();
    completed_map.clear();
    kept_lines.clear();
    unread_tail.clear();
    const StateFileReading reading = ReadStateFile(save_path);
    NoteReading(*this, reading);
    if (!reading.stamp.exists) return;
    const std::string bytes = reading.bytes.value_or(std::string());
    completed_map = ParseProgress(bytes);
    kept_lines = DoneLines(bytes);
    unread_tail = UnreadTail(bytes);
    for (Achievement& achievement : achievements) {
        achievement.completed = completed_map[achievement.id];
    }
}

bool AchievementTracker::ReadProgressIfChanged() {
    const platform::FileFacts now = platform::QueryFile(platform::LinkTarget(save_path));
    if (!progress_unread && now == progress_stamp) return false;
    const StateFileReading reading = ReadStateFile(save_path);
    return NoteReading(*this, reading) && TakeOver(*this, *reading.bytes);
}

// A save that cannot finish marks the progress as pending, so that later check passes and
// the tracker's end try again instead of leaving an unlock only in memory until the next one.
// Only failed writes count towards spacing the retries out: a read that fails costs nothing.
//
// The re-read, the merge and the write happen under the folder's state lock, so that another
// writer's save cannot fall between them and be overwritten. A writer that holds the lock
// longer than the wait (it hangs) makes this save fail like a write, to be tried again.
void AchievementTracker::SaveProgress() {
    save_pending = true;
    const platform::FolderStateLock lock(ExecutableDirectory(save_path),
                                         platform::STATE_LOCK_WAIT_MS);
    platform::Replacement replaced{FileError::Other, platform::ReplaceStep::Target, {}};
    if (lock.Held()) {
        ReadProgressIfChanged();
        if (progress_unread) return;
        platform::RemoveLeftTemporaries(platform::LinkTarget(save_path));
        replaced = platform::ReplaceFileSafely(
            save_path, SerializeProgress(achievements, kept_lines, unread_tail));
    }
    const SaveProblem problem{replaced.error, replaced.step == platform::ReplaceStep::Temporary};
    save_pending = problem.reason != FileError::None;
    if (save_pending) {
        ++save_failures;
        last_save_failure = std::chrono::steady_clock::now();
    } else {
        save_failures = 0;
        progress_stamp = replaced.written;
    }
    ReportSaveProblem(*this, problem);
}

bool AchievementTracker::SaveIfPending() {
    std::unique_lock<std::mutex> lock(pass_mutex, std::try_to_lock);
    if (!lock.owns_lock()) return false;
    if (save_pending) SaveProgress();
    if (stats_changed) SaveStats();
    return !save_pending;
}
