#include "check/output_file.h"

#include <filesystem>
#include <system_error>

#include "check/console.h"
#include "check/exit_codes.h"
#include "platform/files.h"
#include "progress/save_status.h"
#include "text/ascii_case.h"
#include "text/utf8.h"

// As the progress file's save line says it; a missing folder is told apart from "write failed".
bool ReportCannotWrite(const std::u16string& file, platform::FileError error) {
    if (error == platform::FileError::None) return false;
    std::error_code ignored;
    const std::filesystem::path folder = platform::NativePath(file).parent_path();
    const ReasonText reason = !folder.empty() && !std::filesystem::is_directory(folder, ignored)
                                  ? ReasonText{u"the folder does not exist", u"文件夹不存在"}
                                  : FileErrorText(error);
    WriteStderr(Utf16ToUtf8(u"cannot write (" + std::u16string(reason.english) + u"): " + file +
                            u" / 无法写入（" + reason.chinese + u"）：" + file + u"\n"));
    return true;
}

bool NamesDataFile(const std::u16string& file, const AchievementTracker& tracker) {
    const auto resolved = [](const std::u16string& path) {
        std::error_code ignored;
        const auto canonical =
            std::filesystem::weakly_canonical(platform::NativePath(path), ignored);
        return canonical.empty() ? path : canonical.u16string();
    };
    for (const std::u16string* data :
         {&tracker.config_path, &tracker.save_path, &tracker.stats_path}) {
        if (EqualIgnoringAsciiCase(resolved(file), resolved(*data))) return true;
    }
    return false;
}

bool WriteOutputFile(const std::u16string& file, std::string_view text) {
    if (!ReportCannotWrite(file, platform::WriteFileDurably(file, text))) return true;
    // Only a file of ours goes: --output may name a device such as /dev/full.
    std::error_code ignored;
    if (std::filesystem::is_regular_file(platform::NativePath(file), ignored)) {
        platform::RemoveFile(file);
    }
    return false;
}

int DeliverDocument(const std::optional<std::u16string>& output, std::string_view document,
                    int status) {
    if (document.empty()) return status;
    if (output) return WriteOutputFile(*output, document) ? status : EXIT_CANNOT_WRITE;
    WriteStdout(document);
    return status;
}
