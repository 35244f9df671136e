#include "check/format_command.h"

#include <filesystem>
#include <system_error>

#include "check/console.h"
#include "check/exit_codes.h"
#include "check/format_config.h"
#include "config/config_edit.h"
#include "config/config_loader.h"
#include "config/config_scan.h"
#include "platform/files.h"
#include "text/text_encoding.h"
#include "text/utf8.h"

namespace {

// Through the configuration's one writer, which keeps adv.json.bak. Only the bytes that were
// formatted are replaced: a file written by someone else since is left alone (an edit saved
// meanwhile would otherwise be lost).
bool ReplaceKeepingBackup(const std::u16string& path, const std::string& formatted_from,
                          const std::string& text) {
    const ConfigWrite write = ApplyConfigEdit(path, [&](std::string_view now) {
        return now != formatted_from ? ConfigEdit{EditRefusal::NoList, 0, {}, {}}
                                     : ConfigEdit{EditRefusal::None, 0, text, {}};
    });
    return write.refusal == EditRefusal::None && write.error == platform::FileError::None;
}

// Reads and formats the configuration; the exit code of why that cannot be done (said on
// stderr), or 0. An empty file goes to the parser, which says that nothing is there to load.
int Format(const std::u16string& config_path, ConfigFile& file, FormattedConfig& formatted) {
    file = ReadConfigFile(config_path);
    std::error_code error;
    const auto size = std::filesystem::file_size(platform::NativePath(config_path), error);
    if (!file.failure.empty() && (error || size != 0)) {
        WriteStderr(Utf16ToUtf8(file.failure) + "\n");
        return EXIT_LOAD_FAILED;
    }
    formatted = FormatConfig(TextAsUtf8(file.content));
    if (!formatted.error.empty()) {
        const bool utf8 = DetectEncoding(file.content).encoding == TextEncoding::Utf8;
        if (const std::size_t line = utf8 ? FirstLineNotUtf8(file.content) : 0; line != 0) {
            formatted.error += "\nline " + std::to_string(line) +
                               " is not UTF-8 (ANSI or GBK?): save the file as UTF-8 first";
        }
        WriteStderr(formatted.error + "\n");
        return EXIT_NOT_JSON;
    }
    // The program's own scanner has the last word on what the new file loads.
    std::vector<Achievement> loaded;
    ScanAchievements(formatted.text, loaded);
    if (loaded != formatted.achievements) {
        formatted.lost.push_back("the formatted file would not load the same achievements");
    }
    return 0;
}

}  // namespace

int RunFormat(const std::u16string& config_path, const Options& options, std::string& out) {
    ConfigFile file;
    FormattedConfig formatted;
    const int status = Format(config_path, file, formatted);
    if (status != 0) return status;
    for (const std::string& line : formatted.lost) WriteStderr(line + "\n");
    // With --drop-extra, members Laurelight never reads may go; anything else lost still counts.
    const bool lost = !formatted.lost.empty() &&
                      (!options.drop_extra || formatted.lost.size() > formatted.extra_members_lost);
    if (!options.write) out = formatted.text;
    if (lost && options.write) WriteStderr(Utf16ToUtf8(config_path) + " is left as it is\n");
    if (lost || !options.write) return lost ? EXIT_VALUES_LOST : 0;
    if (!ReplaceKeepingBackup(config_path, file.content, formatted.text)) {
        WriteStderr("could not replace " + Utf16ToUtf8(config_path) +
                    " (or it changed while it was formatted: run again)\n");
        return EXIT_CANNOT_WRITE;
    }
    WriteStderr("rewrote " + Utf16ToUtf8(config_path) + "; the previous file is adv.json.bak\n");
    return 0;
}
