#pragma once
// The unlock sound: bin\adv_sound.wav if present, else bin\adv_sound.mp3 through MCI with a
// short-lived watcher thread that closes its alias, else the default beep.

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

// Opens the file under a fresh alias (MPEG first, then wave), plays it and leaves the close
// to a detached watcher. False when the file is absent, no device opens it, or the watcher
// could not be started (the alias is then closed at once).
bool PlayMciSound(const std::u16string& path, unsigned poll_interval_ms = MCI_POLL_INTERVAL_MS);

// Body of the watcher: polls the mode until stopped/not ready or MCI_STATUS_POLLS polls,
// then closes the alias.
void WatchMciPlayback(std::u16string alias, unsigned poll_interval_ms = MCI_POLL_INTERVAL_MS);

std::u16string MciAlias(std::int32_t number);
std::u16string MciOpenCommand(const std::u16string& path, std::u16string_view device_type,
                              const std::u16string& alias);
std::u16string MciPlayCommand(const std::u16string& alias);
std::u16string MciStatusCommand(const std::u16string& alias);
std::u16string MciCloseCommand(const std::u16string& alias);

void CloseMciAlias(const std::u16string& alias);

// Starts the watcher on a detached Thread. When no thread can be had, the alias is closed
// at once: otherwise the device would stay open and block the alias for good.
template <typename Thread = std::thread>
bool StartMciWatcher(const std::u16string& alias, unsigned poll_interval_ms) {
    try {
        Thread(WatchMciPlayback, alias, poll_interval_ms).detach();
        return true;
    } catch (const std::system_error&) {
        CloseMciAlias(alias);
        return false;
    }
}
