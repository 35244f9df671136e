// laurelight-check [DIR] [--unlock ID] [--strict] [--format [--write]] [--output FILE]
// laurelight-check [DIR] --desktop | --watch [SECONDS]
//
// Acts as if Laurelight.exe stood in DIR (default: the current directory): loads bin\adv.json
// and adv_save.txt exactly as the program does and prints one JSON document to stdout. With
// --unlock it completes one achievement as an unlock would and saves the progress first, or
// hands the unlock to Laurelight when it runs for the folder (check/unlock_command.h).
// --desktop and --watch show what a check pass sees on the desktop now (desktop_view.h).
//
// Exit codes: 0 loaded; 1 the configuration did not load (the program's message on stderr);
// 2 no pending achievement has the id given to --unlock; 3 --strict and there were findings;
// 4 --output or --write could not write its file; 5 --format and the file is not JSON;
// 6 --format and some values cannot be carried (named on stderr); 7 the unlock was not saved
// (the file and the reason on stderr); 8 Laurelight runs for the folder and did not take the
// unlock in time (nothing changed); 64 the command line was not understood.

#include <filesystem>
#include <optional>

#include "check/check_document.h"
#include "check/console.h"
#include "check/desktop_view.h"
#include "check/exit_codes.h"
#include "check/format_command.h"
#include "check/unlock_command.h"
#include "config/config_loader.h"
#include "text/utf8.h"

namespace {

constexpr std::string_view USAGE =
    "usage: laurelight-check [DIR] [--unlock ID] [--strict] [--format [--write]] [--output FILE]\n"
    "       laurelight-check [DIR] --desktop | --watch [SECONDS] [--output FILE]\n"
    "  DIR          folder of Laurelight.exe (default: the current folder)\n"
    "  --unlock ID  complete the first open achievement with this id and save the progress\n"
    "               (exit 7 when the progress could not be saved); while Laurelight runs for\n"
    "               DIR it does the unlock (exit 8 when it does not answer in time)\n"
    "  --strict     exit with 3 when the configuration has findings\n"
    "  --format     print bin\\adv.json, read as JSON, in the layout Laurelight reads\n"
    "  --write      with --format: replace adv.json by it (the old file becomes adv.json.bak)\n"
    "  --output FILE  write the JSON to FILE as UTF-8 instead of to stdout\n"
    "  --desktop    show the running processes, the visible windows and which open\n"
    "               achievement's trigger is met now; nothing is unlocked or written\n"
    "  --watch      print a line whenever a trigger becomes met or stops being met, every\n"
    "               500 ms, for SECONDS or until Ctrl+C\n";

struct Options {
    std::u16string directory = u".";
    std::optional<std::u16string> unlock_id;
    bool strict = false;
    bool help = false;
    bool format = false;
    bool write = false;
    std::optional<std::u16string> output;
};

std::optional<Options> ParseOptions(const std::vector<std::u16string>& arguments) {
    Options options;
    bool directory_given = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::u16string& argument = arguments[index];
        if (argument == u"--help" || argument == u"-h") {
            options.help = true;
        } else if (argument == u"--strict") {
            options.strict = true;
        } else if (argument == u"--unlock" && index + 1 < arguments.size()) {
            options.unlock_id = arguments[++index];
        } else if (argument == u"--format" || argument == u"--write") {
            (argument == u"--format" ? options.format : options.write) = true;
        } else if (argument == u"--output" && index + 1 < arguments.size()) {
            options.output = arguments[++index];
        } else if (argument.starts_with(u"-") || directory_given) {
            return std::nullopt;
        } else {
            options.directory = argument;
            directory_given = true;
        }
    }
    if ((options.write && !options.format) || (options.format && options.unlock_id)) {
        return std::nullopt;
    }
    return options;
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

int Run(const Options& options, const DesktopOptions& desktop) {
    AchievementTracker tracker(nullptr, AbsoluteDirectory(options.directory) + u"\\Laurelight.exe");
    if (options.output) {
        const int status = RedirectOutput(*options.output, tracker.config_path);
        if (status != 0) return status;
    }
    if (options.format) return RunFormat(tracker.config_path, options.write);
    ScanReport report;
    const std::u16string failure =
        LoadAchievements(tracker.config_path, tracker.achievements, &report);
    if (!failure.empty()) {
        WriteStderr(Utf16ToUtf8(failure) + "\n" + FindingsText(report));
        return EXIT_LOAD_FAILED;
    }
    tracker.LoadProgress();
    if (desktop.wanted()) return RunDesktop(tracker, desktop);
    int status = options.unlock_id ? RunUnlock(tracker, *options.unlock_id) : 0;
    if (status == EXIT_NO_ANSWER) return status;  // what the program holds is not known
    WriteStdout(CheckDocument(tracker, report)
                    .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) +
                "\n");
    if (status == 0 && options.strict && !report.findings.empty()) status = EXIT_FINDINGS;
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::u16string> arguments = CommandLineArguments(argc, argv);
    const DesktopOptions desktop = TakeDesktopOptions(arguments);
    const std::optional<Options> options = ParseOptions(arguments);
    if (!options || (desktop.wanted() && (options->unlock_id || options->format))) {
        WriteStderr(USAGE);
        return EXIT_USAGE;
    }
    if (options->help) {
        WriteStdout(USAGE);
        return 0;
    }
    return Run(*options, desktop);
}
