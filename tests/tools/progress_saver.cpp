// Saves the progress file over and over, alternating between two states, until it is killed.
// A save that finds the file changed by another writer merges (completions are only added), so
// a short state may come out long: the kill test accepts either.
// Usage: progress_saver <module path>. Writes one byte to stdout once it is about to start.

#include <cstdio>

#include "tests/tools/progress_states.h"
#include "text/utf8.h"
#include "tracker/tracker.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    AchievementTracker tracker(nullptr, Utf8ToUtf16(argv[1]));
    tracker.achievements = KillTestAchievements();
    std::fputc('!', stdout);
    std::fflush(stdout);
    for (int state = 1;; state = 1 - state) {
        SetKillTestState(tracker.achievements, state);
        tracker.SaveProgress();
    }
}
