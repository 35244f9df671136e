// The check pass: test every pending achievement's trigger against fresh desktop facts and
// complete those that are met. The monitor thread runs its own passes and the timer's; the
// UI thread runs one only without a monitor thread, or to take an unlock over from
// laurelight-check. pass_mutex keeps passes from overlapping.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "config/goal.h"
#include "model/window_messages.h"
#include "platform/desktop.h"
#include "text/ascii_case.h"
#include "tracker/config_reload.h"
#include "tracker/tracker.h"

namespace {

struct ProcessSearch {
    std::u16string_view name;
    TriggerMatch* match;
};

bool VisitProcessName(std::u16string_view process_name, void* context) {
    ProcessSearch& search = *static_cast<ProcessSearch*>(context);
    if (!EqualIgnoringAsciiCase(process_name, search.name)) return false;
    if (search.match != nullptr) search.match->process_name = process_name;
    return true;
}

struct TitleSearch {
    const std::vector<std::u16string_view>& fragments;
    bool found = false;
    TriggerMatch* match = nullptr;
};

bool VisitWindowTitle(std::u16string_view title, void* context) {
    TitleSearch& search = *static_cast<TitleSearch*>(context);
    // The window walk never hands out more than this; hold every source to that.
    title = title.substr(0, platform::MAX_TITLE_UNITS);
    for (std::u16string_view fragment : search.fragments) {
        if (fragment.size() > title.size()) continue;
        if (title.find(fragment) != std::u16string_view::npos) {
            search.found = true;
            if (search.match != nullptr) {
                search.match->window_title = title;
                search.match->fragment = fragment;
            }
            return true;
        }
    }
    return false;
}

// Hands a copy of the completed achievement to the main window; the receiver frees it.
void PostUnlocked(const AchievementTracker& tracker, const Achievement& achievement) {
    auto copy = std::make_unique<Achievement>(achievement);
    const auto address = reinterpret_cast<std::intptr_t>(copy.get());
    if (platform::PostToWindow(tracker.main_window, WM_ACHIEVEMENT_UNLOCKED, 0, address)) {
        copy.release();  // owned by the message now
    }
}

bool SaveDue(const AchievementTracker& tracker) {
    const auto since_failure = std::chrono::steady_clock::now() - tracker.last_save_failure;
    return tracker.save_pending && SaveRetryDue(tracker.save_failures, since_failure);
}

// What another program completed in the file moves to the completed list without a toast.
void TakeOverFileCompletions(AchievementTracker& tracker) {
    if (tracker.ReadProgressIfChanged()) tracker.FillLists();
}

// The same, and counts that another copy made show in the open list.
void TakeOverFileChanges(AchievementTracker& tracker) {
    if (tracker.ReadProgressIfChanged()) {
        tracker.FillLists();
    } else if (tracker.ReadStatsIfChanged()) {
        tracker.RefreshProgressItems();
    }
}

// The facts every goal achievement of one pass shares, asked for once and only when a pass
// meets its first open goal achievement, so a pass without any asks nothing more.
struct PassMoment {
    std::int64_t at_ms = 0;
    bool user_present = false;
    StatsDay day = 0;
};

PassMoment TakeMoment() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    const bool user_present = UserPresentNow();
    const platform::LocalTime local = platform::LocalNow();
    return {std::chrono::duration_cast<std::chrono::milliseconds>(since).count(), user_present,
            MakeStatsDay(local.year, local.month, local.day)};
}

struct ProcessIdSearch {
    std::u16string_view name;
    std::vector<std::uint32_t> ids;
};

bool CollectProcessId(std::u16string_view process_name, std::uint32_t id, void* context) {
    ProcessIdSearch& search = *static_cast<ProcessIdSearch*>(context);
    if (EqualIgnoringAsciiCase(process_name, search.name)) search.ids.push_back(id);
    return false;
}

// One snapshot or one window walk, as for any achievement; a process name's walk also
// gathers the ids of every process of that name.
GoalSighting Sight(const Achievement& achievement, const PassMoment& moment) {
    GoalSighting seen{false, {}, moment.at_ms, moment.user_present, moment.day};
    if (achievement.trigger_type == TriggerType::ProcessName) {
        if (achievement.trigger_value.empty()) return seen;
        ProcessIdSearch search{achievement.trigger_value, {}};
        platform::VisitProcesses(CollectProcessId, &search);
        std::sort(search.ids.begin(), search.ids.end());
        seen.met = !search.ids.empty();
        seen.process_ids = std::move(search.ids);
    } else {
        seen.met = TriggerMet(achievement);
    }
    return seen;
}

// Counts this check towards the achievement's goal; true when the goal is reached. A goal
// that cannot be read counts nothing and never unlocks.
bool CountTowardsGoal(AchievementTracker& tracker, std::size_t index,
                      std::optional<PassMoment>& moment, bool& progress_changed) {
    const Achievement& achievement = tracker.achievements[index];
    const std::optional<Goal> goal = GoalOf(achievement).goal;
    if (!goal) return false;
    if (!moment) moment = TakeMoment();
    if (tracker.goal_watches.size() != tracker.achievements.size()) {
        tracker.goal_watches.resize(tracker.achievements.size());
    }
    GoalRecord& record = tracker.goal_stats[achievement.id];
    const std::uint64_t before = GoalAmount(goal->unit, record);
    if (CountGoalCheck(goal->unit, achievement.trigger_type, Sight(achievement, *moment),
                       tracker.goal_watches[index], record)) {
        tracker.stats_changed = true;
        progress_changed = progress_changed || GoalAmount(goal->unit, record) != before;
    }
    return GoalReached(*goal, record);
}

// One pass, or nothing while paused; the caller holds pass_mutex. Positions in the vector never
// change during a pass (a new configuration takes their place only between passes), so the outer
// walk stays valid across unlocks. The pass looks at the files' size and time (cheap) and reads
// them only when they changed, so that unlocks and counts made elsewhere show without waiting for
// one here; before every trigger test it looks at adv_save.txt again, so that they show at once
// even while a pass over many records takes seconds, and a record completed elsewhere is not
// unlocked here a second time. adv.json is looked at once, and again at the end while a change
// of it settles (config_reload.h).
void RunCheckPass(AchievementTracker& tracker) {
    if (tracker.paused.load()) return;
    const bool config_settling = WatchConfig(tracker, std::chrono::steady_clock::now());
    TakeOverFileChanges(tracker);
    if (SaveDue(tracker) && !tracker.progress_unread) tracker.SaveProgress();
    std::optional<PassMoment> moment;
    bool progress_changed = false;
    for (std::size_t index = 0; index < tracker.achievements.size(); ++index) {
        const Achievement& achievement = tracker.achievements[index];
        if (achievement.completed) continue;
        TakeOverFileCompletions(tracker);
        if (achievement.completed) continue;
        const bool met = HasGoal(achievement)
                             ? CountTowardsGoal(tracker, index, moment, progress_changed)
                             : TriggerMet(achievement);
        if (met && UnlockFirstPending(tracker, achievement.id) != nullptr) {
            progress_changed = false;  // the refill showed every count
        }
    }
    if (progress_changed) tracker.RefreshProgressItems();
    tracker.SaveStatsIfDue();
    if (config_settling) WatchConfig(tracker, std::chrono::steady_clock::now());
}

// The local date and time of an unlock; an earlier one known from another copy stays.
// Only a configuration that uses goals or secrets keeps the file that holds it.
void RecordUnlockTime(AchievementTracker& tracker, const std::u16string& id) {
    if (!UsesGoalMembers(tracker.achievements)) return;
    const platform::LocalTime now = platform::LocalNow();
    StatsTime& unlocked_at = tracker.goal_stats[id].unlocked_at;
    if (unlocked_at != 0) return;
    unlocked_at = MakeStatsTime(now.year, now.month, now.day, now.hour, now.minute, now.second);
    tracker.stats_changed = true;
}

}  // namespace

// An earlier duplicate of the id goes first.
const Achievement* MarkFirstPending(AchievementTracker& tracker, const std::u16string& id) {
    for (Achievement& achievement : tracker.achievements) {
        if (achievement.completed || achievement.id != id) continue;
        achievement.completed = true;
        tracker.completed_map[id] = true;
        return &achievement;
    }
    return nullptr;
}

const Achievement* CompleteFirstPending(AchievementTracker& tracker, const std::u16string& id,
                                        unsigned lock_wait_ms) {
    const Achievement* achievement = MarkFirstPending(tracker, id);
    if (achievement == nullptr) return nullptr;
    tracker.SaveProgress(lock_wait_ms);
    RecordUnlockTime(tracker, id);
    return achievement;
}

const Achievement* UnlockFirstPendingForSender(AchievementTracker& tracker,
                                               const std::u16string& id, unsigned lock_wait_ms) {
    const Achievement* achievement = CompleteFirstPending(tracker, id, lock_wait_ms);
    if (achievement == nullptr) return nullptr;
    tracker.FillLists();
    PostUnlocked(tracker, *achievement);
    if (tracker.stats_changed) tracker.stats_write_due = true;
    return achievement;
}

const Achievement* UnlockFirstPending(AchievementTracker& tracker, const std::u16string& id) {
    const Achievement* achievement =
        UnlockFirstPendingForSender(tracker, id, platform::STATE_LOCK_WAIT_MS);
    if (achievement == nullptr) return nullptr;
    tracker.SaveStats();  // the unlock time; after the lists and the toast, which the user sees
    return achievement;
}

bool UserPresentNow() {
    const platform::UserPresence presence = platform::QueryUserPresence();
    return UserAtComputer(presence.idle_milliseconds, presence.session_locked);
}

bool MatchProcessName(const std::u16string& value, TriggerMatch* match) {
    if (value.empty()) return false;
    ProcessSearch search{value, match};
    return platform::VisitProcessNames(VisitProcessName, &search);
}

bool MatchWindowTitle(const std::u16string& value, TriggerMatch* match) {
    if (value.empty()) return false;
    const std::vector<std::u16string_view> fragments = SplitTitleFragments(value);
    TitleSearch search{fragments, false, match};
    // Runs even without fragments: a value of bars only walks the windows and never matches.
    platform::VisitVisibleWindowTitles(VisitWindowTitle, &search);
    return search.found;
}

bool TriggerMet(const Achievement& achievement, TriggerMatch* match) {
    switch (achievement.trigger_type) {
        case TriggerType::WindowTitle:
            return MatchWindowTitle(achievement.trigger_value, match);
        case TriggerType::ProcessName:
            return MatchProcessName(achievement.trigger_value, match);
        default:
            return false;
    }
}

void AchievementTracker::CheckTriggers() {
    std::lock_guard<std::mutex> lock(pass_mutex);
    RunCheckPass(*this);
}

bool AchievementTracker::TryCheckTriggers() {
    std::unique_lock<std::mutex> lock(pass_mutex, std::try_to_lock);
    if (!lock.owns_lock()) return false;
    RunCheckPass(*this);
    return true;
}
