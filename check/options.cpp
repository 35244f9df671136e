#include "check/options.h"

#include "text/utf8.h"

namespace {

std::optional<double> Seconds(const std::u16string& text) {
    if (text.empty() || text.find_first_not_of(u"0123456789.") != std::u16string::npos) {
        return std::nullopt;
    }
    try {
        return std::stod(Utf16ToUtf8(text));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// --format, --desktop or --watch [SECONDS] at `index`; why it is not understood, or empty.
std::string TakeMode(Options& options, const std::vector<std::u16string>& arguments,
                     std::size_t& index) {
    const std::u16string& argument = arguments[index];
    const Mode mode = argument == u"--format"    ? Mode::Format
                      : argument == u"--desktop" ? Mode::Desktop
                                                 : Mode::Watch;
    if (options.mode != Mode::Check && options.mode != mode) {
        return "--format, --desktop and --watch exclude each other";
    }
    options.mode = mode;
    if (mode == Mode::Watch && index + 1 < arguments.size() && Seconds(arguments[index + 1])) {
        options.seconds = Seconds(arguments[++index]);
    }
    return {};
}

// Why the options do not go together, or empty.
std::string Clash(const Options& options) {
    if (options.write && options.mode != Mode::Format) {
        return "--write goes with --format only";
    }
    if (options.unlock_id && options.mode != Mode::Check) {
        return "--unlock goes with none of --format, --desktop and --watch";
    }
    return {};
}

}  // namespace

std::variant<Options, std::string> ParseOptions(const std::vector<std::u16string>& arguments) {
    Options options;
    bool directory_given = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::u16string& argument = arguments[index];
        if (argument == u"--help" || argument == u"-h") {
            options.mode = Mode::Help;
            return options;
        } else if (argument == u"--strict") {
            options.strict = true;
        } else if (argument == u"--write") {
            options.write = true;
        } else if (argument == u"--unlock" || argument == u"--output") {
            if (index + 1 == arguments.size()) return Utf16ToUtf8(argument) + " needs a value";
            (argument == u"--unlock" ? options.unlock_id : options.output) = arguments[++index];
        } else if (argument == u"--format" || argument == u"--desktop" || argument == u"--watch") {
            std::string why = TakeMode(options, arguments, index);
            if (!why.empty()) return why;
        } else if (argument.starts_with(u"-")) {
            return "unknown option " + Quoted(argument);
        } else if (directory_given) {
            return "more than one folder: " + Quoted(argument);
        } else {
            options.directory = argument;
            directory_given = true;
        }
    }
    std::string clash = Clash(options);
    if (!clash.empty()) return clash;
    return options;
}
