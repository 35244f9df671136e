#include "check/options.h"

#include <cwctype>

#include "text/utf8.h"

namespace {

// Far more than anyone watches, and well inside what the steady clock counts.
constexpr double MAX_WATCH_SECONDS = 1e9;

// A word right after --watch that begins with a digit is its SECONDS; any other is DIR.
bool TakeSeconds(Options& options, const std::vector<std::u16string>& arguments,
                 std::size_t& index) {
    if (index + 1 == arguments.size() || !std::iswdigit(arguments[index + 1][0])) return true;
    const std::u16string& text = arguments[++index];
    // Begins with a digit and is short, so that the conversion can neither fail nor overflow.
    if (text.size() > 16 || text.find_first_not_of(u"0123456789.") != std::u16string::npos) {
        return false;
    }
    std::size_t used = 0;
    options.seconds = std::stod(Utf16ToUtf8(text), &used);
    return used == text.size() && *options.seconds <= MAX_WATCH_SECONDS;
}

// --format, --desktop, --history or --watch [SECONDS] at `index`; why it is not understood, or
// empty.
std::string TakeMode(Options& options, const std::vector<std::u16string>& arguments,
                     std::size_t& index) {
    const std::u16string& argument = arguments[index];
    const Mode mode = argument == u"--format"    ? Mode::Format
                      : argument == u"--desktop" ? Mode::Desktop
                      : argument == u"--history" ? Mode::History
                                                 : Mode::Watch;
    if (options.mode != Mode::Check && options.mode != mode) {
        return "--format, --desktop, --watch and --history exclude each other";
    }
    options.mode = mode;
    if (mode != Mode::Watch || TakeSeconds(options, arguments, index)) return {};
    return "--watch takes a number of seconds up to 1000000000, not " + Quoted(arguments[index]);
}

}  // namespace

std::variant<Options, std::string> ParseOptions(const std::vector<std::u16string>& arguments) {
    Options options;
    bool directory_given = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::u16string& argument = arguments[index];
        std::string why;
        if (argument == u"--help" || argument == u"-h" || argument == u"/?") {
            options.mode = Mode::Help;
            return options;
        } else if (argument == u"--strict") {
            options.strict = true;
        } else if (argument == u"--spoilers") {
            options.spoilers = true;
        } else if (argument == u"--write" || argument == u"--drop-extra") {
            (argument == u"--write" ? options.write : options.drop_extra) = true;
        } else if (argument == u"--unlock" || argument == u"--output") {
            if (index + 1 == arguments.size()) return Utf16ToUtf8(argument) + " needs a value";
            (argument == u"--unlock" ? options.unlock_id : options.output) = arguments[++index];
        } else if (argument == u"--format" || argument == u"--desktop" || argument == u"--watch" ||
                   argument == u"--history") {
            why = TakeMode(options, arguments, index);
        } else if (argument.starts_with(u"-") || directory_given) {
            why = argument.starts_with(u"-") ? "unknown option " : "more than one folder: ";
            why += Quoted(argument);
        } else {
            options.directory = argument;
            directory_given = true;
        }
        if (!why.empty()) return why;
    }
    if ((options.write || options.drop_extra) && options.mode != Mode::Format) {
        return "--write and --drop-extra go with --format only";
    }
    if (options.spoilers && options.mode != Mode::Desktop && options.mode != Mode::Watch) {
        return "--spoilers goes with --desktop or --watch only";
    }
    if (options.unlock_id && options.mode != Mode::Check) {
        return "--unlock goes with none of --format, --desktop, --watch and --history";
    }
    return options;
}
