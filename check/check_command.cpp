#include "check/check_command.h"

#include <filesystem>
#include <system_error>

#include "check/check_document.h"
#include "check/console.h"
#include "check/desktop_view.h"
#include "check/edit_command.h"
#include "check/exit_codes.h"
#include "check/format_command.h"
#include "check/goal_findings.h"
#include "check/history.h"
#include "check/output_file.h"
#include "check/progress_findings.h"
#include "check/unlock_command.h"
#include "config/config_loader.h"
#include "platform/files.h"
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

// --watch: the output file is written whole at every change, so it never holds part of a line.
int RunWatch(const Options& options, const AchievementTracker& tracker) {
    if (options.output && !WriteOutputFile(*options.output, "")) return EXIT_CANNOT_WRITE;
    std::string lines;
    return Watch(tracker, options.seconds, options.spoilers, [&](const std::string& line) {
        if (!options.output) return WriteStdout(line);
        lines += line;
        return WriteOutputFile(*options.output, lines);
    });
}

// The check document, after --unlock when it is given.
int RunCheck(const Options& options, AchievementTracker& tracker, ScanReport& report,
             std::string& out) {
    const int status = options.unlock_id ? RunUnlock(tracker, *options.unlock_id) : 0;
    // What the program holds is not known.
    if (status == EXIT_NO_ANSWER || status == EXIT_UNKNOWN_REPLY) return status;
    ReportGoalFindings(tracker, report);
    ReportProgressFindings(tracker, report);
    out = Dump(CheckDocument(tracker, report), 2) + "\n";
    if (status == 0 && options.strict && !report.findings.empty()) return EXIT_FINDINGS;
    return status;
}

}  // namespace

int RunCheckCommand(const Options& options, std::string& out) {
    AchievementTracker tracker(nullptr, AbsoluteDirectory(options.directory) + u"\\Laurelight.exe");
    // Paths as this system writes them: '/' on Linux, the program's own derivation on Windows.
    for (std::u16string* path : {&tracker.config_path, &tracker.save_path, &tracker.stats_path}) {
        *path = platform::NativePath(*path).u16string();
    }
    if (options.output && NamesDataFile(*options.output, tracker)) {
        WriteStderr(
            "--output names adv.json, adv_save.txt or adv_stats.txt; use --format --write for "
            "adv.json\n");
        return EXIT_USAGE;
    }
    if (options.mode == Mode::Format) return RunFormat(tracker.config_path, options, out);
    if (options.mode == Mode::Add || options.mode == Mode::Edit || options.mode == Mode::Remove) {
        return RunEdit(tracker.config_path, options);
    }
    ScanReport report;
    const std::u16string failure =
        LoadAchievements(tracker.config_path, tracker.achievements, &report);
    if (!failure.empty()) {
        WriteStderr(Utf16ToUtf8(failure) + "\n" + FindingsText(report));
        return EXIT_LOAD_FAILED;
    }
    tracker.LoadProgress();
    switch (options.mode) {
        case Mode::Watch:
            return RunWatch(options, tracker);
        case Mode::Desktop:
            out = Dump(DesktopDocument(tracker, options.spoilers), 2) + "\n";
            return 0;
        case Mode::History:
            out = options.output ? HistoryCsv(tracker) : HistoryText(tracker);
            return 0;
        default:
            return RunCheck(options, tracker, report, out);
    }
}
