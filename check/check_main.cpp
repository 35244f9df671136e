// laurelight-check: acts as if Laurelight.exe stood in DIR (default: the current directory),
// loads bin\adv.json and adv_save.txt exactly as the program does and prints one JSON document.
// --unlock completes one achievement as an unlock would and saves the progress first, or hands
// it to Laurelight when that runs for the folder (unlock_command.h);
// --format rewrites the configuration in the layout the program reads (format_command.h);
// --desktop and --watch show what a check pass sees on the desktop now (desktop_view.h).

#include <filesystem>
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
#include "text/utf8.h"

namespace {

// The folder as an absolute path without a trailing separator.
std::u16string AbsoluteDirectory(const std::u16string& directory) {
    std::error_code ignored;
    std::filesystem::path path = std::filesystem::absolute(directory, ignored);
    if (path.empty()) path = directory;
    std::u16string text = path.lexically_normal().u16string();
    while (!text.empty() && (text.back() == u'/' || text.back() == u'\\')) text.pop_back();
    return text;
}

int Run(const Options& options) {
    AchievementTracker tracker(nullptr, AbsoluteDirectory(options.directory) + u"\\Laurelight.exe");
    if (options.output) {
        const int status = RedirectOutput(*options.output, tracker.config_path);
        if (status != 0) return status;
    }
    if (options.mode == Mode::Format) return RunFormat(tracker.config_path, options.write);
    ScanReport report;
    const std::u16string failure =
        LoadAchievements(tracker.config_path, tracker.achievements, &report);
    if (!failure.empty()) {
        WriteStderr(Utf16ToUtf8(failure) + "\n" + FindingsText(report));
        return EXIT_LOAD_FAILED;
    }
    tracker.LoadProgress();
    if (options.mode == Mode::Watch) return Watch(tracker, options.seconds);
    if (options.mode == Mode::Desktop) {
        WriteStdout(Dump(DesktopDocument(tracker), 2) + "\n");
        return 0;
    }
    const int status = options.unlock_id ? RunUnlock(tracker, *options.unlock_id) : 0;
    if (status == EXIT_NO_ANSWER) return status;  // what the program holds is not known
    ReportProgressFindings(tracker, report);
    WriteStdout(Dump(CheckDocument(tracker, report), 2) + "\n");
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
    return Run(options);
}
