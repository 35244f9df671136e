#include "tracker/goal_counting.h"

#include <algorithm>

namespace {

std::uint64_t NewProcesses(const std::vector<std::uint32_t>& before,
                           const std::vector<std::uint32_t>& now) {
    std::uint64_t count = 0;
    for (const std::uint32_t id : now) {
        if (!std::binary_search(before.begin(), before.end(), id)) ++count;
    }
    return count;
}

std::uint64_t StartsSeen(TriggerType type, const GoalSighting& seen, const GoalWatch& watch) {
    if (!seen.met) return 0;
    if (!watch.checked) return 1;
    if (type == TriggerType::ProcessName) return NewProcesses(watch.process_ids, seen.process_ids);
    return watch.was_met ? 0 : 1;
}

std::uint64_t MillisecondsSeen(const GoalSighting& seen, const GoalWatch& watch) {
    if (!seen.met || !seen.user_present || !watch.checked) return 0;
    const std::int64_t gap =
        std::clamp<std::int64_t>(seen.at_ms - watch.last_at_ms, 0, MAX_COUNTED_GAP_MS);
    return static_cast<std::uint64_t>(gap);
}

}  // namespace

bool CountGoalCheck(GoalUnit unit, TriggerType type, const GoalSighting& seen, GoalWatch& watch,
                    GoalRecord& record) {
    bool changed = false;
    switch (unit) {
        case GoalUnit::Starts: {
            const std::uint64_t starts = StartsSeen(type, seen, watch);
            record.starts = std::min(record.starts + starts, MAX_STATS_STARTS);
            changed = starts != 0;
            break;
        }
        case GoalUnit::Minutes: {
            const std::uint64_t added = MillisecondsSeen(seen, watch);
            record.milliseconds = std::min(record.milliseconds + added, MAX_STATS_SECONDS * 1000);
            changed = added != 0;
            break;
        }
        case GoalUnit::Days:
            changed = seen.met && record.days.insert(seen.day).second;
            break;
    }
    watch = {true, seen.met, seen.process_ids, seen.at_ms};
    return changed;
}

std::uint64_t GoalAmount(GoalUnit unit, const GoalRecord& record) {
    switch (unit) {
        case GoalUnit::Starts:
            return record.starts;
        case GoalUnit::Minutes:
            return record.milliseconds / 60'000;
        case GoalUnit::Days:
            return record.days.size();
    }
    return 0;
}
