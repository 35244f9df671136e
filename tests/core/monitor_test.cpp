// The monitor thread: its schedule, how fast it stops, a refused thread, and passes from
// the thread and a timer-like caller racing over one tracker.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "tests/core/check_fixture.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

template <typename Condition>
bool WaitUntil(Condition done, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

int ProcessWalks() {
    std::lock_guard<std::mutex> lock(Fake().mutex);
    return Fake().process_walks;
}

std::size_t PostCount() {
    std::lock_guard<std::mutex> lock(Fake().mutex);
    return Fake().posts.size();
}

long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::u16string Numbered(const char* prefix, int n, const char* suffix) {
    return Utf8ToUtf16(prefix + std::to_string(n) + suffix);
}

}  // namespace

using Monitor = CheckFixture;

TEST_F(Monitor, StartsOnceRunsAPassAtOnceAndStopsWithinTheSleep) {
    tracker_->achievements = {Record(u"a", u"A", TriggerType::ProcessName, u"absent.exe")};
    tracker_->StartMonitoring();
    ASSERT_TRUE(tracker_->monitor_thread.joinable());
    const std::thread::id first = tracker_->monitor_thread.get_id();
    tracker_->StartMonitoring();
    EXPECT_EQ(tracker_->monitor_thread.get_id(), first);
    EXPECT_TRUE(tracker_->running);
    // A loop that slept before its first pass would need 500 ms.
    EXPECT_TRUE(WaitUntil([] { return ProcessWalks() >= 1; }, 400ms));
    std::this_thread::sleep_for(50ms);

    // The stop wakes the waiting thread instead of letting its 500 ms run out.
    const auto start = Clock::now();
    tracker_->StopMonitoring();
    EXPECT_LT(MillisecondsSince(start), 300);
    EXPECT_FALSE(tracker_->running);
    EXPECT_FALSE(tracker_->monitor_thread.joinable());
    // The thread saw the cleared flag after its sleep and ran no further pass.
    EXPECT_EQ(ProcessWalks(), 1);

    const auto again = Clock::now();
    tracker_->StopMonitoring();
    EXPECT_LT(MillisecondsSince(again), 50);
}

TEST_F(Monitor, RefusedThreadLeavesTimerPassesToDoTheWork) {
    tracker_->achievements = {Record(u"a", u"A", TriggerType::ProcessName, u"calc.exe")};
    Fake().refuse_threads = true;
    tracker_->StartMonitoring();
    Fake().refuse_threads = false;

    EXPECT_FALSE(tracker_->running);
    EXPECT_FALSE(tracker_->monitor_thread.joinable());
    EXPECT_FALSE(tracker_->RequestTimerPass());  // the tick must run its pass itself
    {
        std::lock_guard<std::mutex> lock(Fake().mutex);
        Fake().process_names = {u"calc.exe"};
    }
    EXPECT_TRUE(tracker_->TryCheckTriggers());
    EXPECT_TRUE(tracker_->achievements[0].completed);
    EXPECT_EQ(TakePosts().size(), 1u);
    tracker_->StopMonitoring();
}

// The tick's pass runs on the monitor thread as soon as the wait or the running pass allows,
// after a short pause, and as a timer pass: it takes over what another program completed in
// the file, without a toast.
TEST_F(Monitor, TimerRequestCutsTheWaitShortAndMergesWithOnePending) {
    tracker_->achievements = {Record(u"a", u"A", TriggerType::ProcessName, u"absent.exe"),
                              Record(u"b", u"B", TriggerType::ProcessName, u"absent.exe")};
    tracker_->StartMonitoring();
    ASSERT_TRUE(WaitUntil([] { return ProcessWalks() >= 2; }, 400ms));
    std::this_thread::sleep_for(50ms);
    std::ofstream(folder_ / "adv_save.txt", std::ios::binary) << "b=done\r\n";

    const auto start = Clock::now();
    {
        // Another pass holds the tracker (a hand-off on the UI thread): the woken thread waits
        // for it, and the two requests meanwhile make one more pass.
        std::lock_guard<std::mutex> other_pass(tracker_->pass_mutex);
        EXPECT_TRUE(tracker_->RequestTimerPass());
        ASSERT_TRUE(WaitUntil(
            [this] {
                std::lock_guard<std::mutex> lock(tracker_->schedule_mutex);
                return !tracker_->timer_pass_requested;
            },
            200ms));
        EXPECT_TRUE(tracker_->RequestTimerPass());
        EXPECT_TRUE(tracker_->RequestTimerPass());
    }
    // The flag is the monitor thread's to write; it is read between passes.
    EXPECT_TRUE(WaitUntil(
        [this] {
            std::lock_guard<std::mutex> between_passes(tracker_->pass_mutex);
            return tracker_->achievements[1].completed;
        },
        200ms));
    EXPECT_LT(MillisecondsSince(start), 250);
    // The merged request's pass follows after the shortest pause, the next one only after
    // the 500 ms rhythm.
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ProcessWalks(), 3);
    EXPECT_TRUE(WaitUntil([] { return ProcessWalks() >= 4; }, 250ms));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(ProcessWalks(), 4);
    tracker_->StopMonitoring();

    EXPECT_FALSE(tracker_->RequestTimerPass());
    EXPECT_TRUE(TakePosts().empty());
    EXPECT_EQ(ListContent(COMPLETED_LIST).size(), 1u);
}

// Paused, neither schedule runs a pass: no snapshot, no unlock, no save. Resuming runs one
// at once; pausing again and stopping wake the waiting thread without a pass.
TEST_F(Monitor, PauseHoldsBothSchedulesAndResumeRunsAPassAtOnce) {
    tracker_->achievements = {Record(u"a", u"A", TriggerType::ProcessName, u"calc.exe"),
                              Record(u"b", u"B", TriggerType::ProcessName, u"absent.exe")};
    Fake().process_names = {u"calc.exe"};
    tracker_->SetPaused(true);
    tracker_->StartMonitoring();
    EXPECT_TRUE(tracker_->RequestTimerPass());
    EXPECT_TRUE(tracker_->TryCheckTriggers());  // the fallback tick: nothing runs either
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(ProcessWalks(), 0);
    EXPECT_EQ(PostCount(), 0u);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "adv_save.txt"));

    const auto start = Clock::now();
    tracker_->SetPaused(false);
    EXPECT_TRUE(WaitUntil(
        [this] {
            std::lock_guard<std::mutex> between_passes(tracker_->pass_mutex);
            return tracker_->achievements[0].completed;
        },
        200ms));
    EXPECT_LT(MillisecondsSince(start), 200);
    EXPECT_EQ(ProgressBytes(), "a=done\r\n");

    tracker_->SetPaused(true);
    std::this_thread::sleep_for(600ms);  // the wait under way ends, then no pass follows
    const int walks = ProcessWalks();
    EXPECT_GE(walks, 2);
    std::this_thread::sleep_for(600ms);
    const auto stop = Clock::now();
    tracker_->StopMonitoring();
    EXPECT_LT(MillisecondsSince(stop), 100);
    EXPECT_EQ(ProcessWalks(), walks);
    EXPECT_EQ(TakePosts().size(), 1u);
}

TEST_F(Monitor, TwoSchedulesCompleteAndPostEveryRecordExactlyOnce) {
    constexpr int RECORDS = 24;
    for (int i = 0; i < RECORDS; ++i) {
        const std::u16string id = Numbered("r", i, "");
        tracker_->achievements.push_back(
            i % 2 == 0 ? Record(id, id, TriggerType::ProcessName, Numbered("tool", i, ".exe"))
                       : Record(id, id, TriggerType::WindowTitle,
                                Numbered("|[never", i, "]|") + Numbered("[w", i, "]")));
    }

    tracker_->StartMonitoring();
    std::atomic<bool> stop_timer{false};
    std::atomic<int> timer_passes{0};
    std::thread timer([&] {
        while (!stop_timer) {
            if (tracker_->TryCheckTriggers()) ++timer_passes;
            tracker_->RequestTimerPass();
            std::this_thread::sleep_for(3ms);
        }
    });
    for (int i = 0; i < RECORDS; ++i) {
        {
            std::lock_guard<std::mutex> lock(Fake().mutex);
            if (i % 2 == 0) {
                Fake().process_names.push_back(Numbered("TOOL", i, ".EXE"));
            } else {
                Fake().window_titles.push_back(Numbered("Editor [w", i, "] - App"));
            }
        }
        std::this_thread::sleep_for(40ms);
    }
    const bool all_posted = WaitUntil([] { return PostCount() >= RECORDS; }, 3000ms);
    stop_timer = true;
    timer.join();
    tracker_->StopMonitoring();

    EXPECT_TRUE(all_posted);
    EXPECT_GT(timer_passes.load(), 0);
    std::map<std::u16string, int> posted;
    for (const auto& record : TakePosts()) ++posted[record->id];
    EXPECT_EQ(posted.size(), static_cast<std::size_t>(RECORDS));
    std::string expected_file;
    for (const Achievement& record : tracker_->achievements) {
        EXPECT_TRUE(record.completed) << Utf16ToUtf8(record.id);
        EXPECT_EQ(posted[record.id], 1) << Utf16ToUtf8(record.id);
        EXPECT_TRUE(tracker_->completed_map[record.id]);
        expected_file += Utf16ToUtf8(record.id) + "=done\r\n";
    }
    EXPECT_EQ(tracker_->completed_map.size(), static_cast<std::size_t>(RECORDS));
    EXPECT_EQ(ProgressBytes(), expected_file);
    EXPECT_EQ(ListContent(COMPLETED_LIST).size(), static_cast<std::size_t>(RECORDS));
    EXPECT_TRUE(ListContent(PENDING_LIST).empty());
}
