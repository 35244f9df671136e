#pragma once
// What one check of a goal achievement's trigger adds to its count. Pure rules over the facts
// the check saw, so they can be tried without a desktop or a clock.

#include <cstdint>
#include <vector>

#include "config/goal.h"
#include "progress/goal_stats.h"

// The longest time one gap between two checks may count: a longer one means sleep,
// hibernation or a stalled pass, not time spent.
inline constexpr std::int64_t MAX_COUNTED_GAP_MS = 10'000;
// Input within this time, in an unlocked session, makes the user present.
inline constexpr std::uint64_t PRESENCE_IDLE_LIMIT_MS = 5 * 60 * 1000;

inline bool UserAtComputer(std::uint64_t idle_milliseconds, bool session_locked) {
    return !session_locked && idle_milliseconds < PRESENCE_IDLE_LIMIT_MS;
}

// What one check saw of one goal achievement's trigger.
struct GoalSighting {
    bool met = false;
    // For a process_name trigger: ids of the processes of that name, sorted.
    std::vector<std::uint32_t> process_ids;
    std::int64_t at_ms = 0;  // a steady clock's time of the check
    bool user_present = false;
    StatsDay day = 0;  // local calendar day of the check
};

// What the counting keeps of the previous check in this run; never saved.
struct GoalWatch {
    bool checked = false;
    bool was_met = false;
    std::vector<std::uint32_t> process_ids;  // sorted
    std::int64_t last_at_ms = 0;
};

// Counts what this check adds for the goal's unit into `record`, then remembers the check in
// `watch`. Starts: for a process name, each process id not seen at the previous check (the
// first check of a run counts what already runs once); for a window title, a check that finds
// the title after one that did not. Minutes: the time since the previous check while met and
// the user is present, each gap counted up to MAX_COUNTED_GAP_MS. Days: the check's day while
// met. Returns whether `record` changed.
bool CountGoalCheck(GoalUnit unit, TriggerType type, const GoalSighting& seen, GoalWatch& watch,
                    GoalRecord& record);

// How far the record has come towards a goal of this unit: starts, whole minutes or days.
std::uint64_t GoalAmount(GoalUnit unit, const GoalRecord& record);

inline bool GoalReached(const Goal& goal, const GoalRecord& record) {
    return GoalAmount(goal.unit, record) >= goal.target;
}
