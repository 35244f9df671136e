// The monitor thread: a check pass, then a 500 ms sleep, for as long as `running` holds.
// The UI timer runs passes of its own; pass_mutex keeps the two apart.

#include <system_error>

#include "platform/desktop.h"
#include "tracker/tracker.h"

void MonitorLoop(AchievementTracker* tracker) {
    while (tracker->running.load()) {
        tracker->CheckTriggers();
        platform::SleepMilliseconds(MONITOR_INTERVAL_MS);
    }
}

void AchievementTracker::StartMonitoring() {
    if (running.exchange(true)) return;
    try {
        monitor_thread = std::thread(MonitorLoop, this);
    } catch (const std::system_error&) {
        // No thread to be had: the timer passes still find every trigger, only later.
        running.exchange(false);
    }
}

// On the UI thread a running pass may be waiting for that very thread (list refills,
// title reads), so the join keeps serving what other threads send to it.
void AchievementTracker::StopMonitoring() {
    running.exchange(false);
    if (monitor_thread.joinable()) platform::JoinServingSentMessages(monitor_thread);
}
