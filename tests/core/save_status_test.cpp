// What the user is told about progress that could not be saved.

#include <gtest/gtest.h>

#include <set>

#include "progress/save_status.h"

TEST(SaveStatus, EachReasonNamesTheFileAndItsOwnCauseInBothLanguages) {
    using platform::FileError;
    const std::u16string file = u"C:\\Program Files\\Laurelight\\adv_save.txt";
    std::set<std::u16string> lines;
    for (FileError reason : {FileError::AccessDenied, FileError::ReadOnly, FileError::IsDirectory,
                             FileError::DiskFull, FileError::Other, FileError::Unreadable}) {
        const std::u16string line = SaveProblemLine(file, reason);
        EXPECT_EQ(line.find(u"进度无法保存"), 0u);
        EXPECT_NE(line.find(u"重试"), std::u16string::npos);
        EXPECT_EQ(line.substr(line.size() - file.size()), file);  // a long path loses its middle
        lines.insert(line);

        const std::u16string console = SaveFailedConsoleLine(file, reason);
        EXPECT_EQ(console.find(u"progress not saved"), 0u);
        EXPECT_NE(console.find(u"进度未能保存"), std::u16string::npos);
        EXPECT_NE(console.find(file), console.rfind(file));  // once per language
    }
    EXPECT_EQ(lines.size(), 6u);

    EXPECT_EQ(FailedFile(file, {FileError::IsDirectory, true}), platform::TemporaryPath(file));
    EXPECT_EQ(FailedFile(file, {FileError::IsDirectory, false}), file);
}
