#pragma once
// The command line of laurelight-check, parsed and checked in one place.

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

inline constexpr std::string_view USAGE =
    "usage: laurelight-check [DIR] [--unlock ID] [--strict] [--output FILE]\n"
    "       laurelight-check [DIR] --format [--write] [--drop-extra] [--output FILE]\n"
    "       laurelight-check [DIR] --desktop | --watch [SECONDS] [--spoilers] [--output FILE]\n"
    "       laurelight-check [DIR] --history [--output FILE.csv]\n"
    "       laurelight-check [DIR] --add ID --title TEXT (--process NAME | --window \"A|B\")\n"
    "                        [--description TEXT] [--trigger-description TEXT]\n"
    "                        [--goal \"3 starts\"] [--hidden]\n"
    "       laurelight-check [DIR] --edit ID [any of those options] [--not-hidden]\n"
    "       laurelight-check [DIR] --remove ID\n"
    "DIR is the folder of Laurelight.exe (default: the current folder).\n"
    "  --unlock ID   complete the first open achievement with this id and save the progress\n"
    "                (Laurelight does it while it runs for DIR)\n"
    "  --strict      exit with 3 when the configuration has findings\n"
    "  --format      print bin\\adv.json, read as JSON, in the layout Laurelight reads;\n"
    "                --write replaces adv.json by it (the old file becomes adv.json.bak),\n"
    "                --drop-extra leaves out members that are not read and cannot be carried\n"
    "  --desktop     show the running processes, the visible windows and which pending\n"
    "                achievement's trigger is met now; nothing is unlocked or written\n"
    "  --watch       print a line whenever a trigger becomes met or stops being met, every\n"
    "                500 ms, for SECONDS or until Ctrl+C\n"
    "  --spoilers    with --desktop or --watch, also show hidden achievements' titles and\n"
    "                triggers\n"
    "  --history     list the completed achievements in the order they were unlocked\n"
    "                (time, id, title); with --output, as CSV for a spreadsheet\n"
    "  --add ID      add an achievement to bin\\adv.json (the old file becomes adv.json.bak);\n"
    "                without a trigger description, the trigger gives one (\"运行 NAME\")\n"
    "  --edit ID     change only the members named by the options; --process or --window\n"
    "                sets the trigger, --goal \"\" takes the goal away, --not-hidden the secret\n"
    "  --remove ID   take the achievement out of bin\\adv.json\n"
    "  --output FILE write the JSON to FILE as UTF-8 instead of to stdout\n"
    "  --help        show this text\n";

enum class Mode { Check, Format, Desktop, Watch, History, Add, Edit, Remove, Help };

// The members --add and --edit set; an option not given leaves its member as it is.
struct EntryOptions {
    std::optional<std::u16string> title;
    std::optional<std::u16string> description;
    std::optional<std::u16string> trigger_description;
    std::optional<std::u16string> process;  // process_name and its value
    std::optional<std::u16string> window;   // window_title and its value
    std::optional<std::u16string> goal;
    std::optional<bool> hidden;  // --hidden, --not-hidden
    friend bool operator==(const EntryOptions&, const EntryOptions&) = default;
};

struct Options {
    Mode mode = Mode::Check;
    std::u16string directory = u".";
    std::optional<std::u16string> output;
    std::optional<std::u16string> unlock_id;  // Check
    bool strict = false;                      // Check
    bool write = false;                       // Format
    bool drop_extra = false;                  // Format
    std::optional<double> seconds;            // Watch; without it, until Ctrl+C
    bool spoilers = false;                    // Desktop, Watch
    std::u16string entry_id;                  // Add, Edit, Remove
    EntryOptions entry;                       // Add, Edit
};

// The options, or why the command line is not understood.
std::variant<Options, std::string> ParseOptions(const std::vector<std::u16string>& arguments);
