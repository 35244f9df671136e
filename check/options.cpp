#include "check/options.h"

#include <array>
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

// The options that name a mode, with the mode, and whether an ID follows.
struct ModeOption {
    std::u16string_view name;
    Mode mode;
    bool takes_id;
};
constexpr std::array<ModeOption, 7> MODE_OPTIONS = {{
    {u"--format", Mode::Format, false},
    {u"--desktop", Mode::Desktop, false},
    {u"--watch", Mode::Watch, false},
    {u"--history", Mode::History, false},
    {u"--add", Mode::Add, true},
    {u"--edit", Mode::Edit, true},
    {u"--remove", Mode::Remove, true},
}};

const ModeOption* FindModeOption(std::u16string_view argument) {
    for (const ModeOption& option : MODE_OPTIONS) {
        if (option.name == argument) return &option;
    }
    return nullptr;
}

// The options that set one member of an entry to the text after them.
struct MemberOption {
    std::u16string_view name;
    std::optional<std::u16string> EntryOptions::*member;
};
constexpr std::array<MemberOption, 6> MEMBER_OPTIONS = {{
    {u"--title", &EntryOptions::title},
    {u"--description", &EntryOptions::description},
    {u"--trigger-description", &EntryOptions::trigger_description},
    {u"--process", &EntryOptions::process},
    {u"--window", &EntryOptions::window},
    {u"--goal", &EntryOptions::goal},
}};

std::optional<std::u16string> EntryOptions::*FindMemberOption(std::u16string_view argument) {
    for (const MemberOption& option : MEMBER_OPTIONS) {
        if (option.name == argument) return option.member;
    }
    return nullptr;
}

// A mode's option at `index` (and its SECONDS or ID); why it is not understood, or empty.
std::string TakeMode(Options& options, const std::vector<std::u16string>& arguments,
                     std::size_t& index, const ModeOption& option) {
    if (options.mode != Mode::Check && options.mode != option.mode) {
        return "--format, --desktop, --watch, --history, --add, --edit and --remove exclude "
               "each other";
    }
    options.mode = option.mode;
    if (option.takes_id) {
        if (index + 1 == arguments.size()) return Utf16ToUtf8(option.name) + " needs an id";
        options.entry_id = arguments[++index];
        return {};
    }
    if (option.mode != Mode::Watch || TakeSeconds(options, arguments, index)) return {};
    return "--watch takes a number of seconds up to 1000000000, not " + Quoted(arguments[index]);
}

// Why the options of --add, --edit and --remove do not go together, or empty.
std::string CheckEntryOptions(const Options& options) {
    const EntryOptions& entry = options.entry;
    const bool edits = options.mode == Mode::Add || options.mode == Mode::Edit;
    if (!edits && entry != EntryOptions{}) {
        return "--title, --description, --trigger-description, --process, --window, --goal, "
               "--hidden and --not-hidden go with --add or --edit only";
    }
    if (!edits && options.mode != Mode::Remove) return {};
    if (options.output || options.strict) {
        return "--output and --strict go with none of --add, --edit and --remove";
    }
    if (entry.process && entry.window) return "--process and --window exclude each other";
    if (options.mode == Mode::Add && (!entry.title || !(entry.process || entry.window))) {
        return "--add needs --title and one of --process and --window";
    }
    if (options.mode == Mode::Add && entry.hidden == false)
        return "--not-hidden goes with --edit only";
    if (options.mode == Mode::Edit && entry == EntryOptions{}) {
        return "--edit needs at least one of --title, --description, --trigger-description, "
               "--process, --window, --goal, --hidden and --not-hidden";
    }
    return {};
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
        } else if (argument == u"--hidden" || argument == u"--not-hidden") {
            options.entry.hidden = argument == u"--hidden";
        } else if (argument == u"--unlock" || argument == u"--output") {
            if (index + 1 == arguments.size()) return Utf16ToUtf8(argument) + " needs a value";
            (argument == u"--unlock" ? options.unlock_id : options.output) = arguments[++index];
        } else if (const auto member = FindMemberOption(argument)) {
            if (index + 1 == arguments.size()) return Utf16ToUtf8(argument) + " needs a value";
            options.entry.*member = arguments[++index];
        } else if (const ModeOption* mode = FindModeOption(argument)) {
            why = TakeMode(options, arguments, index, *mode);
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
        return "--unlock goes with none of --format, --desktop, --watch, --history, --add, --edit "
               "and --remove";
    }
    if (std::string why = CheckEntryOptions(options); !why.empty()) return why;
    return options;
}
