// The file part of the platform seam, against the real file system.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "tests/files/progress_test_folder.h"

namespace {

std::u16string Join(const ProgressTestFolder& folder, const std::u16string& name) {
    return folder.path().u16string() + u"\\" + name;
}

}  // namespace

TEST(FilesSeam, ModulePathNamesTheRunningExecutable) {
    const std::u16string module = platform::ModulePath();
    ASSERT_FALSE(module.empty());
    const platform::FileFacts facts = platform::QueryFile(module);
    EXPECT_TRUE(facts.exists);
    EXPECT_FALSE(facts.directory);
    EXPECT_NE(module.find(u"laurelight"), std::u16string::npos);
}

TEST(FilesSeam, QueryReportsAbsenceDirectoriesAndReadOnlyFiles) {
    ProgressTestFolder folder;
    const platform::FileFacts missing = platform::QueryFile(Join(folder, u"nothing.txt"));
    EXPECT_FALSE(missing.exists);
    EXPECT_FALSE(platform::FileExists(Join(folder, u"nothing.txt")));

    std::filesystem::create_directory(folder.File("dir"));
    const platform::FileFacts directory = platform::QueryFile(Join(folder, u"dir"));
    EXPECT_TRUE(directory.exists);
    EXPECT_TRUE(directory.directory);

    folder.Write("file.txt", "x");
    EXPECT_FALSE(platform::QueryFile(Join(folder, u"file.txt")).read_only);
    std::filesystem::permissions(folder.File("file.txt"), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    const platform::FileFacts read_only = platform::QueryFile(Join(folder, u"file.txt"));
    EXPECT_TRUE(read_only.exists);
    EXPECT_FALSE(read_only.directory);
    EXPECT_TRUE(read_only.read_only);
}

TEST(FilesSeam, WriteReplaceAndRemoveWorkOnWideNames) {
    ProgressTestFolder folder;
    const std::u16string first = Join(folder, u"\u8FDB\u5EA6.tmp");  // 进度.tmp
    const std::u16string target = Join(folder, u"\u8FDB\u5EA6.txt");

    ASSERT_EQ(platform::WriteFileDurably(target, "old content, longer"), platform::FileError::None);
    ASSERT_EQ(platform::WriteFileDurably(first, "new"), platform::FileError::None);
    EXPECT_TRUE(std::filesystem::exists(platform::NativePath(first)));

    ASSERT_EQ(platform::ReplaceFileAtomically(first, target), platform::FileError::None);
    EXPECT_FALSE(platform::FileExists(first));
    const std::filesystem::path native = platform::NativePath(target);
    EXPECT_EQ(std::filesystem::file_size(native), 3u);

    // Writing again truncates; an empty write leaves an empty file.
    ASSERT_EQ(platform::WriteFileDurably(target, ""), platform::FileError::None);
    EXPECT_EQ(std::filesystem::file_size(native), 0u);

    EXPECT_NE(platform::ReplaceFileAtomically(first, target),
              platform::FileError::None);  // nothing to move
    EXPECT_TRUE(platform::RemoveFile(target));
    EXPECT_FALSE(platform::FileExists(target));
    EXPECT_FALSE(platform::RemoveFile(target));
    EXPECT_NE(platform::WriteFileDurably(Join(folder, u"no\\such\\dir.txt"), "x"),
              platform::FileError::None);
}

TEST(FilesSeam, FolderIdentityIsOneForEveryPathToTheFolder) {
    ProgressTestFolder folder;
    std::filesystem::create_directory(folder.File("real"));
    std::filesystem::create_directory(folder.File("other"));
    const std::u16string real = Join(folder, u"real");
    const std::u16string identity = platform::FolderIdentity(real);
    EXPECT_EQ(platform::FolderIdentity(real + u"\\"), identity);
    EXPECT_EQ(platform::FolderIdentity(Join(folder, u"other\\..\\real")), identity);
    EXPECT_NE(platform::FolderIdentity(Join(folder, u"other")), identity);
#ifdef _WIN32
    std::u16string upper = real;
    for (char16_t& unit : upper) {
        if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - u'a' + u'A');
    }
    EXPECT_EQ(platform::FolderIdentity(upper), identity);
#else
    std::filesystem::create_directory_symlink(folder.File("real"), folder.File("link"));
    EXPECT_EQ(platform::FolderIdentity(Join(folder, u"link")), identity);
#endif
    // A folder that cannot be opened keeps its own text apart from every other.
    EXPECT_NE(platform::FolderIdentity(Join(folder, u"missing")),
              platform::FolderIdentity(Join(folder, u"missing2")));
}
