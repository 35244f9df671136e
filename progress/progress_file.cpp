// Loading and saving the progress file. Loading reads raw bytes and applies the text-mode
// rules itself, so every platform reads a file the same way. Saving never leaves a half
// written file: the new content goes to a temporary file beside the old one, reaches the
// disk, and then takes the old file's place in one step. A save that cannot finish leaves
// the old file as it was and says why; later check passes save the whole state again.

#include "progress/progress_file.h"

#include <chrono>
#include <mutex>
#include <vector>

#include "platform/desktop.h"
#include "platform/files.h"
#include "text/utf8.h"
#include "tracker/tracker.h"
#include "tracker/window_messages.h"

namespace {

using platform::FileError;

constexpr char END_OF_TEXT = 0x1A;
constexpr int REPLACE_ATTEMPTS = 5;
constexpr unsigned REPLACE_RETRY_MS = 20;

bool FitsOneByte(std::u16string_view id) {
    for (const char16_t unit : id) {
        if (unit > 0xFF) return false;
    }
    return true;
}

std::u16string FromLatin1(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) text.push_back(static_cast<unsigned char>(byte));
    return text;
}

// A line for an id with '=' would be read as the key before that '=', and could overturn
// the flag of the achievement with that id; a 0x1A byte would end the text for every line
// after it. Neither id can ever read back as completed, so its line is left out.
bool CanReadBack(std::u16string_view id) {
    return id.find(u'=') == std::u16string_view::npos &&
           id.find(static_cast<char16_t>(END_OF_TEXT)) == std::u16string_view::npos;
}

void AppendLatin1(std::string& out, std::u16string_view id) {
    for (const char16_t unit : id)
        out.push_back(static_cast<char>(static_cast<unsigned char>(unit)));
}

void ParseLine(std::size_t number, std::string_view line, std::vector<ProgressFileLine>& out) {
    const size_t separator = line.find('=');
    if (separator == std::string_view::npos) return;
    const std::string_view key = line.substr(0, separator);
    const std::string_view value = line.substr(separator + 1);
    if (value == DONE_UTF8_VALUE) {
        // A key that is not well-formed UTF-8 names no achievement this program wrote.
        if (std::optional<std::u16string> id = DecodeWtf8(key)) {
            out.push_back({number, std::move(*id), true});
        }
        return;
    }
    out.push_back({number, FromLatin1(key), value == DONE_VALUE});
}

// Virus scanners, backup tools and editors hold files open for a moment, and Windows refuses
// to replace a file that is open; a short retry rides that out.
FileError ReplaceWithRetries(const std::u16string& from, const std::u16string& to) {
    for (int attempt = 1;; ++attempt) {
        const FileError error = platform::ReplaceFileAtomically(from, to);
        if (error == FileError::None || attempt == REPLACE_ATTEMPTS) return error;
        platform::SleepMilliseconds(REPLACE_RETRY_MS);
    }
}

// Windows reports a directory where a file must go as access denied; the user is better
// told that a folder has the file's name.
FileError Explain(FileError error, const std::u16string& path) {
    if (error == FileError::None || error == FileError::IsDirectory) return error;
    return platform::QueryFile(path).directory ? FileError::IsDirectory : error;
}

SaveProblem WriteProgressFile(const std::u16string& save_path,
                              const std::vector<Achievement>& achievements) {
    // A read-only file or a directory of that name is left alone. Checked first because a
    // rename would replace a read-only file on some systems.
    const platform::FileFacts facts = platform::QueryFile(save_path);
    if (facts.directory) return {FileError::IsDirectory, false};
    if (facts.read_only) return {FileError::ReadOnly, false};

    const std::u16string temporary = TemporarySavePath(save_path);
    FileError error = platform::WriteFileDurably(temporary, SerializeProgress(achievements));
    if (error != FileError::None) {
        platform::RemoveFile(temporary);
        return {Explain(error, temporary), true};
    }
    error = ReplaceWithRetries(temporary, save_path);
    if (error != FileError::None) {
        platform::RemoveFile(temporary);
        return {Explain(error, save_path), false};
    }
    return {};
}

}  // namespace

std::vector<ProgressFileLine> ReadProgressFileLines(std::string_view bytes) {
    const size_t end_of_text = bytes.find(END_OF_TEXT);
    if (end_of_text != std::string_view::npos) bytes = bytes.substr(0, end_of_text);
    std::vector<ProgressFileLine> lines;
    for (std::size_t number = 1; !bytes.empty(); ++number) {
        const size_t line_feed = bytes.find('\n');
        std::string_view line = bytes.substr(0, line_feed);
        if (line_feed == std::string_view::npos) {
            bytes = {};  // last line without a line end; a lone CR at its end stays in it
        } else {
            bytes.remove_prefix(line_feed + 1);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        }
        ParseLine(number, line, lines);
    }
    return lines;
}

CompletedMap ParseProgress(std::string_view bytes) {
    CompletedMap map;
    for (ProgressFileLine& line : ReadProgressFileLines(bytes)) map[std::move(line.id)] = line.done;
    return map;
}

bool ProgressCanHold(std::u16string_view id) {
    return CanReadBack(id);
}

std::string SerializeProgress(const std::vector<Achievement>& achievements) {
    std::string out;
    for (const Achievement& achievement : achievements) {
        if (!achievement.completed || !CanReadBack(achievement.id)) continue;
        if (FitsOneByte(achievement.id)) {
            AppendLatin1(out, achievement.id);
            out += '=';
            out += DONE_VALUE;
        } else {
            out += EncodeWtf8(achievement.id);
            out += '=';
            out += DONE_UTF8_VALUE;
        }
        out += "\r\n";
    }
    return out;
}

std::u16string TemporarySavePath(const std::u16string& save_path) {
    return save_path + u".tmp";
}

void AchievementTracker::LoadProgress() {
    completed_map.clear();
    if (!platform::FileExists(save_path)) return;
    completed_map = ParseProgress(platform::ReadFileBytes(save_path));
    for (Achievement& achievement : achievements) {
        achievement.completed = completed_map[achievement.id];
    }
}

// A save that cannot finish marks the progress as pending, so that later check passes and
// the tracker's end try again instead of leaving an unlock only in memory until the next one.
// The main window hears of every change in why saves fail.
void AchievementTracker::SaveProgress() {
    save_pending = true;
    const SaveProblem problem = WriteProgressFile(save_path, achievements);
    save_pending = problem.reason != FileError::None;
    if (save_pending) {
        ++save_failures;
        last_save_failure = std::chrono::steady_clock::now();
    } else {
        save_failures = 0;
    }
    if (save_problem.exchange(problem) != problem && main_window != nullptr) {
        platform::PostToWindow(main_window, WM_SAVE_STATUS_CHANGED, 0, 0);
    }
}

bool AchievementTracker::SaveIfPending() {
    std::unique_lock<std::mutex> lock(pass_mutex, std::try_to_lock);
    if (!lock.owns_lock()) return false;
    if (save_pending) SaveProgress();
    return !save_pending;
}
