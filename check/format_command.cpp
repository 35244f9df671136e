#include "check/format_command.h"

#include <filesystem>

#include "check/console.h"
#include "check/exit_codes.h"
#include "check/format_config.h"
#include "config/config_loader.h"
#include "config/config_scan.h"
#include "text/text_encoding.h"
#include "text/utf8.h"
#include "platform/files.h"

namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The old file stays complete until the new one takes its name in one step. Windows refuses
// to replace a file that is still open, so the old bytes are read and the file closed first.
// The file held a configuration a moment ago; no bytes now means it could not be read.
bool ReplaceKeepingBackup(const std::u16string& path, const std::string& text) {
    const std::string old_bytes = platform::ReadFileBytes(path);
    const std::u16string temporary = path + u".tmp";
    using platform::FileError;
    const bool replaced =
        !old_bytes.empty() &&
        platform::WriteFileDurably(path + u".bak", old_bytes) == FileError::None &&
        platform::WriteFileDurably(temporary, text) == FileError::None &&
        platform::ReplaceFileAtomically(temporary, path) == FileError::None;
    if (!replaced) platform::RemoveFile(temporary);
    return replaced;
}

}  // namespace

int RedirectOutput(const std::u16string& output, const std::u16string& config_path) {
    std::error_code error;
    if (std::filesystem::equivalent(platform::NativePath(output), platform::NativePath(config_path),
                                    error)) {
        WriteStderr("--output names the configuration itself; use --format --write\n");
        return EXIT_USAGE;
    }
    if (RedirectStdout(output)) return 0;
    WriteStderr("cannot write " + Utf16ToUtf8(output) + "\n");
    return EXIT_CANNOT_WRITE;
}

int RunFormat(const std::u16string& config_path, bool write) {
    const ConfigFile file = ReadConfigFile(config_path);
    if (!file.failure.empty()) {
        WriteStderr(Utf16ToUtf8(file.failure) + "\n");
        return EXIT_LOAD_FAILED;
    }
    const std::string& content = file.content;
    FormattedConfig formatted = FormatConfig(TextAsUtf8(content));
    if (!formatted.error.empty()) {
        const std::size_t not_utf8 =
            DetectEncoding(content).encoding == TextEncoding::Utf8 ? FirstLineNotUtf8(content) : 0;
        if (not_utf8 != 0) {
            formatted.error += "\nline " + std::to_string(not_utf8) +
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
    if (!formatted.lost.empty()) {
        WriteStderr(Lines(formatted.lost));
        if (write) {
            WriteStderr(Utf16ToUtf8(config_path) + " is left as it is\n");
        } else {
            WriteStdout(formatted.text);
        }
        return EXIT_VALUES_LOST;
    }
    if (!write) {
        WriteStdout(formatted.text);
        return 0;
    }
    if (!ReplaceKeepingBackup(config_path, formatted.text)) {
        WriteStderr("could not replace " + Utf16ToUtf8(config_path) + "\n");
        return EXIT_CANNOT_WRITE;
    }
    WriteStderr("rewrote " + Utf16ToUtf8(config_path) + "; the previous file is adv.json.bak\n");
    return 0;
}
