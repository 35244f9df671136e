// Windows refuses to replace a file that another program holds open, as scanners and backup
// tools do for a moment. Saves must ride that out, and never leave an unlock unsaved.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/files/progress_test_folder.h"
#include "tracker/tracker.h"

namespace {

// Opens the file the way an ordinary reader does: sharing read and write, not delete.
HANDLE OpenAsReader(const std::filesystem::path& path) {
    return CreateFileW(path.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

TEST(ProgressReplace, BriefReaderIsWaitedOutAndLongReaderLeavesTheSavePending) {
    ProgressTestFolder folder;
    folder.Write("adv_save.txt", "a1=done\r\n");
    AchievementTracker tracker(nullptr, folder.ModulePath());
    tracker.achievements = {ProgressRecord(u"a1"), ProgressRecord(u"b2")};

    HANDLE brief = OpenAsReader(folder.File("adv_save.txt"));
    ASSERT_NE(brief, INVALID_HANDLE_VALUE);
    std::thread closer([brief] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        CloseHandle(brief);
    });
    tracker.SaveProgress();
    closer.join();
    EXPECT_FALSE(tracker.save_pending);
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\nb2=done\r\n");

    tracker.achievements.push_back(ProgressRecord(u"c3"));
    HANDLE held = OpenAsReader(folder.File("adv_save.txt"));
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    tracker.SaveProgress();
    EXPECT_TRUE(tracker.save_pending);
    EXPECT_FALSE(folder.HasTemporaryFile());
    CloseHandle(held);
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\nb2=done\r\n");

    tracker.CheckTriggers();  // every record is completed: the pass only catches up the file
    EXPECT_FALSE(tracker.save_pending);
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\nb2=done\r\nc3=done\r\n");
}
