// The monitor thread: a check pass, then a 500 ms wait, for as long as `running` holds. The
// UI timer's passes run here too, so that no pass, save or file read holds up the window: a
// tick's request cuts the wait short, but never below SHORTEST_PAUSE. Without that pause, passes
// longer than the tick would follow each other without end: a core taken whole, and a
// hand-off from laurelight-check, which waits for a moment without a pass, starved.
// While paused it waits without waking, at no cost, until resumed or stopped.

#include <chrono>
#include <mutex>
#include <system_error>
#include <utility>

#include "platform/desktop.h"
#include "tracker/tracker.h"

namespace {

constexpr std::chrono::milliseconds POLL_INTERVAL{MONITOR_INTERVAL_MS};
constexpr std::chrono::milliseconds SHORTEST_PAUSE{100};

// Every pass does what a timer pass did, so the pass about to run answers any request.
void TakeTimerRequest(AchievementTracker& tracker) {
    std::lock_guard<std::mutex> lock(tracker.schedule_mutex);
    tracker.timer_pass_requested = false;
}

void WaitWhilePaused(AchievementTracker& tracker) {
    std::unique_lock<std::mutex> lock(tracker.schedule_mutex);
    tracker.schedule_changed.wait(
        lock, [&tracker] { return !tracker.paused.load() || !tracker.running.load(); });
}

void WaitForNextPass(AchievementTracker& tracker) {
    std::unique_lock<std::mutex> lock(tracker.schedule_mutex);
    const auto stopped = [&tracker] { return !tracker.running.load(); };
    if (tracker.schedule_changed.wait_for(lock, SHORTEST_PAUSE, stopped)) return;
    tracker.schedule_changed.wait_for(lock, POLL_INTERVAL - SHORTEST_PAUSE,
                                      [&] { return tracker.timer_pass_requested || stopped(); });
}

}  // namespace

void MonitorLoop(AchievementTracker* tracker) {
    while (tracker->running.load()) {
        WaitWhilePaused(*tracker);
        TakeTimerRequest(*tracker);
        tracker->CheckTriggers();
        WaitForNextPass(*tracker);
    }
}

void AchievementTracker::StartMonitoring() {
    if (running.exchange(true)) return;
    try {
        monitor_thread = std::thread(MonitorLoop, this);
    } catch (const std::system_error&) {
        // No thread to be had: the timer passes run on the UI thread and still find every
        // trigger, only later.
        running.exchange(false);
    }
}

// On the UI thread a running pass may be waiting for that very thread (list refills,
// title reads), so the join keeps serving what other threads send to it. A waiting thread
// is woken, so the stop takes no longer than the pass in progress.
void AchievementTracker::StopMonitoring() {
    {
        std::lock_guard<std::mutex> lock(schedule_mutex);
        running.exchange(false);
    }
    schedule_changed.notify_all();
    if (monitor_thread.joinable()) platform::JoinServingSentMessages(monitor_thread);
}

bool AchievementTracker::RequestTimerPass() {
    {
        std::lock_guard<std::mutex> lock(schedule_mutex);
        if (!running.load()) return false;
        timer_pass_requested = true;
    }
    schedule_changed.notify_all();
    return true;
}

void AchievementTracker::SetPaused(bool pause) {
    {
        std::lock_guard<std::mutex> lock(schedule_mutex);
        paused.exchange(pause);
        if (!pause) timer_pass_requested = true;
    }
    schedule_changed.notify_all();
}
