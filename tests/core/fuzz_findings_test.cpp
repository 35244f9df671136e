// Inputs the fuzz targets found to go wrong, kept as regular tests once mended.

#include <gtest/gtest.h>

#include <filesystem>

#include "progress/progress_format.h"
#include "tests/files/progress_test_folder.h"
#include "tracker/tracker.h"

// A configured id holding 0x1A was written as it stands; the reader stops at that byte, so
// every completed achievement listed after it was lost at the next start.
TEST(FuzzFindings, AnIdWithEndOfTextDoesNotHideTheLinesAfterIt) {
    const std::u16string end_of_text = u"a=do\x1Ane\r";
    const std::string file = SerializeProgress(
        {ProgressRecord(u"first"), ProgressRecord(u"x\x1Ay"), ProgressRecord(end_of_text),
         ProgressRecord(u"\u4E2D\x1A"), ProgressRecord(u"last")});
    EXPECT_EQ(file, "first=done\r\nlast=done\r\n");
    EXPECT_EQ(ParseProgress(file), (CompletedMap{{u"first", true}, {u"last", true}}));
}

// An id with '=' reads back as the text before the '=' with a value other than "done"; when
// another achievement has that text as its id and is listed before, its progress was undone.
TEST(FuzzFindings, AnIdWithEqualsDoesNotUndoAnotherAchievement) {
    const std::vector<Achievement> records = {ProgressRecord(u"a"), ProgressRecord(u"a=b"),
                                              ProgressRecord(u"\u4E2D=x")};
    EXPECT_EQ(SerializeProgress(records), "a=done\r\n");

    ProgressTestFolder folder;
    {
        AchievementTracker tracker(nullptr, folder.ModulePath());
        tracker.achievements = records;
        tracker.SaveProgress();
    }
    AchievementTracker restarted(nullptr, folder.ModulePath());
    restarted.achievements = records;
    for (Achievement& record : restarted.achievements) record.completed = false;
    restarted.LoadProgress();
    EXPECT_TRUE(restarted.achievements[0].completed);
    EXPECT_FALSE(restarted.achievements[1].completed);
    EXPECT_FALSE(restarted.achievements[2].completed);
}
