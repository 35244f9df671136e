// The check pass: test every pending achievement's trigger against fresh desktop facts and
// complete those that are met. The monitor thread runs its own passes and the timer's; the
// UI thread runs one only without a monitor thread, or to take an unlock over from
// laurelight-check. pass_mutex keeps passes from overlapping.

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "model/window_messages.h"
#include "platform/desktop.h"
#include "text/ascii_case.h"
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

// One pass; the caller holds pass_mutex. Positions in the vector never change, so the
// outer walk stays valid across unlocks. Before every trigger test the pass looks at the
// file's size and time (cheap) and reads it only when they changed, so that unlocks made
// elsewhere show at once even while a pass over many records takes seconds, and a record
// completed elsewhere is not unlocked here a second time.
void RunCheckPass(AchievementTracker& tracker) {
    TakeOverFileCompletions(tracker);
    if (SaveDue(tracker) && !tracker.progress_unread) tracker.SaveProgress();
    for (const Achievement& achievement : tracker.achievements) {
        if (achievement.completed) continue;
        TakeOverFileCompletions(tracker);
        if (achievement.completed) continue;
        if (!TriggerMet(achievement)) continue;
        UnlockFirstPending(tracker, achievement.id);
    }
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

const Achievement* CompleteFirstPending(AchievementTracker& tracker, const std::u16string& id) {
    const Achievement* achievement = MarkFirstPending(tracker, id);
    if (achievement != nullptr) tracker.SaveProgress();
    return achievement;
}

const Achievement* UnlockFirstPending(AchievementTracker& tracker, const std::u16string& id) {
    const Achievement* achievement = CompleteFirstPending(tracker, id);
    if (achievement == nullptr) return nullptr;
    tracker.FillLists();
    PostUnlocked(tracker, *achievement);
    return achievement;
}

// Fragments are views into the trigger value, which outlives the search.
std::vector<std::u16string_view> SplitTitleFragments(std::u16string_view value) {
    std::vector<std::u16string_view> fragments;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = value.find(u'|', start);
        const std::u16string_view fragment = value.substr(
            start, bar == std::u16string_view::npos ? std::u16string_view::npos : bar - start);
        if (!fragment.empty()) fragments.push_back(fragment);
        if (bar == std::u16string_view::npos) break;
        start = bar + 1;
    }
    return fragments;
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
