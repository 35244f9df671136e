// laurelight-check: acts as if Laurelight.exe stood in DIR (default: the current directory),
// loads bin\adv.json and adv_save.txt exactly as the program does and prints one JSON document.
// --unlock completes one achievement as an unlock would and saves the progress first, or hands
// it to Laurelight when that runs for the folder (unlock_command.h);
// --format rewrites the configuration in the layout the program reads (format_command.h);
// --desktop and --watch show what a check pass sees on the desktop now (desktop_view.h).

#include <filesystem>
#include <system_error>
#include <variant>

#include "check/check_document.h"
#include "check/console.h"
#include "check/desktop_view.h"
#include "check/exit_codes.h"
#include "check/format_command.h"
#include "check/options.h"
#include "check/progress_findings.h"
#include "check/unlock_command.h"
#include "config/config_loader.h"
#include "platform/files.h"
#include "progress/save_status.h"
#include "text/utf8.h"

namespace {

// As the progress file's save line says it; a missing folder is told apart from "write failed".
bool Failed(const std::u16string& file, platform::FileError error) {
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

// Whether FILE is adv.json or adv_save.txt in any spelling (letter case too, as Windows reads
// it), which writing it would empty before they are read.
bool NamesDataFile(const std::u16string& file, const AchievementTracker& tracker) {
    const auto resolved = [](const std::u16string& path) {
        std::error_code ignored;
        const auto canonical =
            std::filesystem::weakly_canonical(platform::NativePath(path), ignored);
        return canonical.empty() ? path : canonical.u16string();
    };
    for (const std::u16string* data : {&tracker.config_path, &tracker.save_path}) {
        if (EqualIgnoringAsciiCase(resolved(file), resolved(*data))) return true;
    }
    return false;
}

// The whole text goes into the file; otherwise the user is told why, and no part is left.
bool WriteOutputFile(const std::u16string& file, std::string_view text) {
    if (!Failed(file, platform::WriteFileDurably(file, text))) return true;
    // Only a file of ours goes: --output may name a device such as /dev/full.
    std::error_code ignored;
    if (std::filesystem::is_regular_file(platform::NativePath(file), ignored)) {
        platform::RemoveFile(file);
    }
    return false;
}

// The folder as an absolute path without a trailing separator.
std::u16string AbsoluteDirectory(const std::u16string& directory) {
    std::error_code ignored;
    std::filesystem::path path = std::filesystem::absolute(directory, ignored);
    if (path.empty()) path = directory;
    std::u16string text = path.lexically_normal().u16string();
    while (!text.empty() && (text.back() == u'/' || text.back() == u'\\')) text.pop_back();
    return text;
}

// Puts what goes to stdout, or to the --output file, into `out`; returns the exit code.
int Run(const Options& options, std::string& out) {
    AchievementTracker tracker(nullptr, AbsoluteDirectory(options.directory) + u"\\Laurelight.exe");
    // Paths as this system writes them: '/' on Linux, the program's own derivation on Windows.
    for (std::u16string* path : {&tracker.config_path, &tracker.save_path}) {
        *path = platform::NativePath(*path).u16string();
    }
    if (options.output && NamesDataFile(*options.output, tracker)) {
        WriteStderr("--output names adv.json or adv_save.txt; use --format --write for adv.json\n");
        return EXIT_USAGE;
    }
    if (options.mode == Mode::Format) return RunFormat(tracker.config_path, options, out);
    ScanReport report;
    const std::u16string failure =
        LoadAchievements(tracker.config_path, tracker.achievements, &report);
    if (!failure.empty()) {
        WriteStderr(Utf16ToUtf8(failure) + "\n" + FindingsText(report));
        return EXIT_LOAD_FAILED;
    }
    tracker.LoadProgress();
    if (options.mode == Mode::Watch) {
        // The file is written whole at every change, so it never holds a part of a line.
        if (options.output && !WriteOutputFile(*options.output, "")) return EXIT_CANNOT_WRITE;
        std::string lines;
        return Watch(tracker, options.seconds, [&](const std::string& line) {
            if (!options.output) return WriteStdout(line);
            lines += line;
            return WriteOutputFile(*options.output, lines);
        });
    }
    if (options.mode == Mode::Desktop) {
        out = Dump(DesktopDocument(tracker), 2) + "\n";
        return 0;
    }
    const int status = options.unlock_id ? RunUnlock(tracker, *options.unlock_id) : 0;
    // What the program holds is not known.
    if (status == EXIT_NO_ANSWER || status == EXIT_UNKNOWN_REPLY) return status;
    ReportProgressFindings(tracker, report);
    out = Dump(CheckDocument(tracker, report), 2) + "\n";
    if (status == 0 && options.strict && !report.findings.empty()) return EXIT_FINDINGS;
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = ParseOptions(CommandLineArguments(argc, argv));
    if (const std::string* why = std::get_if<std::string>(&parsed)) {
        WriteStderr(*why + "\n" + std::string(USAGE));
        return EXIT_USAGE;
    }
    const Options& options = std::get<Options>(parsed);
    if (options.mode == Mode::Help) {
        WriteStdout(USAGE);
        return 0;
    }
    std::string out;
    const int status = Run(options, out);
    if (out.empty()) return status;
    if (options.output) return WriteOutputFile(*options.output, out) ? status : EXIT_CANNOT_WRITE;
    WriteStdout(out);
    return status;
}
