// Loading and saving adv_save.txt through the real file operations of the platform.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "platform/folder_state_lock.h"
#include "tests/files/progress_test_folder.h"
#include "tracker/tracker.h"

namespace {

// Another program's hold that keeps everyone from reading the file: on Windows a handle that
// shares nothing; elsewhere (root reads every file) a socket in its place, which no one can
// open, with the file put back afterwards.
class UnreadableFile {
  public:
    explicit UnreadableFile(const std::filesystem::path& path) : path_(path) {
#ifdef _WIN32
        handle_ = CreateFileW(path.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
#else
        std::filesystem::rename(path_, Aside());
        socket_ = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path_.string().copy(address.sun_path, sizeof address.sun_path - 1);
        bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address);
#endif
    }
    ~UnreadableFile() {
#ifdef _WIN32
        CloseHandle(handle_);
#else
        close(socket_);
        std::filesystem::remove(path_);
        std::filesystem::rename(Aside(), path_);
#endif
    }
    UnreadableFile(const UnreadableFile&) = delete;
    UnreadableFile& operator=(const UnreadableFile&) = delete;

  private:
    std::filesystem::path Aside() const {
        return path_.string() + ".aside";
    }

    std::filesystem::path path_;
#ifdef _WIN32
    HANDLE handle_;
#else
    int socket_;
#endif
};

// A tracker over the folder with one open record per id.
void Configure(AchievementTracker& tracker, const std::vector<std::u16string>& ids) {
    for (const std::u16string& id : ids) {
        Achievement record;
        record.id = id;
        tracker.achievements.push_back(record);
    }
}

std::vector<bool> Flags(const AchievementTracker& tracker) {
    std::vector<bool> flags;
    for (const Achievement& record : tracker.achievements) flags.push_back(record.completed);
    return flags;
}

}  // namespace

TEST(ProgressFile, LoadSetsFlagsFromTheFileAndKnowsEveryConfiguredId) {
    ProgressTestFolder folder;
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a1", u"b2", u"c3", u"dup", u"dup"});
    tracker.completed_map[u"stale"] = true;
    tracker.LoadProgress();  // no file yet
    EXPECT_TRUE(tracker.completed_map.empty());
    EXPECT_EQ(Flags(tracker), std::vector<bool>(5, false));

    folder.Write("adv_save.txt", "b2=done\r\nghost=done\nc3=done\r\nc3=DONE\r\ndup=done");
    tracker.LoadProgress();
    EXPECT_EQ(Flags(tracker), (std::vector<bool>{false, true, false, true, true}));
    const CompletedMap expected{
        {u"a1", false}, {u"b2", true}, {u"c3", false}, {u"dup", true}, {u"ghost", true}};
    EXPECT_EQ(tracker.completed_map, expected);
}

TEST(ProgressFile, SaveWritesExactBytesAndDropsValuesOtherThanDone) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt", "ghost=done\r\nb2=done\r\nbroken line\r\na1=maybe\r\n");
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a1", u"b2", u"c3"});
    tracker.LoadProgress();

    // b2 came first, a1 second: the file still follows the configured order; the line of
    // ghost, which no achievement has, follows them.
    tracker.achievements[0].completed = true;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\nb2=done\r\nghost=done\r\n");
    EXPECT_FALSE(folder.HasTemporaryFile());

    // A shorter state leaves no bytes of the longer one behind. The file is as this tracker
    // wrote it, so it is not read again, and the cleared flag stays cleared.
    tracker.achievements[0].completed = false;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "b2=done\r\nghost=done\r\n");

    std::filesystem::remove(folder.File("adv_save.txt"));  // the first save creates the file
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "b2=done\r\nghost=done\r\n");
}

TEST(ProgressFile, LinesOfIdsNotConfiguredSurviveInTheFilesOrderAndComeBackWithTheId) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt",
                 "typo=done\r\nb2=done\r\nold=maybe\r\n\xE4\xB8\xAD=done-utf8\r\n"
                 "taken=done\r\ntaken=back\r\ntwice=done\r\n=done\ntwice=done\r\n");
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a1", u"b2"});
    tracker.LoadProgress();
    tracker.achievements[0].completed = true;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"),
              "a1=done\r\nb2=done\r\ntypo=done\r\n\xE4\xB8\xAD=done-utf8\r\ntwice=done\r\n"
              "=done\r\n");

    // The entry is back in the configuration: its progress with it.
    AchievementTracker fixed(nullptr, folder.ModulePath());
    Configure(fixed, {u"typo", u"\u4E2D", u"a1", u"taken"});
    fixed.LoadProgress();
    EXPECT_EQ(Flags(fixed), (std::vector<bool>{true, true, true, false}));
}

TEST(ProgressFile, BytesAfterAnEndOfTextByteStayUnreadAndSurviveEverySave) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt",
                 "a=done\r\n\x1A"
                 "b=done\r\n");
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a", u"b", u"c", u"d"});
    tracker.LoadProgress();
    EXPECT_EQ(Flags(tracker), (std::vector<bool>{true, false, false, false}));
    tracker.achievements[2].completed = true;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"),
              "a=done\r\nc=done\r\n\x1A"
              "b=done\r\n");

    // A tail written elsewhere replaces the one read before; one removed stays removed.
    folder.Write("adv_save.txt",
                 "a=done\r\nc=done\r\n\x1A"
                 "new");
    tracker.achievements[3].completed = true;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"),
              "a=done\r\nc=done\r\nd=done\r\n\x1A"
              "new");
    folder.Write("adv_save.txt", "b=done\r\n");
    tracker.achievements[3].completed = false;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "a=done\r\nb=done\r\nc=done\r\n");
}

TEST(ProgressFile, ChangedFileIsReadAgainAndWhatItCompletesIsTakenOver) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt", "a1=done\r\n");
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a1", u"b2", u"c3", u"d4"});
    tracker.LoadProgress();
    EXPECT_FALSE(tracker.ReadProgressIfChanged());

    // Another program (laurelight-check, a synced folder) completes b2 and an id of its own.
    folder.Write("adv_save.txt", "a1=done\r\nb2=done\r\nelse=done\r\n");
    tracker.achievements[2].completed = true;
    tracker.SaveProgress();
    EXPECT_EQ(Flags(tracker), (std::vector<bool>{true, true, true, false}));
    const std::string all = "a1=done\r\nb2=done\r\nc3=done\r\nelse=done\r\n";
    EXPECT_EQ(folder.Read("adv_save.txt"), all);
    EXPECT_FALSE(tracker.save_pending);

    // A synced copy that lacks completions held here adds nothing, and is saved again.
    folder.Write("adv_save.txt", "b2=done\r\n");
    EXPECT_FALSE(tracker.ReadProgressIfChanged());
    EXPECT_TRUE(tracker.save_pending);
    tracker.CheckTriggers();
    EXPECT_EQ(folder.Read("adv_save.txt"), all);

    // A completion made elsewhere while nothing is to be saved shows at the next pass of
    // either schedule; the file already holds everything, so nothing is written.
    folder.Write("adv_save.txt", "d4=done\r\n" + all);
    tracker.CheckTriggers();
    EXPECT_EQ(Flags(tracker), (std::vector<bool>{true, true, true, true}));
    EXPECT_FALSE(tracker.save_pending);
    EXPECT_EQ(folder.Read("adv_save.txt"), "d4=done\r\n" + all);
}

namespace {

// Runs `save` while another writer (a copy still closing, laurelight-check) holds the folder's
// state lock from its re-read to its rename, writing `name` before it lets go.
void SaveWhileAnotherWriterHoldsTheLock(ProgressTestFolder& folder,
                                        const std::function<void()>& save, const char* name,
                                        const std::string& others_bytes) {
    std::optional<platform::FolderStateLock> other;
    other.emplace(folder.path().u16string(), 0);
    ASSERT_TRUE(other->Held());
    std::thread saver(save);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(folder.Exists(name)) << "saved while another writer held the lock";
    folder.Write(name, others_bytes);
    other.reset();
    saver.join();
}

}  // namespace

// A save waits for the other writer, then reads what it wrote and keeps it.
TEST(ProgressFile, CrossingSavesKeepBothWritersCompletions) {
    ProgressTestFolder folder;
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a", u"b"});
    tracker.LoadProgress();
    {
        const platform::FolderStateLock other(folder.path().u16string(), 0);
        bool also_held = true;
        std::thread([&] {
            also_held = platform::FolderStateLock(folder.path().u16string(), 0).Held();
        }).join();
        EXPECT_TRUE(other.Held());
        EXPECT_FALSE(also_held);
    }

    tracker.achievements[0].completed = true;
    SaveWhileAnotherWriterHoldsTheLock(
        folder, [&tracker] { tracker.SaveProgress(); }, "adv_save.txt", "b=done\r\n");
    EXPECT_EQ(folder.Read("adv_save.txt"), "a=done\r\nb=done\r\n");
    EXPECT_EQ(Flags(tracker), (std::vector<bool>{true, true}));
    EXPECT_FALSE(tracker.save_pending);

    // The goal counts beside it cross the same way: the larger count and both ids stay.
    tracker.goal_stats[u"a"].starts = 2;
    tracker.goal_stats[u"b"].starts = 1;
    SaveWhileAnotherWriterHoldsTheLock(
        folder, [&tracker] { tracker.SaveStats(); }, "adv_stats.txt",
        "starts 5 a\r\nstarts 1 c\r\n");
    EXPECT_EQ(folder.Read("adv_stats.txt"), "starts 5 a\r\nstarts 1 b\r\nstarts 1 c\r\n");
}

TEST(ProgressFile, WideAndSingleByteIdsSurviveSaveAndLoad) {
    ProgressTestFolder folder;
    const std::vector<std::u16string> ids = {u"\u521D\u6B21\u542F\u52A8", u" spaced ", u"caf\u00E9",
                                             std::u16string{u'z', char16_t(0xDC01)},
                                             u"\u4E2D\u6587"};
    AchievementTracker writer(nullptr, folder.ModulePath());
    Configure(writer, ids);
    for (size_t i = 0; i + 1 < ids.size(); ++i) writer.achievements[i].completed = true;
    writer.SaveProgress();
    EXPECT_NE(folder.Read("adv_save.txt").find(" spaced =done\r\ncaf\xE9=done\r\n"),
              std::string::npos);

    AchievementTracker reader(nullptr, folder.ModulePath());
    Configure(reader, ids);
    reader.LoadProgress();
    EXPECT_EQ(Flags(reader), (std::vector<bool>{true, true, true, true, false}));
}

TEST(ProgressFile, ReadOnlyFileAndDirectoryOfThatNameStayUntouched) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt", "a1=done\r\n");
    std::filesystem::permissions(folder.File("adv_save.txt"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a1", u"b2"});
    tracker.LoadProgress();
    EXPECT_EQ(Flags(tracker), (std::vector<bool>{true, false}));
    tracker.achievements[1].completed = true;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\n");
    EXPECT_FALSE(folder.HasTemporaryFile());

    // Once writable again, the next save writes the whole state.
    std::filesystem::permissions(folder.File("adv_save.txt"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\nb2=done\r\n");

    std::filesystem::remove(folder.File("adv_save.txt"));
    std::filesystem::create_directory(folder.File("adv_save.txt"));
    folder.Write("adv_save.txt/inside", "kept");
    tracker.LoadProgress();
    EXPECT_EQ(Flags(tracker), (std::vector<bool>{false, false}));
    EXPECT_EQ(tracker.completed_map, (CompletedMap{{u"a1", false}, {u"b2", false}}));
    tracker.achievements[0].completed = true;
    tracker.SaveProgress();
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("adv_save.txt")));
    EXPECT_EQ(folder.Read("adv_save.txt/inside"), "kept");
    EXPECT_FALSE(folder.HasTemporaryFile());
}

TEST(ProgressFile, SaveThatCannotFinishKeepsTheOldFile) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt", "a1=done\r\n");
    // The temporary file cannot be created where a directory holds its name.
    std::filesystem::create_directory(folder.File(TemporaryName("adv_save.txt")));
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a1", u"b2"});
    tracker.LoadProgress();
    tracker.achievements[1].completed = true;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\n");

    // Temporary files left by interrupted saves, this process's or another's, go; files that
    // only look alike stay.
    std::filesystem::remove(folder.File(TemporaryName("adv_save.txt")));
    folder.Write(TemporaryName("adv_save.txt"), "half a li");
    folder.Write("adv_save.txt.4294967295.tmp", "half a line");
    folder.Write("adv_save.txt.old.tmp", "mine");
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt.old.tmp"), "mine");
    std::filesystem::remove(folder.File("adv_save.txt.old.tmp"));
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\nb2=done\r\n");
    EXPECT_FALSE(folder.HasTemporaryFile());
}

TEST(ProgressFile, FileThatCannotBeReadIsNotTakenAsEmptyAndNothingIsWrittenUntilItIsRead) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt", "a1=done\r\n");
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a1", u"b2"});
    {
        const UnreadableFile held(folder.File("adv_save.txt"));
        tracker.LoadProgress();
        EXPECT_EQ(tracker.save_problem.load(), (SaveProblem{platform::FileError::Unreadable}));
        tracker.achievements[1].completed = true;  // unlocked meanwhile
        tracker.SaveProgress();
        tracker.CheckTriggers();
        EXPECT_TRUE(tracker.save_pending);
    }
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\n");

    tracker.CheckTriggers();  // the next pass reads the file, takes a1 over and saves both
    EXPECT_EQ(Flags(tracker), (std::vector<bool>{true, true}));
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\nb2=done\r\n");
    EXPECT_EQ(tracker.save_problem.load(), SaveProblem{});
}

#ifndef _WIN32
TEST(ProgressFile, ProgressFileThatIsASymbolicLinkStaysOne) {
    ProgressTestFolder folder;
    std::filesystem::create_directory(folder.File("synced"));
    folder.Write("synced/progress.txt", "a1=done\r\n");
    std::filesystem::create_symlink("synced/progress.txt", folder.File("adv_save.txt"));
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a1", u"b2"});
    tracker.LoadProgress();
    tracker.achievements[1].completed = true;
    tracker.SaveProgress();
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("adv_save.txt")));
    EXPECT_EQ(folder.Read("synced/progress.txt"), "a1=done\r\nb2=done\r\n");
    EXPECT_FALSE(folder.HasTemporaryFile());
    EXPECT_FALSE(tracker.save_pending);

    // A link whose target does not exist yet: the first save creates the target.
    std::filesystem::remove(folder.File("synced/progress.txt"));
    tracker.LoadProgress();
    EXPECT_EQ(tracker.save_problem.load(), SaveProblem{});
    tracker.achievements[0].completed = true;
    tracker.SaveProgress();
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("adv_save.txt")));
    EXPECT_EQ(folder.Read("synced/progress.txt"), "a1=done\r\nb2=done\r\n");
}
#endif

TEST(StatsFile, UnreadableCountsAreNeverWrittenOverAndCopiesMergeWithoutCountingTwice) {
    ProgressTestFolder folder;
    folder.Write("adv_stats.txt", "starts 5 a1\r\nday 2024-05-01 a1\r\nbroken line\r\n");
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a1"});
    {
        const UnreadableFile held(folder.File("adv_stats.txt"));
        tracker.LoadProgress();
        EXPECT_TRUE(tracker.stats_unreadable.load());
        tracker.goal_stats[u"a1"].starts = 2;  // counted meanwhile
        tracker.SaveStats();
    }
    EXPECT_EQ(folder.Read("adv_stats.txt"), "starts 5 a1\r\nday 2024-05-01 a1\r\nbroken line\r\n");

    // Read at last: the counts made meanwhile cannot be in the file yet and add to its own; the
    // days unite, and the line this version cannot read is written back as it was.
    tracker.goal_stats[u"a1"].days.insert(20240502);
    tracker.SaveStats();
    EXPECT_FALSE(tracker.stats_unreadable.load());
    const std::string merged =
        "starts 7 a1\r\nday 2024-05-01 a1\r\nday 2024-05-02 a1\r\nbroken line\r\n";
    EXPECT_EQ(folder.Read("adv_stats.txt"), merged);
    // Another copy with more: taken over by the larger count, never added; what it lacks (the
    // days, the kept line) makes the next write due.
    folder.Write("adv_stats.txt", "starts 9 a1\r\nseconds 60 b\r\n");
    EXPECT_TRUE(tracker.ReadStatsIfChanged());
    EXPECT_EQ(tracker.goal_stats[u"a1"].starts, 9u);
    EXPECT_EQ(tracker.goal_stats[u"b"].milliseconds, 60'000u);
    EXPECT_TRUE(tracker.stats_changed);
    tracker.SaveStats();
    EXPECT_EQ(folder.Read("adv_stats.txt"),
              "starts 9 a1\r\nday 2024-05-01 a1\r\nday 2024-05-02 a1\r\n"
              "seconds 60 b\r\nbroken line\r\n");
}

// A file put in place with less than the program holds (a copy from another computer, an older
// backup) or deleted while it runs is written again by the next pass or the close.
TEST(StatsFile, AFileThatLacksWhatTheProgramHoldsIsWrittenAgain) {
    ProgressTestFolder folder;
    const std::string held =
        "starts 3 a1\r\nunlocked 2024-05-01T14:03:22 b2\r\nminutes_v2 4 a1\r\n";
    // Null stands for the deleted file.
    for (const char* smaller : {"starts 1 a1\r\n", "unlocked 2024-05-01T14:03:22 b2\r\n",
                                static_cast<const char*>(nullptr)}) {
        folder.Write("adv_stats.txt", held);
        auto tracker = std::make_unique<AchievementTracker>(nullptr, folder.ModulePath());
        Configure(*tracker, {u"a1", u"b2"});
        tracker->LoadProgress();
        if (smaller != nullptr) {
            folder.Write("adv_stats.txt", smaller);
        } else {
            std::filesystem::remove(folder.File("adv_stats.txt"));
        }
        tracker->CheckTriggers();
        tracker.reset();
        EXPECT_EQ(folder.Read("adv_stats.txt"), held) << (smaller != nullptr ? smaller : "deleted");
    }
}
