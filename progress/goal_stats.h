#pragma once
// adv_stats.txt: what goal achievements have counted so far, and when achievements unlocked.
// It stands beside adv_save.txt, which keeps exactly its "id=done" lines, so versions without
// goals lose nothing in a folder that has it, and start every count at 0 in one that has not.
//
// One fact per line, ended by CR LF: a kind, a space, a value, a space and the id in UTF-8
// (lone surrogates kept, see text/utf8.h) up to the line end:
//   starts 3 notepad_three                   times the trigger became met
//   seconds 7260 editor_hours                time met while the user was present
//   day 2024-05-01 calculator_days           a local calendar day on which it was met
//   unlocked 2024-05-01T14:03:22 first_note  local date and time of the unlock
// Copies of the file (another computer, a sync service) merge by the larger count, the union
// of the days and the earlier unlock, so a count is never added twice. Lines this version
// cannot read (a newer version's kind, a value beyond the limits below) are kept and written
// back unchanged after the facts, so that a newer version's data survives an older one.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// A local calendar day as yyyymmdd, and a local date and time as yyyymmddhhmmss (0: unknown).
// Both order as the times they stand for.
using StatsDay = std::int32_t;
using StatsTime = std::int64_t;

StatsDay MakeStatsDay(int year, int month, int day);
StatsTime MakeStatsTime(int year, int month, int day, int hour, int minute, int second);
inline StatsDay DayOfTime(StatsTime time) {
    return static_cast<StatsDay>(time / 1'000'000);
}
// "2024-05-01" and "2024-05-01T14:03:22" (the separator can be chosen).
std::string StatsDayText(StatsDay day);
std::string StatsTimeText(StatsTime time, char separator = 'T');

// What one id has counted. Milliseconds are kept in memory; the file holds whole seconds.
struct GoalRecord {
    std::uint64_t starts = 0;
    std::uint64_t milliseconds = 0;
    std::set<StatsDay> days;
    StatsTime unlocked_at = 0;
    friend bool operator==(const GoalRecord&, const GoalRecord&) = default;
};

using GoalStats = std::map<std::u16string, GoalRecord>;

// The most a line may say; a larger value is taken for damage and skipped.
inline constexpr std::uint64_t MAX_STATS_STARTS = 1'000'000'000;
inline constexpr std::uint64_t MAX_STATS_SECONDS = 60'000'000'000;

enum class StatsLineProblem : std::uint8_t {
    UnknownKind,  // the first word is none of starts, seconds, day, unlocked
    BadValue,     // no whole number, a number above the limit, or no real date or time
    NoId,         // nothing after the value
    BadId,        // the id is not well-formed UTF-8
};

struct SkippedStatsLine {
    std::size_t number = 0;  // 1-based
    std::string text;        // as the file holds it, without its line end
    StatsLineProblem problem = StatsLineProblem::UnknownKind;
};

struct StatsReading {
    GoalStats stats;
    std::vector<SkippedStatsLine> skipped;
    // The skipped lines' texts, in file order: what a write keeps.
    std::vector<std::string> KeptLines() const;
};

// Every fact of the file; lines that say the same id's fact twice merge as copies do. Empty
// lines are passed over; any other line that does not read is skipped and named.
StatsReading ReadGoalStats(std::string_view bytes);

// The file for these stats: ids in order, each id's facts in the order above, then the kept
// lines as they were read. Ids that counted nothing are left out.
std::string SerializeGoalStats(const GoalStats& stats,
                               const std::vector<std::string>& kept_lines = {});
// Kept lines of both: the file's, in its order, then those only held here.
std::vector<std::string> MergeKeptStatsLines(std::vector<std::string> from_file,
                                             const std::vector<std::string>& held);

// Takes what `from` holds beyond `into`: the larger counts, the union of the days, the earlier
// unlock. Returns whether `into` changed.
bool MergeGoalRecord(GoalRecord& into, const GoalRecord& from);
bool MergeGoalStats(GoalStats& into, const GoalStats& from);
// Adds `from`'s counts to `into`'s, for counts made while the file could not be read, which
// cannot be in it; days and unlock times as in a merge. Returns whether `into` changed.
bool AddGoalStats(GoalStats& into, const GoalStats& from);
