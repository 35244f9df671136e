#include "sound/mci_sound.h"

#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/audio.h"
#include "platform/desktop.h"  // SleepMilliseconds
#include "platform/files.h"

std::int32_t g_mciAliasCounter = 0;

namespace {

constexpr std::int32_t MCI_ALIAS_LIMIT = 100;

// Watchers open and close one device at a time: Wine's DirectShow fails or crashes when several
// threads build or tear down their graphs at once (its device enumerator rewrites its registry
// keys meanwhile). Never destroyed: detached watchers may still take it while the program
// exits and its statics are torn down.
std::mutex& MciDeviceLock() {
    static std::mutex* const lock = new std::mutex;
    return *lock;
}

bool OpenMciSound(const std::u16string& path, const std::u16string& alias) {
    std::lock_guard lock(MciDeviceLock());
    return platform::SendMciCommand(MciOpenCommand(path, u"mpegvideo", alias), nullptr) == 0 ||
           platform::SendMciCommand(MciOpenCommand(path, u"waveaudio", alias), nullptr) == 0;
}

// Body of the watcher.
void RunMciPlayback(std::u16string path, std::u16string alias, unsigned poll_interval_ms) {
    if (!OpenMciSound(path, alias)) return;
    platform::SendMciCommand(MciPlayCommand(alias), nullptr);
    WatchMciPlayback(std::move(alias), poll_interval_ms);
}

}  // namespace

std::u16string MciAlias(std::int32_t number) {
    const std::string digits = std::to_string(number);
    return u"myaudio" + std::u16string(digits.begin(), digits.end());
}

std::u16string MciOpenCommand(const std::u16string& path, std::u16string_view device_type,
                              const std::u16string& alias) {
    std::u16string command = u"open \"" + path + u"\" type ";
    command += device_type;
    return command + u" alias " + alias;
}

std::u16string MciPlayCommand(const std::u16string& alias) {
    return u"play " + alias;
}
std::u16string MciStatusCommand(const std::u16string& alias) {
    return u"status " + alias + u" mode";
}
std::u16string MciCloseCommand(const std::u16string& alias) {
    return u"close " + alias;
}

bool PlayMciSound(const std::u16string& path, unsigned poll_interval_ms) {
    if (!platform::FileExists(path)) return false;

    ++g_mciAliasCounter;
    const std::u16string alias = MciAlias(g_mciAliasCounter);
    if (g_mciAliasCounter > MCI_ALIAS_LIMIT) g_mciAliasCounter = 0;
    // Nothing is open yet, so a thread that cannot be had just means no sound.
    try {
        std::thread(RunMciPlayback, path, alias, poll_interval_ms).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void WatchMciPlayback(std::u16string alias, unsigned poll_interval_ms) {
    const std::u16string status = MciStatusCommand(alias);
    std::u16string reply;
    for (int poll = 0; poll < MCI_STATUS_POLLS; ++poll) {
        if (platform::SendMciCommand(status, &reply) == 0 &&
            (reply == u"stopped" || reply == u"not ready")) {
            break;
        }
        platform::SleepMilliseconds(poll_interval_ms);
    }
    std::lock_guard lock(MciDeviceLock());
    platform::SendMciCommand(MciCloseCommand(alias), nullptr);
}
