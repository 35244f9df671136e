#include "check/history.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "progress/goal_stats.h"
#include "text/utf8.h"

namespace {

struct Unlock {
    StatsTime time = 0;  // 0: not known
    const Achievement* achievement = nullptr;
};

// Known times in order, then the unknown ones in configuration order; one row per id.
std::vector<Unlock> Unlocks(const AchievementTracker& tracker) {
    std::vector<Unlock> unlocks;
    for (const Achievement& achievement : tracker.achievements) {
        if (!achievement.completed) continue;
        const bool listed = std::any_of(unlocks.begin(), unlocks.end(), [&](const Unlock& u) {
            return u.achievement->id == achievement.id;
        });
        if (listed) continue;
        const auto found = tracker.goal_stats.find(achievement.id);
        unlocks.push_back(
            {found != tracker.goal_stats.end() ? found->second.unlocked_at : 0, &achievement});
    }
    std::stable_sort(unlocks.begin(), unlocks.end(), [](const Unlock& a, const Unlock& b) {
        return (a.time == 0 ? INT64_MAX : a.time) < (b.time == 0 ? INT64_MAX : b.time);
    });
    return unlocks;
}

std::string TimeText(StatsTime time) {
    return time != 0 ? StatsTimeText(time, ' ') : "unknown";
}

// A spreadsheet takes a field that begins with one of these for a formula; achievement packs
// are shared files, so a title must never run as one.
bool StartsLikeAFormula(const std::string& text) {
    return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string::npos;
}

// Quoted where it needs it; a field that would start a formula is quoted with an apostrophe
// before it, which the spreadsheet shows as text. Every other field stays as it is.
std::string CsvField(const std::string& text) {
    const bool formula = StartsLikeAFormula(text);
    if (!formula && text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = formula ? "\"'" : "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string HistoryText(const AchievementTracker& tracker) {
    std::string text;
    for (const Unlock& unlock : Unlocks(tracker)) {
        text += TimeText(unlock.time) + "  " + Utf16ToUtf8(unlock.achievement->id) + "  " +
                Utf16ToUtf8(unlock.achievement->title) + "\n";
    }
    return text;
}

std::string HistoryCsv(const AchievementTracker& tracker) {
    std::string csv = "\xEF\xBB\xBFtime,id,title\r\n";
    for (const Unlock& unlock : Unlocks(tracker)) {
        csv += CsvField(unlock.time != 0 ? StatsTimeText(unlock.time, ' ') : "") + "," +
               CsvField(Utf16ToUtf8(unlock.achievement->id)) + "," +
               CsvField(Utf16ToUtf8(unlock.achievement->title)) + "\r\n";
    }
    return csv;
}
