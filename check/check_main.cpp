// laurelight-check: acts as if Laurelight.exe stood in DIR (default: the current directory),
// loads bin\adv.json and adv_save.txt exactly as the program does and prints one JSON document.
// --unlock completes one achievement as an unlock would and saves the progress first, or hands
// it to Laurelight when that runs for the folder (unlock_command.h);
// --format rewrites the configuration in the layout the program reads (format_command.h);
// --desktop and --watch show what a check pass sees on the desktop now (desktop_view.h).
// The commands live in the check library (check_command.h); this is only the process.

#include <string>
#include <variant>

#include "check/check_command.h"
#include "check/console.h"
#include "check/exit_codes.h"
#include "check/options.h"
#include "check/output_file.h"

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
    const int status = RunCheckCommand(options, out);
    return DeliverDocument(options.output, out, status);
}
