// Loading and saving adv_save.txt through the real file operations of the platform.

#include <gtest/gtest.h>

#include <filesystem>

#include "progress/progress_file.h"
#include "tests/files/progress_test_folder.h"
#include "tracker/tracker.h"

namespace {

Achievement Record(std::u16string id) {
    Achievement record;
    record.id = std::move(id);
    record.trigger_type = TriggerType::ProcessName;
    return record;
}

std::vector<bool> Flags(const AchievementTracker& tracker) {
    std::vector<bool> flags;
    for (const Achievement& record : tracker.achievements) flags.push_back(record.completed);
    return flags;
}

}  // namespace

TEST(ProgressFile, MissingFileCompletesNothingAndLeavesTheMapEmpty) {
    ProgressTestFolder folder;
    AchievementTracker tracker(nullptr, folder.ModulePath());
    tracker.achievements = {Record(u"a1"), Record(u"b2")};
    tracker.completed_map[u"stale"] = true;
    tracker.LoadProgress();
    EXPECT_TRUE(tracker.completed_map.empty());
    EXPECT_EQ(Flags(tracker), (std::vector<bool>{false, false}));
    EXPECT_FALSE(folder.Exists("adv_save.txt"));
}

TEST(ProgressFile, LoadSetsFlagsFromTheFileAndKnowsEveryConfiguredId) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt", "b2=done\r\nghost=done\nc3=done\r\nc3=DONE\r\ndup=done");
    AchievementTracker tracker(nullptr, folder.ModulePath());
    tracker.achievements = {Record(u"a1"), Record(u"b2"), Record(u"c3"), Record(u"dup"), Record(u"dup")};
    tracker.LoadProgress();
    EXPECT_EQ(Flags(tracker), (std::vector<bool>{false, true, false, true, true}));
    const CompletedMap expected{{u"a1", false}, {u"b2", true}, {u"c3", false}, {u"dup", true}, {u"ghost", true}};
    EXPECT_EQ(tracker.completed_map, expected);

    // An empty file: every configured id is known and open.
    folder.Write("adv_save.txt", "");
    tracker.LoadProgress();
    EXPECT_EQ(Flags(tracker), (std::vector<bool>(5, false)));
    EXPECT_EQ(tracker.completed_map.size(), 4u);
}

TEST(ProgressFile, SaveWritesExactBytesAndDropsWhatIsNotConfigured) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt", "ghost=done\r\nb2=done\r\nbroken line\r\na1=maybe\r\n");
    AchievementTracker tracker(nullptr, folder.ModulePath());
    tracker.achievements = {Record(u"a1"), Record(u"b2"), Record(u"c3")};
    tracker.LoadProgress();

    // Unlocked b2 earlier, now a1: the file lists them in configured order.
    tracker.achievements[0].completed = true;
    tracker.completed_map[u"a1"] = true;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), std::string("a1=done\r\nb2=done\r\n"));
    EXPECT_FALSE(folder.Exists("adv_save.txt.tmp"));

    // A shorter state leaves no bytes of the longer one behind.
    tracker.achievements[0].completed = false;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "b2=done\r\n");
    tracker.achievements[1].completed = false;
    tracker.SaveProgress();
    EXPECT_TRUE(folder.Exists("adv_save.txt"));
    EXPECT_EQ(folder.Read("adv_save.txt"), "");

    // The first save on a machine creates the file.
    std::filesystem::remove(folder.File("adv_save.txt"));
    tracker.achievements[2].completed = true;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "c3=done\r\n");
}

TEST(ProgressFile, IdsOfEveryKindSurviveSaveAndLoad) {
    ProgressTestFolder folder;
    const std::vector<std::u16string> ids = {
        u"\u521D\u6B21\u542F\u52A8", u" spaced ", u"caf\u00E9", u"\U0001F3C6 trophy",
        std::u16string{u'z', char16_t(0xDC01)}, u"plain", u"\u4E2D\u6587"};
    {
        AchievementTracker writer(nullptr, folder.ModulePath());
        for (const std::u16string& id : ids) writer.achievements.push_back(Record(id));
        for (size_t i = 0; i + 1 < ids.size(); ++i) writer.achievements[i].completed = true;
        writer.SaveProgress();
    }
    const std::string bytes = folder.Read("adv_save.txt");
    EXPECT_NE(bytes.find(std::string(" spaced =done\r\ncaf\xE9=done\r\n")), std::string::npos);

    AchievementTracker reader(nullptr, folder.ModulePath());
    for (const std::u16string& id : ids) reader.achievements.push_back(Record(id));
    reader.LoadProgress();
    EXPECT_EQ(Flags(reader), (std::vector<bool>{true, true, true, true, true, true, false}));
}

TEST(ProgressFile, ReadOnlyFileStaysUntouched) {
    ProgressTestFolder folder;
    const std::string old_bytes = "a1=done\r\n";
    folder.Write("adv_save.txt", old_bytes);
    std::filesystem::permissions(folder.File("adv_save.txt"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);

    AchievementTracker tracker(nullptr, folder.ModulePath());
    tracker.achievements = {Record(u"a1"), Record(u"b2")};
    tracker.LoadProgress();
    EXPECT_EQ(Flags(tracker), (std::vector<bool>{true, false}));

    tracker.achievements[1].completed = true;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), old_bytes);
    EXPECT_FALSE(folder.Exists("adv_save.txt.tmp"));
    EXPECT_TRUE(tracker.achievements[1].completed);

    // Once writable again, the next save writes the whole state.
    std::filesystem::permissions(folder.File("adv_save.txt"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\nb2=done\r\n");
}

TEST(ProgressFile, DirectoryOfTheSameNameReadsAsNothingAndIsNeverReplaced) {
    ProgressTestFolder folder;
    std::filesystem::create_directory(folder.File("adv_save.txt"));
    folder.Write("adv_save.txt/inside", "kept");

    AchievementTracker tracker(nullptr, folder.ModulePath());
    tracker.achievements = {Record(u"a1"), Record(u"b2")};
    tracker.LoadProgress();
    EXPECT_EQ(Flags(tracker), (std::vector<bool>{false, false}));
    EXPECT_EQ(tracker.completed_map, (CompletedMap{{u"a1", false}, {u"b2", false}}));

    tracker.achievements[0].completed = true;
    tracker.SaveProgress();
    tracker.SaveProgress();
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("adv_save.txt")));
    EXPECT_EQ(folder.Read("adv_save.txt/inside"), "kept");
    EXPECT_FALSE(folder.Exists("adv_save.txt.tmp"));
}

TEST(ProgressFile, SaveThatCannotFinishKeepsTheOldFile) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt", "a1=done\r\n");
    // The temporary file cannot be created where a directory holds its name.
    std::filesystem::create_directory(folder.File("adv_save.txt.tmp"));

    AchievementTracker tracker(nullptr, folder.ModulePath());
    tracker.achievements = {Record(u"a1"), Record(u"b2")};
    tracker.LoadProgress();
    tracker.achievements[1].completed = true;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\n");

    // A temporary file left by an interrupted save is simply overwritten.
    std::filesystem::remove(folder.File("adv_save.txt.tmp"));
    folder.Write("adv_save.txt.tmp", "half a li");
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\nb2=done\r\n");
    EXPECT_FALSE(folder.Exists("adv_save.txt.tmp"));

    // A folder that does not exist: nothing is created, nothing breaks.
    AchievementTracker lost(nullptr, folder.path().u16string() + u"\\missing\\app.exe");
    lost.achievements = {Record(u"a1")};
    lost.achievements[0].completed = true;
    lost.SaveProgress();
    EXPECT_FALSE(folder.Exists("missing"));
}
