// Reading bin\adv.json again while the program runs. The check pass only looks at the file's
// facts (one query per pass, as for adv_save.txt) and reads it once a change has settled; it
// never changes the running set itself. The main window puts a reading in place between two
// passes, on its own thread, so the lists are refilled there in one go and no pass can meet a
// set that changes under it.

#include "tracker/config_reload.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "config/config_loader.h"
#include "config/config_status.h"
#include "config/scan_report.h"
#include "model/window_messages.h"
#include "platform/desktop.h"
#include "progress/progress_format.h"
#include "tracker/tracker.h"

namespace {

// The same entries in the same order: a file saved again without a change (or changed back)
// leaves the lists alone, with their selection and scroll position.
bool SameEntries(const std::vector<Achievement>& running, const std::vector<Achievement>& read) {
    if (running.size() != read.size()) return false;
    for (std::size_t index = 0; index < read.size(); ++index) {
        Achievement entry = running[index];
        entry.completed = read[index].completed;
        if (entry != read[index]) return false;
    }
    return true;
}

// A completion made in this run has no line of the file among the kept ones; it gets one, so
// that saves keep it while its id is missing from the configuration.
void KeepCompletedLines(AchievementTracker& tracker) {
    std::set<std::u16string> kept;
    for (const ProgressLine& line : tracker.kept_lines) kept.insert(line.id);
    for (const Achievement& achievement : tracker.achievements) {
        if (!achievement.completed || !ProgressCanHold(achievement.id)) continue;
        if (kept.insert(achievement.id).second)
            tracker.kept_lines.push_back(DoneLine(achievement.id));
    }
}

bool SameTrigger(const Achievement& one, const Achievement& other) {
    return one.trigger_type == other.trigger_type && one.trigger_value == other.trigger_value &&
           one.trigger_goal == other.trigger_goal;
}

// What the counting remembers of the last check is kept by position; it follows its id to
// the new position, and starts afresh for a new id or a changed trigger.
std::vector<GoalWatch> MoveWatches(const AchievementTracker& tracker,
                                   const std::vector<Achievement>& read) {
    std::map<std::u16string, std::size_t> first_of;
    for (std::size_t index = 0; index < tracker.achievements.size(); ++index) {
        first_of.try_emplace(tracker.achievements[index].id, index);
    }
    std::vector<GoalWatch> watches(read.size());
    for (std::size_t index = 0; index < read.size(); ++index) {
        const auto before = first_of.find(read[index].id);
        if (before == first_of.end() || before->second >= tracker.goal_watches.size()) continue;
        if (!SameTrigger(tracker.achievements[before->second], read[index])) continue;
        watches[index] = tracker.goal_watches[before->second];
    }
    return watches;
}

}  // namespace

ConfigReload ReadConfigAgain(AchievementTracker& tracker) {
    ConfigReload reading;
    reading.number = tracker.config_readings.fetch_add(1) + 1;
    reading.stamp = platform::QueryFile(platform::LinkTarget(tracker.config_path));
    ScanReport report;
    reading.failure = LoadAchievements(tracker.config_path, reading.achievements, &report);
    reading.findings = report.findings.size();
    return reading;
}

bool WatchConfig(AchievementTracker& tracker, std::chrono::steady_clock::time_point now) {
    if (!tracker.main_window) return false;
    const platform::FileFacts facts =
        platform::QueryFile(platform::LinkTarget(tracker.config_path));
    if (facts == tracker.config_stamp || facts != tracker.config_seen) {
        tracker.config_seen = facts;
        tracker.config_seen_at = now;
        return facts != tracker.config_stamp;
    }
    if (now - tracker.config_seen_at < CONFIG_SETTLE_TIME) return true;
    auto reading = std::make_unique<ConfigReload>(ReadConfigAgain(tracker));
    tracker.config_stamp = reading->stamp;
    const auto address = reinterpret_cast<std::intptr_t>(reading.get());
    if (platform::PostToWindow(tracker.main_window, WM_CONFIG_RELOADED, 0, address)) {
        reading.release();  // owned by the message now
    }
    return false;
}

bool ApplyConfigReload(AchievementTracker& tracker, ConfigReload& reload) {
    if (reload.number <= tracker.config_applied) return false;
    tracker.config_applied = reload.number;
    tracker.config_stamp = reload.stamp;
    tracker.config_status = ConfigStatusLine(reload.failure, reload.findings);
    if (!reload.failure.empty()) return true;
    for (Achievement& achievement : reload.achievements) {
        const auto found = tracker.completed_map.find(achievement.id);
        achievement.completed = found != tracker.completed_map.end() && found->second;
    }
    if (SameEntries(tracker.achievements, reload.achievements)) return true;
    KeepCompletedLines(tracker);
    tracker.goal_watches = MoveWatches(tracker, reload.achievements);
    tracker.achievements = std::move(reload.achievements);
    tracker.FillLists();
    return true;
}

std::u16string ListedId(AchievementTracker& tracker, bool completed, std::size_t index) {
    std::lock_guard<std::mutex> lock(tracker.list_ids_mutex);
    const std::vector<std::u16string>& ids =
        completed ? tracker.completed_ids : tracker.pending_ids;
    return index < ids.size() ? ids[index] : std::u16string();
}

std::vector<Achievement> ConfiguredEntries(const AchievementTracker& tracker) {
    std::vector<Achievement> entries;
    entries.reserve(tracker.achievements.size());
    for (const Achievement& achievement : tracker.achievements) {
        entries.push_back(achievement);
        entries.back().completed = false;
    }
    return entries;
}
