#pragma once
// The unlock sound: bin\adv_sound.wav if present, else bin\adv_sound.mp3 through MCI on a
// short-lived watcher thread that opens, plays and closes its alias, else the default beep.

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#include "tracker/data_paths.h"

constexpr int MCI_STATUS_POLLS = 50;
constexpr unsigned MCI_POLL_INTERVAL_MS = 100;
constexpr std::int32_t MCI_ALIAS_LIMIT = 100;

// Last alias number handed out; UI thread only.
extern std::int32_t g_mciAliasCounter;

// Plays the sound found beside the running executable.
void PlayUnlockSound();
// The same choice for the files under directory + "\bin\".
void PlayUnlockSoundIn(const std::u16string& directory);

// Forms a fresh alias and hands the file to a detached watcher, which opens, plays and
// closes it. MCI answers an alias only on the thread that opened it, so the whole life of the
// device stays on that one thread, and the UI thread waits for none of it. False when the file
// is absent or no watcher could be started (then nothing was opened).
bool PlayMciSound(const std::u16string& path, unsigned poll_interval_ms = MCI_POLL_INTERVAL_MS);

// Body of the watcher: opens the file under the alias (MPEG first, then wave; neither: gives
// up), plays it and hands on to WatchMciPlayback.
void RunMciPlayback(std::u16string path, std::u16string alias,
                    unsigned poll_interval_ms = MCI_POLL_INTERVAL_MS);

// Polls the mode until stopped/not ready or MCI_STATUS_POLLS polls, then closes the alias.
// Runs on the thread that opened the alias.
void WatchMciPlayback(std::u16string alias, unsigned poll_interval_ms = MCI_POLL_INTERVAL_MS);

std::u16string MciAlias(std::int32_t number);
std::u16string MciOpenCommand(const std::u16string& path, std::u16string_view device_type,
                              const std::u16string& alias);
std::u16string MciPlayCommand(const std::u16string& alias);
std::u16string MciStatusCommand(const std::u16string& alias);
std::u16string MciCloseCommand(const std::u16string& alias);

// Starts the watcher on a detached Thread. Nothing is open yet, so a thread that cannot be
// had just means no sound.
template <typename Thread = std::thread>
bool StartMciWatcher(const std::u16string& path, const std::u16string& alias,
                     unsigned poll_interval_ms) {
    try {
        Thread(RunMciPlayback, path, alias, poll_interval_ms).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}
