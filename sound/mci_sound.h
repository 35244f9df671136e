#pragma once
// MP3 through MCI for the unlock sound: each play gets a fresh alias and a short-lived
// detached watcher that opens, plays and closes it. MCI answers an alias only on the thread
// that opened it, so the whole life of the device stays on that one thread, and the UI thread
// waits for none of it.

#include <cstdint>
#include <string>
#include <string_view>

constexpr int MCI_STATUS_POLLS = 50;
constexpr unsigned MCI_POLL_INTERVAL_MS = 100;

// Last alias number handed out; UI thread only.
extern std::int32_t g_mciAliasCounter;

// Forms a fresh alias and hands the file to a detached watcher, which opens it (MPEG first,
// then wave; neither: gives up), plays it and hands on to WatchMciPlayback. False when the
// file is absent or no watcher could be started (then nothing was opened).
bool PlayMciSound(const std::u16string& path, unsigned poll_interval_ms = MCI_POLL_INTERVAL_MS);

// Polls the mode until stopped/not ready or MCI_STATUS_POLLS polls, then closes the alias.
// Runs on the thread that opened the alias.
void WatchMciPlayback(std::u16string alias, unsigned poll_interval_ms = MCI_POLL_INTERVAL_MS);

std::u16string MciAlias(std::int32_t number);
std::u16string MciOpenCommand(const std::u16string& path, std::u16string_view device_type,
                              const std::u16string& alias);
std::u16string MciPlayCommand(const std::u16string& alias);
std::u16string MciStatusCommand(const std::u16string& alias);
std::u16string MciCloseCommand(const std::u16string& alias);
