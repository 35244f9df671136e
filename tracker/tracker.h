#pragma once
// The one application object: configured achievements, their progress, the data-file
// paths, the borrowed window handles and the monitor thread.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "config/config_scan.h"
#include "model/achievement.h"
#include "model/data_paths.h"
#include "model/save_problem.h"
#include "platform/desktop.h"
#include "platform/folder_state_lock.h"
#include "progress/goal_stats.h"
#include "tracker/goal_counting.h"

struct AchievementTracker {
    // Derives the paths from the running executable's location.
    explicit AchievementTracker(platform::WindowRef window);
    // As if the executable stood at module_path (used by the console checker and tests).
    AchievementTracker(platform::WindowRef window, std::u16string_view module_path);
    ~AchievementTracker();
    AchievementTracker(const AchievementTracker&) = delete;
    AchievementTracker& operator=(const AchievementTracker&) = delete;

    bool LoadConfig();
    void LoadProgress();
    // Writes the completed achievements, then the kept lines. Reads the file first when it
    // changed since this program last read or wrote it, and writes nothing while it cannot.
    // Fails, to be tried again, when another writer holds the state lock beyond lock_wait_ms.
    void SaveProgress(unsigned lock_wait_ms = platform::STATE_LOCK_WAIT_MS);
    // Takes over what another program (laurelight-check, a sync service, an editor) completed
    // in the file since this one last read or wrote it: no toast, it happened elsewhere.
    // Returns whether an achievement became completed.
    bool ReadProgressIfChanged();
    // A last try for a lagging save, e.g. when Windows ends the session. Never waits for a
    // running pass; returns whether the progress is on disk.
    bool SaveIfPending();
    void FillLists();
    // Puts the open items whose progress changed in place of their old text, and only those,
    // so the list keeps its scroll position.
    void RefreshProgressItems();

    // Takes over what adv_stats.txt holds beyond this program's counts (another copy, a
    // synced folder) when it changed since last read. Returns whether a count grew. A file
    // that lacks some of the counts (a smaller copy, a deleted file) makes the next write due.
    bool ReadStatsIfChanged();
    // Writes the counts when they differ from the file, after reading it again if it changed.
    // Never writes over a file that exists but could not be read.
    void SaveStats();
    // The check pass's write: changed counts at most once a minute.
    void SaveStatsIfDue();

    // One check pass. Waits while another pass runs (monitor thread).
    void CheckTriggers();
    // One pass unless another is running; then returns false at once. For the UI
    // thread when no monitor thread runs: a running pass may be waiting for that thread.
    bool TryCheckTriggers();

    void StartMonitoring();
    void StopMonitoring();
    // Hands the timer's pass to the monitor thread, which runs it once its current pass or
    // wait allows; a request already pending absorbs this one. False when no monitor thread
    // runs, so the caller runs the pass itself.
    bool RequestTimerPass();
    // While paused no check pass runs on either schedule (a pass already under way ends
    // first); the monitor thread waits without waking. Resuming asks for a pass at once. An
    // unlock handed over by laurelight-check is not a pass and still completes.
    void SetPaused(bool pause);

    std::vector<Achievement> achievements;
    CompletedMap completed_map;
    std::u16string save_path;
    std::u16string config_path;
    platform::WindowRef main_window;
    platform::ListRef completed_list;
    platform::ListRef pending_list;
    std::thread monitor_thread;
    std::atomic<bool> running{false};
    std::atomic<bool> paused{false};

    // The "done" lines of adv_save.txt, one per id, in the file's order. Saves write back
    // those whose id no achievement has, so progress survives an entry removed for a while.
    std::vector<ProgressLine> kept_lines;
    // adv_save.txt from its first 0x1A byte on: reading stops there, and saves write it back
    // unchanged after their lines.
    std::string unread_tail;
    // adv_save.txt as this program last read or wrote it; any other change was made elsewhere.
    platform::FileFacts progress_stamp{};
    // An existing adv_save.txt could not be read: nothing is written until it has been.
    bool progress_unread = false;

    // Set while the progress on disk lags behind the flags because a save could not finish
    // (another program held the file, the disk was full). Passes and the destructor retry.
    bool save_pending = false;
    // Saves failed in a row and when the last one failed: they space out the retries.
    int save_failures = 0;
    std::chrono::steady_clock::time_point last_save_failure{};
    // Why the progress lags, for the main window; written by whichever thread saves.
    std::atomic<SaveProblem> save_problem{};
    static_assert(std::atomic<SaveProblem>::is_always_lock_free);

    // Goal counts and unlock times of adv_stats.txt, merged with the file's. Counting state
    // between checks (GoalWatch) is kept per achievement, by position, and never saved.
    std::u16string stats_path;
    GoalStats goal_stats;
    std::vector<GoalWatch> goal_watches;
    platform::FileFacts stats_stamp{};
    bool stats_read = false;    // the file has been read (or found absent)
    std::string stats_on_disk;  // the file as SerializeGoalStats writes what it holds
    // The file's lines that this version cannot read; every write puts them back.
    std::vector<std::string> stats_kept_lines;
    // The counts differ from the file: they changed here, or the file lacks some of them.
    bool stats_changed = false;
    std::chrono::steady_clock::time_point last_stats_write{};
    // The next pass writes the changed counts without waiting for the minute (an unlock time
    // that a hand-off left to it).
    bool stats_write_due = false;
    // An existing adv_stats.txt could not be read: nothing is written until it has been.
    std::atomic<bool> stats_unreadable{false};
    // The open list's item texts as last shown, in list order.
    std::vector<std::u16string> pending_items;
    // The ids of both lists' items, in list order, for the commands that act on a selected
    // item (UI thread). Set by each refill right after it emptied the lists, so that at every
    // moment the UI thread can see, the items a list holds have their ids here.
    std::vector<std::u16string> completed_ids;
    std::vector<std::u16string> pending_ids;
    std::mutex list_ids_mutex;

    // bin\adv.json as it was when last read (at the start, or again while the program runs),
    // and what the check pass last saw of it: a change is read only once it has settled.
    platform::FileFacts config_stamp{};
    platform::FileFacts config_seen{};
    std::chrono::steady_clock::time_point config_seen_at{};
    // Readings of adv.json are numbered, so that an older one never replaces a newer one.
    std::atomic<std::uint64_t> config_readings{0};
    std::uint64_t config_applied = 0;
    // The main window's line about the last reading while running; empty when it loaded
    // cleanly or none was made (UI thread, like the lists).
    std::u16string config_status;

    // Keeps check passes from overlapping.
    std::mutex pass_mutex;

    // The timer's request to the monitor thread, and the wait between passes that it (or a
    // stop) cuts short.
    std::mutex schedule_mutex;
    std::condition_variable schedule_changed;
    bool timer_pass_requested = false;
};

// The first pending achievement with this id, marked completed in its flag and the map and
// returned; nothing is saved. Null when no pending achievement has this id.
const Achievement* MarkFirstPending(AchievementTracker& tracker, const std::u16string& id);
// What an unlock does to the tracker's state before the lists and the toast: the above, the
// save and the unlock's local time, which the next stats save writes (the unlock's own, or the
// tracker's end). Every unlock goes through it: a met trigger, a hand-off, laurelight-check
// --unlock.
const Achievement* CompleteFirstPending(AchievementTracker& tracker, const std::u16string& id,
                                        unsigned lock_wait_ms = platform::STATE_LOCK_WAIT_MS);
// A whole unlock, as a met trigger makes it: the above, the list refill and the toast's
// message, then the write of the unlock time. The caller holds pass_mutex.
const Achievement* UnlockFirstPending(AchievementTracker& tracker, const std::u16string& id);
// The same for a sender that waits for the outcome (a hand-off from laurelight-check): the
// save waits at most lock_wait_ms for another writer, and the unlock time is left to the next
// pass, so that the outcome is known as soon as the progress is saved.
const Achievement* UnlockFirstPendingForSender(AchievementTracker& tracker,
                                               const std::u16string& id, unsigned lock_wait_ms);

// What met a trigger: the process name, or the window title and the fragment found in it.
// Filled only when asked for, so the check pass pays nothing for it.
struct TriggerMatch {
    std::u16string process_name;
    std::u16string window_title;
    std::u16string fragment;
};

bool MatchProcessName(const std::u16string& value, TriggerMatch* match = nullptr);
bool MatchWindowTitle(const std::u16string& value, TriggerMatch* match = nullptr);
// The test for the record's trigger type; never met for None or an unknown type.
bool TriggerMet(const Achievement& achievement, TriggerMatch* match = nullptr);
// Whether the user is at the computer now, as the check pass counts goal minutes: the
// platform's presence facts through UserAtComputer. laurelight-check judges it the same way.
bool UserPresentNow();
// The monitor thread's pause after each pass; laurelight-check --watch looks as often.
inline constexpr unsigned MONITOR_INTERVAL_MS = 500;
void MonitorLoop(AchievementTracker* tracker);
