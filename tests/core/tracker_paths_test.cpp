// Path derivation and the tracker's construction.

#include <gtest/gtest.h>

#include "tests/fake/fake_platform.h"
#include "tracker/tracker.h"

TEST(TrackerPaths, DirectoryIsCutAtTheLastSeparatorOfEitherKind) {
    DataPaths back = DeriveDataPaths(u"D:\\Games\\Tracker\\app.exe");
    EXPECT_EQ(back.save_path, u"D:\\Games\\Tracker\\adv_save.txt");
    EXPECT_EQ(back.config_path, u"D:\\Games\\Tracker\\bin\\adv.json");

    DataPaths forward = DeriveDataPaths(u"D:/Games/app.exe");
    EXPECT_EQ(forward.save_path, u"D:/Games\\adv_save.txt");
    EXPECT_EQ(forward.config_path, u"D:/Games\\bin\\adv.json");

    DataPaths mixed = DeriveDataPaths(u"C:\\a/b\\c.exe");
    EXPECT_EQ(mixed.save_path, u"C:\\a/b\\adv_save.txt");

    DataPaths bare = DeriveDataPaths(u"app.exe");
    EXPECT_EQ(bare.save_path, u"app.exe\\adv_save.txt");
    EXPECT_EQ(bare.config_path, u"app.exe\\bin\\adv.json");
}

TEST(TrackerLifecycle, ConstructionTouchesNothingAndDestructionWithoutThreadIsQuiet) {
    ResetFake();
    {
        AchievementTracker tracker(reinterpret_cast<void*>(0x1234),
                                   u"/nonexistent/dir\\Laurelight.exe");
        EXPECT_EQ(tracker.main_window, reinterpret_cast<void*>(0x1234));
        EXPECT_TRUE(tracker.achievements.empty());
        EXPECT_TRUE(tracker.completed_map.empty());
        EXPECT_EQ(tracker.completed_list, nullptr);
        EXPECT_EQ(tracker.pending_list, nullptr);
        EXPECT_FALSE(tracker.running);
        EXPECT_FALSE(tracker.monitor_thread.joinable());
    }
    EXPECT_EQ(Fake().calls, 0);
}

TEST(AchievementRecord, CopyIsIndependentOfItsSource) {
    Achievement source{
        u"id", u"title",    u"d",    u"td",          u"tv",      TriggerType::ProcessName,
        false, u"3 starts", u"true", u"fanfare.wav", u"gold.png"};
    Achievement copy = source;
    copy.completed = true;
    copy.title += u"!";
    copy.id.clear();
    EXPECT_FALSE(source.completed);
    EXPECT_EQ(source.title, u"title");
    EXPECT_EQ(source.id, u"id");
}
