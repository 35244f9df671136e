// What the start-up loads and each unlock's save cost, through the tracker's own operations
// and the real file system.

#include <benchmark/benchmark.h>

#include "bench/bench_data.h"
#include "progress/progress_format.h"
#include "tests/fake/fake_platform.h"
#include "tests/files/progress_test_folder.h"
#include "tracker/tracker.h"

namespace {

void BM_LoadConfig(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    ResetFake();
    ProgressTestFolder folder;
    folder.Write("bin/adv.json", bench::ConfigText(count));
    AchievementTracker tracker(nullptr, folder.ModulePath());
    for (auto _ : state) {
        benchmark::DoNotOptimize(tracker.LoadConfig());
    }
    // A load that fails measures the error path; refuse to report it.
    if (tracker.achievements.size() != count)
        state.SkipWithError("configuration did not load fully");
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadConfig)
    ->RangeMultiplier(10)
    ->Range(100, 10000)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);

void BM_LoadProgress(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    ProgressTestFolder folder;
    folder.Write("adv_save.txt", bench::ProgressText(count));
    AchievementTracker tracker(nullptr, folder.ModulePath());
    tracker.achievements = bench::OpenAchievements(count);
    for (auto _ : state) {
        tracker.LoadProgress();
        benchmark::DoNotOptimize(tracker.completed_map);
    }
    for (const Achievement& record : tracker.achievements) {
        if (!record.completed) {
            state.SkipWithError("progress did not load fully");
            break;
        }
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadProgress)
    ->RangeMultiplier(10)
    ->Range(100, 10000)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);

// A save writes a temporary file, flushes it to the disk and renames it over the old one.
void BM_SaveProgress(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    ProgressTestFolder folder;
    AchievementTracker tracker(nullptr, folder.ModulePath());
    tracker.achievements = bench::OpenAchievements(count);
    for (Achievement& record : tracker.achievements) record.completed = true;
    for (auto _ : state) {
        tracker.SaveProgress();
    }
    tracker.LoadProgress();
    if (tracker.completed_map.size() != count) state.SkipWithError("progress was not saved");
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveProgress)
    ->RangeMultiplier(10)
    ->Range(100, 10000)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);

// The bytes of a save alone, without the disk: shows how much of a save is the flush.
void BM_SerializeProgress(benchmark::State& state) {
    std::vector<Achievement> records =
        bench::OpenAchievements(static_cast<std::size_t>(state.range(0)));
    for (Achievement& record : records) record.completed = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SerializeProgress(records));
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SerializeProgress)
    ->RangeMultiplier(10)
    ->Range(100, 10000)
    ->Complexity()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
