#pragma once
// Test double of the desktop and audio seams: serves scripted facts and records what it
// was asked. Linked in place of the Win32 implementation; files stay real (temp folders).
// It also stands in front of pthread_create, so that a test can refuse threads.

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/desktop.h"

struct FakePost {
    void* window;
    unsigned message;
    std::uintptr_t wparam;
    std::intptr_t lparam;
};

struct FakeMciCall {
    std::u16string command;
    bool wants_reply;
    std::thread::id thread;  // MCI binds an alias to the thread that opened it
};

struct FakePlatform {
    std::mutex mutex;  // guards everything below; the double is used from several threads

    // Scripted facts.
    std::vector<std::u16string> process_names;
    std::vector<std::uint32_t> process_ids;  // beside process_names; missing ones are 1000 + index
    std::vector<std::u16string> window_titles;  // visible windows, as the platform reports them
    std::map<std::u16string, unsigned> window_cloaks;  // title -> cloak flags (default 0)
    std::vector<std::u16string> process_paths;  // beside process_names; missing ones are empty
    std::map<std::u16string, std::uint32_t> window_processes;  // title -> process id (default 0)
    bool post_succeeds = true;
    platform::UserPresence presence;
    platform::LocalTime local_time{2024, 5, 1, 12, 0, 0};
    platform::UserNotificationState notification_state =
        platform::UserNotificationState::AcceptsNotifications;
    // A 1920 x 1080 primary screen with the taskbar along its bottom; no foreground window.
    platform::ScreenFacts primary_screen{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96};
    std::optional<platform::ScreenFacts> foreground_screen;
    // While set, creating a thread fails as on an exhausted system (std::system_error).
    std::atomic<bool> refuse_threads{false};
    std::map<std::u16string, unsigned> mci_results;        // command -> error code (default 0)
    std::map<std::u16string, std::u16string> mci_replies;  // command -> reply text

    // Recorded calls.
    int process_walks = 0;
    int title_walks = 0;
    int notification_queries = 0;
    int calls = 0;  // every call into the desktop or audio seam
    std::vector<std::u16string> error_messages;
    std::vector<std::pair<void*, std::u16string>> list_calls;  // text "<reset>" for a reset
    std::map<void*, std::vector<std::u16string>> lists;        // current content per list
    int list_replacements = 0;
    std::vector<FakePost> posts;
    std::vector<std::u16string> played_waves;
    std::vector<FakeMciCall> mci_calls;
    int beeps = 0;
    int sleeps = 0;
};

// The one double of the process. Reset() between tests.
FakePlatform& Fake();
void ResetFake();
