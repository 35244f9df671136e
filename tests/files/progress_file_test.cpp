// Loading and saving adv_save.txt through the real file operations of the platform.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/files/progress_test_folder.h"
#include "tracker/tracker.h"

namespace {

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

TEST(ProgressFile, SaveWritesExactBytesAndDropsWhatIsNotConfigured) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt", "ghost=done\r\nb2=done\r\nbroken line\r\na1=maybe\r\n");
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a1", u"b2", u"c3"});
    tracker.LoadProgress();

    // b2 came first, a1 second: the file still follows the configured order.
    tracker.achievements[0].completed = true;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\nb2=done\r\n");
    EXPECT_FALSE(folder.Exists("adv_save.txt.tmp"));

    // A shorter state leaves no bytes of the longer one behind.
    tracker.achievements[0].completed = false;
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "b2=done\r\n");

    std::filesystem::remove(folder.File("adv_save.txt"));  // the first save creates the file
    tracker.SaveProgress();
    EXPECT_EQ(folder.Read("adv_save.txt"), "b2=done\r\n");
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
    EXPECT_FALSE(folder.Exists("adv_save.txt.tmp"));

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
    EXPECT_FALSE(folder.Exists("adv_save.txt.tmp"));
}

TEST(ProgressFile, SaveThatCannotFinishKeepsTheOldFile) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt", "a1=done\r\n");
    // The temporary file cannot be created where a directory holds its name.
    std::filesystem::create_directory(folder.File("adv_save.txt.tmp"));
    AchievementTracker tracker(nullptr, folder.ModulePath());
    Configure(tracker, {u"a1", u"b2"});
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
}
