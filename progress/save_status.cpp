#include "progress/save_status.h"

using platform::FileError;

ReasonText FileErrorText(FileError reason) {
    switch (reason) {
        case FileError::AccessDenied:
            return {u"access denied", u"拒绝访问"};
        case FileError::ReadOnly:
            return {u"the file is read-only", u"文件只读"};
        case FileError::IsDirectory:
            return {u"a folder has this name", u"存在同名文件夹"};
        case FileError::DiskFull:
            return {u"the disk is full", u"磁盘已满"};
        case FileError::Unreadable:
            return {u"the file cannot be read", u"文件无法读取"};
        default:
            return {u"write failed", u"写入失败"};
    }
}

// A save through a symbolic link writes its temporary file beside the link's target.
std::u16string FailedFile(const std::u16string& save_path, const SaveProblem& problem) {
    if (!problem.at_temporary) return save_path;
    return platform::TemporaryPath(platform::LinkTarget(save_path));
}

// The path goes last, so a line too long for the window loses the middle of the path.
std::u16string SaveProblemLine(const std::u16string& file, FileError reason) {
    return std::u16string(u"进度无法保存（") + FileErrorText(reason).chinese +
           u"），稍后将自动重试：" + file;
}

std::u16string SaveFailedConsoleLine(const std::u16string& file, FileError reason) {
    const ReasonText text = FileErrorText(reason);
    return u"progress not saved (" + std::u16string(text.english) + u"): " + file +
           u" / 进度未能保存（" + text.chinese + u"）：" + file;
}

std::u16string StatsUnreadableLine(const std::u16string& stats_path) {
    return std::u16string(u"目标计数无法读取（") + FileErrorText(FileError::Unreadable).chinese +
           u"），读取成功前不会写入：" + stats_path;
}
