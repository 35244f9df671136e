// One check pass over open achievements that do not unlock (the steady state of a running
// program), and the list refill that every unlock does, both against the test double.

#include <benchmark/benchmark.h>

#include <string_view>
#include <vector>

#include "bench/bench_data.h"
#include "platform/desktop.h"
#include "tests/fake/fake_platform.h"
#include "tracker/tracker.h"

namespace {

constexpr std::size_t PROCESS_COUNT = 300;
constexpr std::size_t WINDOW_COUNT = 50;

void RunCheckPasses(benchmark::State& state, std::vector<Achievement> records) {
    const auto count = static_cast<std::size_t>(state.range(0));
    bench::ServeDesktopFacts(PROCESS_COUNT, WINDOW_COUNT);
    AchievementTracker tracker(nullptr, u"/nonexistent/Laurelight.exe");
    tracker.achievements = std::move(records);
    for (auto _ : state) {
        tracker.CheckTriggers();
    }
    // Every record must have walked the facts to the end, and none unlocked.
    const auto walks = static_cast<std::size_t>(Fake().process_walks + Fake().title_walks);
    if (walks != count * static_cast<std::size_t>(state.iterations()) || !Fake().posts.empty()) {
        state.SkipWithError("the pass did not test every record exactly once");
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["per_record"] = benchmark::Counter(
        static_cast<double>(count),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_CheckPass(benchmark::State& state) {
    RunCheckPasses(state, bench::OpenAchievements(static_cast<std::size_t>(state.range(0))));
}
BENCHMARK(BM_CheckPass)
    ->RangeMultiplier(10)
    ->Range(10, 1000)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);

// The same with a goal on half the records, process names and window titles alike: what
// counting adds to a pass that finds nothing.
void BM_CheckPassHalfWithGoals(benchmark::State& state) {
    constexpr std::u16string_view GOALS[] = {u"10 starts", u"600 minutes", u"5 days"};
    std::vector<Achievement> records =
        bench::OpenAchievements(static_cast<std::size_t>(state.range(0)));
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i % 4 < 2) records[i].trigger_goal = GOALS[i / 4 % 3];
    }
    RunCheckPasses(state, std::move(records));
}
BENCHMARK(BM_CheckPassHalfWithGoals)
    ->RangeMultiplier(10)
    ->Range(10, 1000)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);

// What the double alone costs per record: one full walk of the processes and one of the
// titles, halved, since records alternate between the two. Subtract it from per_record above
// for the matching cost of the core itself.
bool NeverStop(std::u16string_view text, void* context) {
    *static_cast<std::size_t*>(context) += text.size();
    return false;
}

void BM_DoubleWalks(benchmark::State& state) {
    bench::ServeDesktopFacts(PROCESS_COUNT, WINDOW_COUNT);
    std::size_t seen = 0;
    for (auto _ : state) {
        platform::VisitProcessNames(NeverStop, &seen);
        platform::VisitVisibleWindowTitles(NeverStop, &seen);
    }
    benchmark::DoNotOptimize(seen);
    state.counters["per_record"] = benchmark::Counter(
        2, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DoubleWalks)->Unit(benchmark::kMicrosecond);

void BM_FillLists(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    ResetFake();
    AchievementTracker tracker(nullptr, u"/nonexistent/Laurelight.exe");
    tracker.completed_list = reinterpret_cast<void*>(0x1001);
    tracker.pending_list = reinterpret_cast<void*>(0x1002);
    tracker.achievements = bench::OpenAchievements(count);
    for (std::size_t i = 0; i < count; i += 3) tracker.achievements[i].completed = true;
    for (auto _ : state) {
        tracker.FillLists();
        // The double records every call; keep that log from growing over the run.
        state.PauseTiming();
        Fake().list_calls.clear();
        state.ResumeTiming();
    }
    const std::size_t shown = Fake().lists[tracker.completed_list.handle].size() +
                              Fake().lists[tracker.pending_list.handle].size();
    if (shown != count) state.SkipWithError("the lists do not hold every achievement");
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FillLists)
    ->RangeMultiplier(10)
    ->Range(100, 10000)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
