#include "check/format_command.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "check/console.h"
#include "check/format_config.h"
#include "config/config_loader.h"
#include "config/text_encoding.h"
#include "config/utf8.h"
#include "platform/files.h"

namespace {

constexpr int kExitLoadFailed = 1;

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

std::optional<std::string> ReadBytes(const std::u16string& path) {
    std::ifstream file(platform::NativePath(path), std::ios::in | std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The old file stays complete until the new one takes its name in one step. Windows refuses
// to replace a file that is still open, so the old bytes are read and the file closed first.
bool ReplaceKeepingBackup(const std::u16string& path, const std::string& text) {
    const std::optional<std::string> old_bytes = ReadBytes(path);
    const std::u16string temporary = path + u".tmp";
    using platform::FileError;
    const bool replaced =
        old_bytes && platform::WriteFileDurably(path + u".bak", *old_bytes) == FileError::None &&
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
        return kExitRefused;
    }
    if (RedirectStdout(output)) return 0;
    WriteStderr("cannot write " + Utf16ToUtf8(output) + "\n");
    return kExitCannotWrite;
}

int RunFormat(const std::u16string& config_path, bool write) {
    if (!platform::FileExists(config_path)) {
        WriteStderr(Utf16ToUtf8(std::u16string(kConfigMissingMessage) + config_path) + "\n");
        return kExitLoadFailed;
    }
    const std::string content = ReadWholeFile(config_path);
    if (content.empty()) {
        WriteStderr(Utf16ToUtf8(kConfigUnreadableMessage) + "\n");
        return kExitLoadFailed;
    }
    FormattedConfig formatted = FormatConfig(TextAsUtf8(content));
    if (!formatted.error.empty()) {
        const std::size_t not_utf8 =
            DetectEncoding(content).encoding == TextEncoding::Utf8 ? FirstLineNotUtf8(content) : 0;
        if (not_utf8 != 0) {
            formatted.error += "\nline " + std::to_string(not_utf8) +
                               " is not UTF-8 (ANSI or GBK?): save the file as UTF-8 first";
        }
        WriteStderr(formatted.error + "\n");
        return kExitNotJson;
    }
    // The program's own scanner has the last word on what the new file loads.
    std::vector<Achievement> loaded;
    ScanAchievements(formatted.text, loaded);
    if (loaded != formatted.records) {
        formatted.lost.push_back("the formatted file would not load the same achievements");
    }
    if (!formatted.lost.empty()) {
        WriteStderr(Lines(formatted.lost));
        if (write) {
            WriteStderr(Utf16ToUtf8(config_path) + " is left as it is\n");
        } else {
            WriteStdout(formatted.text);
        }
        return kExitValuesLost;
    }
    if (!write) {
        WriteStdout(formatted.text);
        return 0;
    }
    if (!ReplaceKeepingBackup(config_path, formatted.text)) {
        WriteStderr("could not replace " + Utf16ToUtf8(config_path) + "\n");
        return kExitCannotWrite;
    }
    WriteStderr("rewrote " + Utf16ToUtf8(config_path) + "; the previous file is adv.json.bak\n");
    return 0;
}
