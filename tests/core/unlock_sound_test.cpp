// The unlock sound's choice of file, its MCI commands and aliases, and the watcher.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "model/data_paths.h"
#include "notify/toast_content.h"
#include "sound/mci_sound.h"
#include "sound/unlock_sound.h"
#include "tests/fake/fake_platform.h"
#include "tests/files/progress_test_folder.h"
#include "text/utf8.h"

namespace {

namespace fs = std::filesystem;

// Puts a sound file into the folder's bin\.
void PutSound(const ProgressTestFolder& folder, const char* name) {
    folder.Write(std::string("bin/") + name, "RIFF");
}
// The path the program forms for a file in the folder's bin\.
std::u16string SoundPath(const ProgressTestFolder& folder, const char* name) {
    return folder.path().u16string() + u"\\bin\\" + Utf8ToUtf16(name);
}

std::vector<std::u16string> MciCommands() {
    std::lock_guard lock(Fake().mutex);
    std::vector<std::u16string> commands;
    for (const FakeMciCall& call : Fake().mci_calls) commands.push_back(call.command);
    return commands;
}

std::size_t CountCommandsStartingWith(std::u16string_view prefix) {
    std::size_t count = 0;
    for (const std::u16string& command : MciCommands()) {
        if (command.compare(0, prefix.size(), prefix) == 0) ++count;
    }
    return count;
}

// Detached watchers use the double; no test may end (and reset it) before they are done.
bool WaitForCommands(std::u16string_view prefix, std::size_t expected) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (CountCommandsStartingWith(prefix) < expected) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
bool WaitForCloses(std::size_t expected) {
    return WaitForCommands(u"close ", expected);
}

// Every command naming the alias came from one thread, and not from the caller's (the UI
// thread's): MCI answers an alias only on the thread that opened it.
bool AliasOwnedByOneWatcher(const std::u16string& alias) {
    std::lock_guard lock(Fake().mutex);
    std::vector<std::thread::id> threads;
    for (const FakeMciCall& call : Fake().mci_calls) {
        const std::size_t at = call.command.find(alias);
        const std::size_t end = at + alias.size();
        if (at != std::u16string::npos &&
            (end == call.command.size() || call.command[end] == u' ')) {
            threads.push_back(call.thread);
        }
    }
    return !threads.empty() && threads[0] != std::this_thread::get_id() &&
           std::count(threads.begin(), threads.end(), threads[0]) ==
               static_cast<std::ptrdiff_t>(threads.size());
}

void ReplyStoppedFor(int first, int last) {
    for (int n = first; n <= last; ++n) {
        Fake().mci_replies[u"status " + MciAlias(n) + u" mode"] = u"stopped";
    }
}

class UnlockSound : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFake();
        g_mciAliasCounter = 0;
    }
};

}  // namespace

TEST(ExecutableDirectoryTest, CutsAtTheLastSeparatorOfEitherKind) {
    EXPECT_EQ(ExecutableDirectory(u"C:\\Games\\Laurelight\\Laurelight.exe"),
              u"C:\\Games\\Laurelight");
    EXPECT_EQ(ExecutableDirectory(u"C:\\a/b\\c/app.exe"), u"C:\\a/b\\c");
    EXPECT_EQ(ExecutableDirectory(u"/opt/x/app"), u"/opt/x");
    EXPECT_EQ(ExecutableDirectory(u"app.exe"), u"app.exe");
    EXPECT_EQ(ExecutableDirectory(u"\\app.exe"), u"");
}

TEST_F(UnlockSound, CommandsAreJoinedCharacterForCharacter) {
    EXPECT_EQ(MciAlias(1), u"myaudio1");
    EXPECT_EQ(MciAlias(101), u"myaudio101");
    EXPECT_EQ(MciOpenCommand(u"C:\\x y\\bin\\adv_sound.mp3", u"mpegvideo", u"myaudio3"),
              u"open \"C:\\x y\\bin\\adv_sound.mp3\" type mpegvideo alias myaudio3");
    EXPECT_EQ(MciOpenCommand(u"D:\\s.mp3", u"waveaudio", u"myaudio12"),
              u"open \"D:\\s.mp3\" type waveaudio alias myaudio12");
    EXPECT_EQ(MciPlayCommand(u"myaudio3"), u"play myaudio3");
    EXPECT_EQ(MciStatusCommand(u"myaudio3"), u"status myaudio3 mode");
    EXPECT_EQ(MciCloseCommand(u"myaudio3"), u"close myaudio3");
}

TEST_F(UnlockSound, WaveWinsOverMp3AndNeitherGivesOneBeep) {
    ProgressTestFolder both;
    PutSound(both, "adv_sound.wav");
    PutSound(both, "adv_sound.mp3");
    PlayUnlockSoundIn(both.path().u16string());
    ASSERT_EQ(Fake().played_waves.size(), 1u);
    EXPECT_EQ(Fake().played_waves[0], SoundPath(both, "adv_sound.wav"));
    EXPECT_TRUE(Fake().mci_calls.empty());
    EXPECT_EQ(Fake().beeps, 0);
    EXPECT_EQ(g_mciAliasCounter, 0);

    ResetFake();
    ProgressTestFolder none;
    PlayUnlockSoundIn(none.path().u16string());
    EXPECT_EQ(Fake().beeps, 1);
    EXPECT_TRUE(Fake().played_waves.empty());
    EXPECT_TRUE(Fake().mci_calls.empty());

    // Existence is all that counts: a folder named like the sound is handed on as well.
    ResetFake();
    ProgressTestFolder folder_named_wave;
    fs::create_directories(folder_named_wave.File("bin/adv_sound.wav"));
    PlayUnlockSoundIn(folder_named_wave.path().u16string());
    EXPECT_EQ(Fake().played_waves.size(), 1u);
    EXPECT_EQ(Fake().beeps, 0);
}

// An achievement's own sound plays as the default of its kind when it exists, and so does its
// own picture; a missing one leaves the defaults.
TEST_F(UnlockSound, OwnSoundAndPictureWinWhenTheirFilesExist) {
    ProgressTestFolder folder;
    PutSound(folder, "adv_sound.wav");
    PutSound(folder, "fanfare.wav");
    PutSound(folder, "Horn.MP3");
    const std::u16string directory = folder.path().u16string();
    PlayUnlockSoundIn(directory, u"fanfare.wav");
    PlayUnlockSoundIn(directory, u"missing.wav");
    const std::vector<std::u16string> waves = {SoundPath(folder, "fanfare.wav"),
                                               SoundPath(folder, "adv_sound.wav")};
    EXPECT_EQ(Fake().played_waves, waves);
    ReplyStoppedFor(1, 1);
    PlayUnlockSoundIn(directory, u"Horn.MP3");
    ASSERT_TRUE(WaitForCloses(1));
    EXPECT_EQ(MciCommands()[0],
              MciOpenCommand(SoundPath(folder, "Horn.MP3"), u"mpegvideo", u"myaudio1"));
    EXPECT_EQ(Fake().played_waves.size(), 2u);
    EXPECT_EQ(Fake().beeps, 0);

    ToastContent toast{u"T", u"", u"gold.png"};
    EXPECT_EQ(ToastPicturePath(directory, toast), DataPathsIn(directory).picture_path);
    folder.Write("bin/gold.png", "PNG");
    EXPECT_EQ(ToastPicturePath(directory, toast), SoundPath(folder, "gold.png"));
    toast.picture.clear();
    EXPECT_EQ(ToastPicturePath(directory, toast), DataPathsIn(directory).picture_path);
}

TEST_F(UnlockSound, Mp3AloneOpensAsMpegPlaysAndIsClosedByItsWatcher) {
    ProgressTestFolder folder;
    PutSound(folder, "adv_sound.mp3");
    ReplyStoppedFor(1, 1);
    PlayUnlockSoundIn(folder.path().u16string());
    ASSERT_TRUE(WaitForCloses(1));

    const std::u16string mp3 = SoundPath(folder, "adv_sound.mp3");
    const std::vector<std::u16string> expected = {
        u"open \"" + mp3 + u"\" type mpegvideo alias myaudio1",
        u"play myaudio1",
        u"status myaudio1 mode",
        u"close myaudio1",
    };
    EXPECT_EQ(MciCommands(), expected);
    EXPECT_TRUE(AliasOwnedByOneWatcher(u"myaudio1"));
    EXPECT_TRUE(Fake().played_waves.empty());
    EXPECT_EQ(Fake().beeps, 0);
    std::lock_guard lock(Fake().mutex);
    EXPECT_FALSE(Fake().mci_calls[0].wants_reply);
    EXPECT_TRUE(Fake().mci_calls[2].wants_reply);
}

TEST_F(UnlockSound, AliasesRunFromOneTo101AndThenStartAgain) {
    ProgressTestFolder folder;
    PutSound(folder, "adv_sound.mp3");
    const std::u16string mp3 = SoundPath(folder, "adv_sound.mp3");
    ReplyStoppedFor(1, 101);

    for (int play = 1; play <= 102; ++play) {
        ASSERT_TRUE(PlayMciSound(mp3, 0)) << "play " << play;
        ASSERT_TRUE(WaitForCommands(u"open ", play));
        ASSERT_EQ(CountCommandsStartingWith(u"open "), static_cast<std::size_t>(play));
        const int expected_number = play <= 101 ? play : 1;
        // The newest open names the alias this play got.
        std::u16string last_open;
        for (const std::u16string& command : MciCommands()) {
            if (command.compare(0, 5, u"open ") == 0) last_open = command;
        }
        EXPECT_EQ(last_open, MciOpenCommand(mp3, u"mpegvideo", MciAlias(expected_number)))
            << "play " << play;
        EXPECT_EQ(g_mciAliasCounter, play == 101 ? 0 : expected_number);
    }
    ASSERT_TRUE(WaitForCloses(102));
    const std::vector<std::u16string> commands = MciCommands();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), u"close myaudio1"), 2);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), u"close myaudio101"), 1);
    EXPECT_TRUE(AliasOwnedByOneWatcher(u"myaudio101"));
    EXPECT_EQ(std::count(commands.begin(), commands.end(),
                         u"open \"" + mp3 + u"\" type mpegvideo alias myaudio102"),
              0);
}

TEST_F(UnlockSound, WaveDeviceIsTriedOnlyAfterMpegFailsAndBothFailingGivesUp) {
    ProgressTestFolder folder;
    PutSound(folder, "adv_sound.mp3");
    const std::u16string mp3 = SoundPath(folder, "adv_sound.mp3");

    // First play: both devices refuse. Nothing plays, nothing stays open.
    Fake().mci_results[MciOpenCommand(mp3, u"mpegvideo", u"myaudio1")] = 263;
    Fake().mci_results[MciOpenCommand(mp3, u"waveaudio", u"myaudio1")] = 263;
    EXPECT_TRUE(PlayMciSound(mp3, 0));  // the outcome is the watcher's
    ASSERT_TRUE(WaitForCommands(u"open ", 2));
    std::vector<std::u16string> expected = {MciOpenCommand(mp3, u"mpegvideo", u"myaudio1"),
                                            MciOpenCommand(mp3, u"waveaudio", u"myaudio1")};
    EXPECT_EQ(MciCommands(), expected);
    EXPECT_EQ(g_mciAliasCounter, 1);

    // Second play: only MPEG refuses; the wave device takes the same alias on the same thread.
    Fake().mci_results[MciOpenCommand(mp3, u"mpegvideo", u"myaudio2")] = 263;
    ReplyStoppedFor(2, 2);
    EXPECT_TRUE(PlayMciSound(mp3, 0));
    ASSERT_TRUE(WaitForCloses(1));
    expected.push_back(MciOpenCommand(mp3, u"mpegvideo", u"myaudio2"));
    expected.push_back(MciOpenCommand(mp3, u"waveaudio", u"myaudio2"));
    expected.push_back(u"play myaudio2");
    expected.push_back(u"status myaudio2 mode");
    expected.push_back(u"close myaudio2");
    EXPECT_EQ(MciCommands(), expected);
    EXPECT_TRUE(AliasOwnedByOneWatcher(u"myaudio2"));

    // A missing file touches neither the counter nor MCI.
    EXPECT_FALSE(PlayMciSound(SoundPath(folder, "missing.mp3"), 0));
    EXPECT_EQ(g_mciAliasCounter, 2);
    EXPECT_EQ(MciCommands().size(), expected.size());
}

TEST_F(UnlockSound, FailedPlayCommandStillLeavesTheCloseToTheWatcher) {
    ProgressTestFolder folder;
    PutSound(folder, "adv_sound.mp3");
    Fake().mci_results[u"play myaudio1"] = 263;
    ReplyStoppedFor(1, 1);
    EXPECT_TRUE(PlayMciSound(SoundPath(folder, "adv_sound.mp3"), 0));
    ASSERT_TRUE(WaitForCloses(1));
    EXPECT_EQ(MciCommands().back(), u"close myaudio1");
}

TEST_F(UnlockSound, WatcherStopsAtStoppedOrNotReadyOnly) {
    for (const char16_t* final_mode : {u"stopped", u"not ready"}) {
        ResetFake();
        Fake().mci_replies[u"status myaudio7 mode"] = final_mode;
        WatchMciPlayback(u"myaudio7", 0);
        const std::vector<std::u16string> expected = {u"status myaudio7 mode", u"close myaudio7"};
        EXPECT_EQ(MciCommands(), expected);
        EXPECT_EQ(Fake().sleeps, 0);
    }
    // Other modes, other cases and longer texts keep it polling to the limit.
    for (const char16_t* mode : {u"playing", u"Stopped", u"stopped ", u"not ready!", u""}) {
        ResetFake();
        Fake().mci_replies[u"status myaudio7 mode"] = mode;
        WatchMciPlayback(u"myaudio7", 0);
        EXPECT_EQ(CountCommandsStartingWith(u"status myaudio7 mode"), 50u);
        EXPECT_EQ(Fake().sleeps, 50);
        EXPECT_EQ(MciCommands().back(), u"close myaudio7");
        EXPECT_EQ(MciCommands().size(), 51u);
    }
}

TEST_F(UnlockSound, FailingPollsCountAndTheirRepliesAreNotTrusted) {
    Fake().mci_replies[u"status myaudio9 mode"] = u"stopped";
    Fake().mci_results[u"status myaudio9 mode"] = 263;
    WatchMciPlayback(u"myaudio9", 0);
    EXPECT_EQ(CountCommandsStartingWith(u"status "), 50u);
    EXPECT_EQ(Fake().sleeps, 50);
    EXPECT_EQ(MciCommands().back(), u"close myaudio9");
}

TEST_F(UnlockSound, WatcherSleepsTheGivenInterval) {
    Fake().mci_replies[u"status myaudio4 mode"] = u"playing";
    const auto start = std::chrono::steady_clock::now();
    WatchMciPlayback(u"myaudio4", 2);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(100));  // 50 sleeps of 2 ms
    EXPECT_EQ(MCI_POLL_INTERVAL_MS, 100u);
    EXPECT_EQ(MCI_STATUS_POLLS, 50);
}

TEST_F(UnlockSound, WatcherThatCannotStartOpensNothing) {
    ProgressTestFolder folder;
    PutSound(folder, "adv_sound.mp3");
    Fake().refuse_threads = true;
    EXPECT_FALSE(PlayMciSound(SoundPath(folder, "adv_sound.mp3"), 0));
    Fake().refuse_threads = false;
    EXPECT_TRUE(MciCommands().empty());
}
