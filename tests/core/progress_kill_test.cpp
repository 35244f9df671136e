// Killing the program in the middle of a save must never cost saved progress: whatever the
// moment, the progress file holds one complete state, never an empty or partial one.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "progress/progress_format.h"
#include "tests/files/progress_test_folder.h"
#include "tests/tools/progress_states.h"
#include "text/utf8.h"

extern char** environ;

namespace {

// Starts the saver with its stdout on a pipe and waits for its "about to start" byte.
pid_t StartSaver(const std::string& module_path) {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
    std::string program = LAURELIGHT_PROGRESS_SAVER;
    std::string argument = module_path;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_ends[1]);
    char ready = 0;
    const bool started = spawned == 0 && read(pipe_ends[0], &ready, 1) == 1;
    close(pipe_ends[0]);
    return started ? pid : -1;
}

}  // namespace

TEST(ProgressKill, FileAlwaysHoldsOneCompleteState) {
    ProgressTestFolder folder;
    std::vector<Achievement> records = KillTestAchievements();
    SetKillTestState(records, 0);
    const std::string short_state = SerializeProgress(records);
    SetKillTestState(records, 1);
    const std::string long_state = SerializeProgress(records);
    ASSERT_GT(long_state.size(), 20 * short_state.size());

    folder.Write("adv_save.txt", short_state);
    const std::string module_path = Utf16ToUtf8(folder.ModulePath());

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    int max_delay_us = 20000;
    constexpr int KILLS = 240;
    int short_seen = 0, long_seen = 0, temporary_left = 0;
    for (int kill_number = 0; kill_number < KILLS; ++kill_number) {
        const pid_t pid = StartSaver(module_path);
        ASSERT_GT(pid, 0);
        // On a loaded or slow machine the saver may not get through one save within the window:
        // it widens until kills have met both finished and cut-off saves.
        if (kill_number % 40 == 39 && (long_seen == 0 || temporary_left == 0)) {
            max_delay_us = std::min(2 * max_delay_us, 640000);
        }
        const int delay_us = std::uniform_int_distribution<int>(0, max_delay_us)(random);
        std::this_thread::sleep_for(std::chrono::microseconds(delay_us));
        ASSERT_EQ(kill(pid, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        const std::string bytes = folder.Read("adv_save.txt");
        ASSERT_TRUE(bytes == short_state || bytes == long_state)
            << "kill " << kill_number << " (seed " << seed << ") left " << bytes.size() << " bytes";
        (bytes == short_state ? short_seen : long_seen) += 1;
        if (folder.HasTemporaryFile()) ++temporary_left;
    }
    std::printf(
        "%d kills: short state %d, long state %d, interrupted saves (temporary left) %d, "
        "widest wait %d ms\n",
        KILLS, short_seen, long_seen, temporary_left, max_delay_us / 1000);
    // The kills really fell on saves: some had finished (the long state is written first), some
    // were cut off between writing the temporary file and renaming it.
    EXPECT_GT(long_seen, 0);
    EXPECT_GT(temporary_left, 0);
}
