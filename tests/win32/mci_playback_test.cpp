// MP3 unlock sounds through real WinMM: each play's device is opened, polled and closed on its
// own watcher, so none stays open; a long sound is cut off after about five seconds; the alias
// counter wraps and the 102nd play gets myaudio1 again. The sounds are written next to this
// program at build time by scripts/make_assets.py --test-sounds.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "model/data_paths.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "sound/mci_sound.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::u16string Sound(const std::u16string& name) {
    return ExecutableDirectory(platform::ModulePath()) + u"\\sounds\\" + name;
}

// Open devices of a type ("all", "waveaudio"), as MCI counts them for the whole process.
unsigned OpenCount(const std::u16string& type) {
    std::u16string reply;
    if (platform::SendMciCommand(u"sysinfo " + type + u" quantity open", &reply) != 0) return 0;
    return static_cast<unsigned>(std::stoul(std::string(reply.begin(), reply.end())));
}

std::vector<std::u16string> OpenAliases() {
    std::vector<std::u16string> aliases;
    const unsigned count = OpenCount(u"all");
    for (unsigned n = 1; n <= count; ++n) {
        std::u16string reply;
        const std::string digits = std::to_string(n);
        const std::u16string number(digits.begin(), digits.end());
        if (platform::SendMciCommand(u"sysinfo all name " + number + u" open", &reply) == 0) {
            aliases.push_back(reply);
        }
    }
    std::sort(aliases.begin(), aliases.end());
    return aliases;
}

bool NoneOpen() {
    return OpenCount(u"all") == 0;
}

bool IsOpen(const std::u16string& alias) {
    const std::vector<std::u16string> open = OpenAliases();
    return std::find(open.begin(), open.end(), alias) != open.end();
}

template <typename Condition>
bool WaitUntil(Clock::time_point deadline, Condition condition) {
    while (!condition()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(milliseconds(20));
    }
    return true;
}

std::string Names(const std::vector<std::u16string>& aliases) {
    std::string names;
    for (const std::u16string& alias : aliases)
        names += std::string(alias.begin(), alias.end()) + " ";
    return names;
}

// Follows the device of a long sound: it opens on the expected device, is still open (so
// playing) 3 s later, and is closed about 5 s after it opened, the watcher's limit. MCI lists
// an alias while a device type is still trying it, hence the wait for the device count.
void ExpectCutOffAfterFiveSeconds(const std::u16string& alias, unsigned wave_devices) {
    ASSERT_TRUE(WaitUntil(Clock::now() + std::chrono::seconds(8),
                          [&] { return IsOpen(alias) && OpenCount(u"waveaudio") == wave_devices; }))
        << "never open on the expected device; open: " << Names(OpenAliases());
    const Clock::time_point opened = Clock::now();
    std::this_thread::sleep_until(opened + std::chrono::seconds(3));
    EXPECT_TRUE(IsOpen(alias)) << "stopped early: it never played";
    ASSERT_TRUE(WaitUntil(opened + std::chrono::seconds(10), [&] { return !IsOpen(alias); }))
        << "still open 10 s after it opened";
    EXPECT_GE(Clock::now() - opened, milliseconds(4500));
}

class MciPlayback : public ::testing::Test {
  protected:
    void SetUp() override {
        g_mciAliasCounter = 0;
        ASSERT_TRUE(OpenAliases().empty()) << "left open before: " << Names(OpenAliases());
    }
    void TearDown() override {
        // Leaked devices would otherwise fail the next test too.
        const bool closed = WaitUntil(Clock::now() + std::chrono::seconds(15), NoneOpen);
        EXPECT_TRUE(closed) << "left open: " << Names(OpenAliases());
    }
};

TEST_F(MciPlayback, WaveDataFallsBackToTheWaveDeviceUnderTheSameAlias) {
    ASSERT_TRUE(PlayMciSound(Sound(u"wave_long.mp3")));
    ExpectCutOffAfterFiveSeconds(u"myaudio1", 1);
}

TEST_F(MciPlayback, Mp3OnTheMpegDevice105PlaysLeaveNothingOpenAndThe102ndIsMyaudio1Again) {
    for (int play = 1; play <= 101; ++play) {
        ASSERT_TRUE(PlayMciSound(Sound(u"mpeg_short.mp3"))) << "play " << play;
    }
    ASSERT_TRUE(WaitUntil(Clock::now() + std::chrono::seconds(5), [] { return !NoneOpen(); }))
        << "no short play opened";
    ASSERT_TRUE(WaitUntil(Clock::now() + std::chrono::seconds(90), NoneOpen))
        << "left open after 101 short plays: " << Names(OpenAliases());

    ASSERT_TRUE(PlayMciSound(Sound(u"mpeg_long.mp3")));
    for (int play = 103; play <= 105; ++play) {
        ASSERT_TRUE(PlayMciSound(Sound(u"mpeg_short.mp3"))) << "play " << play;
    }
    EXPECT_EQ(g_mciAliasCounter, 4);
    ExpectCutOffAfterFiveSeconds(u"myaudio1", 0);
}

}  // namespace
