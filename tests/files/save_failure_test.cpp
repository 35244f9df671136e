// Saves that cannot reach the disk: what the tracker learns about them, against the real
// file system (natively and under Wine).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/files/progress_test_folder.h"
#include "tracker/tracker.h"

namespace {

using platform::FileError;

struct SaveFailure : ::testing::Test {
    ProgressTestFolder folder;
    AchievementTracker tracker{nullptr, folder.ModulePath()};

    void SetUp() override { tracker.achievements = {ProgressRecord(u"a1")}; }

    SaveProblem Save() {
        tracker.SaveProgress();
        EXPECT_EQ(tracker.save_pending, tracker.save_problem.load().reason != FileError::None);
        return tracker.save_problem.load();
    }
};

}  // namespace

TEST_F(SaveFailure, ReadOnlyFileAndFoldersOfTheNamesAreReportedUntilASaveSucceeds) {
    folder.Write("adv_save.txt", "old");
    std::filesystem::permissions(folder.File("adv_save.txt"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_EQ(Save(), (SaveProblem{FileError::ReadOnly, false}));
    EXPECT_EQ(folder.Read("adv_save.txt"), "old");
    std::filesystem::permissions(folder.File("adv_save.txt"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(Save(), SaveProblem{});
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\n");

    std::filesystem::remove(folder.File("adv_save.txt"));
    std::filesystem::create_directory(folder.File("adv_save.txt"));
    EXPECT_EQ(Save(), (SaveProblem{FileError::IsDirectory, false}));
    std::filesystem::remove(folder.File("adv_save.txt"));

    // Windows calls this one access denied; the user is told about the folder.
    std::filesystem::create_directory(folder.File(TemporaryName("adv_save.txt")));
    EXPECT_EQ(Save(), (SaveProblem{FileError::IsDirectory, true}));
    EXPECT_EQ(tracker.save_failures, 2);
    std::filesystem::remove(folder.File(TemporaryName("adv_save.txt")));
    EXPECT_EQ(Save(), SaveProblem{});
    EXPECT_EQ(tracker.save_failures, 0);
    EXPECT_EQ(folder.Read("adv_save.txt"), "a1=done\r\n");
}

TEST_F(SaveFailure, FullDiskIsReportedAsSuch) {
#ifdef _WIN32
    GTEST_SKIP() << "no small file system to fill under Windows; covered natively";
#else
    const std::filesystem::path mount_point = folder.File("small");
    std::filesystem::create_directory(mount_point);
    const std::string mount = "mount -t tmpfs -o size=64k tmpfs '" + mount_point.string() + "'";
    if (std::system((mount + " 2>/dev/null").c_str()) != 0) {
        GTEST_SKIP() << "cannot mount a 64 KiB tmpfs here (needs root): " << mount;
    }
    struct Unmount {
        std::string command;
        ~Unmount() { (void)std::system(command.c_str()); }
    } unmount{"umount '" + mount_point.string() + "'"};

    // Fill it up; what does not fit is simply not written.
    {
        std::ofstream filler(mount_point / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        for (int i = 0; i < 32 && filler; ++i) filler << block << std::flush;
    }
    AchievementTracker full(nullptr, mount_point.u16string() + u"\\app.exe");
    full.achievements = {ProgressRecord(u"a1")};
    full.SaveProgress();
    EXPECT_TRUE(full.save_pending);
    EXPECT_EQ(full.save_problem.load(), (SaveProblem{FileError::DiskFull, true}));
    EXPECT_FALSE(std::filesystem::exists(mount_point / TemporaryName("adv_save.txt")));

    std::filesystem::remove(mount_point / "filler");
    full.SaveProgress();
    EXPECT_EQ(full.save_problem.load(), SaveProblem{});
#endif
}
