// Loading and saving the progress file. Loading reads raw bytes and applies the text-mode
// rules itself, so every platform reads a file the same way. Saving never leaves a half
// written file (platform::ReplaceFileSafely). A save that cannot finish leaves the old file
// as it was and says why; later check passes save the whole state again.
//
// Other programs may write the file too: laurelight-check, a sync service carrying another
// machine's unlocks, an editor. A save therefore never drops a completion it did not make: it
// reads the file again first when it changed, takes over what it completes, and writes back
// the lines of ids that the configuration does not have.

#include "progress/progress_file.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "platform/desktop.h"
#include "platform/files.h"
#include "text/utf8.h"
#include "tracker/tracker.h"
#include "tracker/window_messages.h"

namespace {

using platform::FileError;

constexpr char END_OF_TEXT = 0x1A;

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

// A line without '=' names no id; nor does a UTF-8 key that is not well-formed: this program
// never wrote it.
void ParseLine(std::size_t number, std::string_view line, std::vector<ProgressFileLine>& out) {
    const size_t separator = line.find('=');
    if (separator == std::string_view::npos) return;
    const std::string_view key = line.substr(0, separator);
    const std::string_view value = line.substr(separator + 1);
    if (value != DONE_UTF8_VALUE) {
        out.push_back({number, FromLatin1(key), value == DONE_VALUE, std::string(line)});
    } else if (std::optional<std::u16string> id = DecodeWtf8(key)) {
        out.push_back({number, std::move(*id), true, std::string(line)});
    }
}

// The file's facts just before it was read, and its bytes: none when it exists as a file but
// cannot be read. An absent file, or a folder of its name, reads as empty.
struct Reading {
    platform::FileFacts stamp;
    std::optional<std::string> bytes;
};

Reading ReadSaveFile(const std::u16string& save_path) {
    Reading reading{platform::QueryFile(platform::LinkTarget(save_path)), std::string()};
    if (reading.stamp.exists && !reading.stamp.directory) {
        reading.bytes = platform::TryReadFileBytes(save_path);
    }
    return reading;
}

// The main window hears of every change in why saves fail.
void ReportSaveProblem(AchievementTracker& tracker, const SaveProblem& problem) {
    if (tracker.save_problem.exchange(problem) != problem && tracker.main_window != nullptr) {
        platform::PostToWindow(tracker.main_window, WM_SAVE_STATUS_CHANGED, 0, 0);
    }
}

// A file that cannot be read is not taken as empty: saving it would drop every completion it
// holds. The user is told, and passes read again until it can be read.
bool NoteReading(AchievementTracker& tracker, const Reading& reading) {
    tracker.progress_unread = !reading.bytes;
    if (tracker.progress_unread) {
        ReportSaveProblem(tracker, {FileError::Unreadable, false});
        return false;
    }
    tracker.progress_stamp = reading.stamp;
    if (tracker.save_problem.load().reason == FileError::Unreadable) ReportSaveProblem(tracker, {});
    return true;
}

bool Completes(const CompletedMap& file, const std::u16string& id) {
    const auto found = file.find(id);
    return found != file.end() && found->second;
}

// Lines of both, by id: the file's first, in its order, then those only this program holds.
std::vector<ProgressLine> MergeKeptLines(std::vector<ProgressLine> from_file,
                                         const std::vector<ProgressLine>& held) {
    std::set<std::u16string> ids;
    for (const ProgressLine& line : from_file) ids.insert(line.id);
    for (const ProgressLine& line : held) {
        if (ids.insert(line.id).second) from_file.push_back(line);
    }
    return from_file;
}

// Whether the file lacks a completion held here: then it is saved again.
bool FileLacksCompletions(const AchievementTracker& tracker, const CompletedMap& file) {
    for (const Achievement& achievement : tracker.achievements) {
        if (achievement.completed && CanReadBack(achievement.id) &&
            !Completes(file, achievement.id)) {
            return true;
        }
    }
    for (const ProgressLine& line : tracker.kept_lines) {
        if (!Completes(file, line.id)) return true;
    }
    return false;
}

// Completions are only ever added. A file that lacks one held here (a synced copy from
// another machine) is saved again with it.
bool TakeOver(AchievementTracker& tracker, std::string_view bytes) {
    const CompletedMap file = ParseProgress(bytes);
    bool completed_any = false;
    for (Achievement& achievement : tracker.achievements) {
        if (achievement.completed || !Completes(file, achievement.id)) continue;
        achievement.completed = true;
        completed_any = true;
    }
    for (const auto& [id, done] : file) {
        if (done) tracker.completed_map[id] = true;
        tracker.completed_map.try_emplace(id, false);
    }
    tracker.kept_lines = MergeKeptLines(DoneLines(bytes), tracker.kept_lines);
    if (FileLacksCompletions(tracker, file)) tracker.save_pending = true;
    return completed_any;
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

// A later line for the same id may take its completion back; then no line of it is kept.
std::vector<ProgressLine> DoneLines(std::string_view bytes) {
    std::vector<ProgressFileLine> lines = ReadProgressFileLines(bytes);
    CompletedMap map;
    for (const ProgressFileLine& line : lines) map[line.id] = line.done;
    std::vector<ProgressLine> done;
    std::set<std::u16string> seen;
    for (ProgressFileLine& line : lines) {
        if (!line.done || !map[line.id] || !seen.insert(line.id).second) continue;
        done.push_back({std::move(line.id), std::move(line.text)});
    }
    return done;
}

bool ProgressCanHold(std::u16string_view id) {
    return CanReadBack(id);
}

std::string SerializeProgress(const std::vector<Achievement>& achievements,
                              const std::vector<ProgressLine>& kept_lines) {
    std::string out;
    std::set<std::u16string_view> configured;
    for (const Achievement& achievement : achievements) {
        configured.insert(achievement.id);
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
    // Progress of an id the configuration lacks now (an entry removed for a while, a typo
    // being fixed) comes back with the id.
    for (const ProgressLine& line : kept_lines) {
        if (!configured.contains(line.id)) out += line.bytes + "\r\n";
    }
    return out;
}

// The goal counts beside it are read with it, so the first list shows their progress.
void AchievementTracker::LoadProgress() {
    goal_stats.clear();
    stats_read = false;
    ReadStatsIfChanged();
    completed_map.clear();
    kept_lines.clear();
    const Reading reading = ReadSaveFile(save_path);
    NoteReading(*this, reading);
    if (!reading.stamp.exists) return;
    const std::string bytes = reading.bytes.value_or(std::string());
    completed_map = ParseProgress(bytes);
    kept_lines = DoneLines(bytes);
    for (Achievement& achievement : achievements) {
        achievement.completed = completed_map[achievement.id];
    }
}

bool AchievementTracker::ReadProgressIfChanged() {
    const platform::FileFacts now = platform::QueryFile(platform::LinkTarget(save_path));
    if (!progress_unread && now == progress_stamp) return false;
    const Reading reading = ReadSaveFile(save_path);
    return NoteReading(*this, reading) && TakeOver(*this, *reading.bytes);
}

// A save that cannot finish marks the progress as pending, so that later check passes and
// the tracker's end try again instead of leaving an unlock only in memory until the next one.
// Only failed writes count towards spacing the retries out: a read that fails costs nothing.
void AchievementTracker::SaveProgress() {
    save_pending = true;
    ReadProgressIfChanged();
    if (progress_unread) return;
    const platform::Replacement replaced =
        platform::ReplaceFileSafely(save_path, SerializeProgress(achievements, kept_lines));
    const SaveProblem problem{replaced.error, replaced.step == platform::ReplaceStep::Temporary};
    save_pending = problem.reason != FileError::None;
    if (save_pending) {
        ++save_failures;
        last_save_failure = std::chrono::steady_clock::now();
    } else {
        save_failures = 0;
        progress_stamp = replaced.written;
    }
    ReportSaveProblem(*this, problem);
}

bool AchievementTracker::SaveIfPending() {
    std::unique_lock<std::mutex> lock(pass_mutex, std::try_to_lock);
    if (!lock.owns_lock()) return false;
    if (save_pending) SaveProgress();
    if (stats_changed) SaveStats();
    return !save_pending;
}
