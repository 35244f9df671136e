#include "progress/goal_stats.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <optional>
#include <utility>

#include "text/utf8.h"

namespace {

constexpr std::string_view STARTS = "starts";
constexpr std::string_view SECONDS = "seconds";
constexpr std::string_view DAY = "day";
constexpr std::string_view UNLOCKED = "unlocked";
constexpr std::string_view UTF8_BOM = "\xEF\xBB\xBF";

std::optional<std::uint64_t> WholeNumber(std::string_view text, std::uint64_t most) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > most) {
        return std::nullopt;
    }
    return value;
}

bool LeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool RealDay(int year, int month, int day) {
    constexpr std::array<int, 12> DAYS = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1970 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    if (month == 2 && day == 29) return LeapYear(year);
    return day <= DAYS[static_cast<std::size_t>(month - 1)];
}

// Fixed-width digits at `at`, or -1.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) return -1;
    const auto value = WholeNumber(text.substr(at, count), 9999);
    return value ? static_cast<int>(*value) : -1;
}

std::optional<StatsDay> ParseDay(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const int year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    if (!RealDay(year, month, day)) return std::nullopt;
    return MakeStatsDay(year, month, day);
}

std::optional<StatsTime> ParseTime(std::string_view text) {
    if (text.size() != 19 || text[10] != 'T' || text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    const std::optional<StatsDay> day = ParseDay(text.substr(0, 10));
    const int hour = Digits(text, 11, 2), minute = Digits(text, 14, 2),
              second = Digits(text, 17, 2);
    if (!day || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60) {
        return std::nullopt;
    }
    return static_cast<StatsTime>(*day) * 1'000'000 + hour * 10'000 + minute * 100 + second;
}

// Applies one fact to the record; false when the value does not read.
bool ApplyFact(std::string_view kind, std::string_view value, GoalRecord& record) {
    if (kind == STARTS) {
        const auto starts = WholeNumber(value, MAX_STATS_STARTS);
        if (starts) record.starts = *starts;
        return starts.has_value();
    }
    if (kind == SECONDS) {
        const auto seconds = WholeNumber(value, MAX_STATS_SECONDS);
        if (seconds) record.milliseconds = *seconds * 1000;
        return seconds.has_value();
    }
    if (kind == DAY) {
        const auto day = ParseDay(value);
        if (day) record.days.insert(*day);
        return day.has_value();
    }
    const auto time = ParseTime(value);
    if (time) record.unlocked_at = *time;
    return time.has_value();
}

bool KnownKind(std::string_view kind) {
    return kind == STARTS || kind == SECONDS || kind == DAY || kind == UNLOCKED;
}

std::optional<StatsLineProblem> ReadLine(std::string_view line, GoalStats& stats) {
    const std::size_t first_space = line.find(' ');
    const std::string_view kind = line.substr(0, first_space);
    if (!KnownKind(kind)) return StatsLineProblem::UnknownKind;
    if (first_space == std::string_view::npos) return StatsLineProblem::BadValue;
    const std::string_view rest = line.substr(first_space + 1);
    const std::size_t second_space = rest.find(' ');
    const std::string_view value = rest.substr(0, second_space);
    GoalRecord fact;
    if (!ApplyFact(kind, value, fact)) return StatsLineProblem::BadValue;
    if (second_space == std::string_view::npos || second_space + 1 == rest.size()) {
        return StatsLineProblem::NoId;
    }
    std::optional<std::u16string> id = DecodeWtf8(rest.substr(second_space + 1));
    if (!id) return StatsLineProblem::BadId;
    MergeGoalRecord(stats[std::move(*id)], fact);
    return std::nullopt;
}

void AppendFact(std::string& out, std::string_view kind, const std::string& value,
                const std::string& id) {
    out.append(kind).append(" ").append(value).append(" ").append(id).append("\r\n");
}

}  // namespace

StatsDay MakeStatsDay(int year, int month, int day) {
    return year * 10'000 + month * 100 + day;
}

StatsTime MakeStatsTime(int year, int month, int day, int hour, int minute, int second) {
    return static_cast<StatsTime>(MakeStatsDay(year, month, day)) * 1'000'000 + hour * 10'000 +
           minute * 100 + second;
}

std::string StatsDayText(StatsDay day) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02d", day / 10'000, day / 100 % 100,
                  day % 100);
    return text.data();
}

std::string StatsTimeText(StatsTime time, char separator) {
    const auto clock = static_cast<int>(time % 1'000'000);
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%c%02d:%02d:%02d", separator, clock / 10'000,
                  clock / 100 % 100, clock % 100);
    return StatsDayText(DayOfTime(time)) + text.data();
}

StatsReading ReadGoalStats(std::string_view bytes) {
    if (bytes.starts_with(UTF8_BOM)) bytes.remove_prefix(UTF8_BOM.size());
    StatsReading reading;
    for (std::size_t number = 1; !bytes.empty(); ++number) {
        const std::size_t line_feed = bytes.find('\n');
        std::string_view line = bytes.substr(0, line_feed);
        bytes.remove_prefix(line_feed == std::string_view::npos ? bytes.size() : line_feed + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty()) continue;
        if (const auto problem = ReadLine(line, reading.stats)) {
            reading.skipped.push_back({number, std::string(line), *problem});
        }
    }
    return reading;
}

std::vector<std::string> StatsReading::KeptLines() const {
    std::vector<std::string> lines;
    lines.reserve(skipped.size());
    for (const SkippedStatsLine& line : skipped) lines.push_back(line.text);
    return lines;
}

std::string SerializeGoalStats(const GoalStats& stats, const std::vector<std::string>& kept_lines) {
    std::string out;
    for (const auto& [id, record] : stats) {
        if (id.empty()) continue;
        const std::string name = EncodeWtf8(id);
        if (record.starts != 0) AppendFact(out, STARTS, std::to_string(record.starts), name);
        if (record.milliseconds >= 1000) {
            AppendFact(out, SECONDS, std::to_string(record.milliseconds / 1000), name);
        }
        for (const StatsDay day : record.days) AppendFact(out, DAY, StatsDayText(day), name);
        if (record.unlocked_at != 0) {
            AppendFact(out, UNLOCKED, StatsTimeText(record.unlocked_at), name);
        }
    }
    for (const std::string& line : kept_lines) out.append(line).append("\r\n");
    return out;
}

std::vector<std::string> MergeKeptStatsLines(std::vector<std::string> from_file,
                                             const std::vector<std::string>& held) {
    const std::set<std::string> in_file(from_file.begin(), from_file.end());
    for (const std::string& line : held) {
        if (!in_file.contains(line)) from_file.push_back(line);
    }
    return from_file;
}

bool MergeGoalRecord(GoalRecord& into, const GoalRecord& from) {
    const GoalRecord before = into;
    into.starts = std::max(into.starts, from.starts);
    into.milliseconds = std::max(into.milliseconds, from.milliseconds);
    into.days.insert(from.days.begin(), from.days.end());
    if (from.unlocked_at != 0 && (into.unlocked_at == 0 || from.unlocked_at < into.unlocked_at)) {
        into.unlocked_at = from.unlocked_at;
    }
    return !(into == before);
}

bool MergeGoalStats(GoalStats& into, const GoalStats& from) {
    bool changed = false;
    for (const auto& [id, record] : from) changed = MergeGoalRecord(into[id], record) || changed;
    return changed;
}

bool AddGoalStats(GoalStats& into, const GoalStats& from) {
    bool changed = false;
    for (const auto& [id, record] : from) {
        GoalRecord& sum = into[id];
        const GoalRecord before = sum;
        sum.starts = std::min(sum.starts + record.starts, MAX_STATS_STARTS);
        sum.milliseconds =
            std::min(sum.milliseconds + record.milliseconds, MAX_STATS_SECONDS * 1000);
        MergeGoalRecord(sum, {0, 0, record.days, record.unlocked_at});
        changed = changed || !(sum == before);
    }
    return changed;
}
