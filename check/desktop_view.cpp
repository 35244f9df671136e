#include "check/desktop_view.h"

#include <chrono>
#include <cstdio>

#include "check/check_document.h"
#include "check/check_json.h"
#include "check/console.h"
#include "check/desktop_facts.h"
#include "check/exit_codes.h"
#include "check/near_miss.h"
#include "config/goal.h"
#include "platform/desktop.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned STOP_POLL_MS = 50;

Json CloakJson(unsigned cloak) {
    Json by = Json::array();
    if (cloak & 1) by.push_back("app");
    if (cloak & 2) by.push_back("shell");
    if (cloak & 4) by.push_back("inherited");
    return by;
}

Json WindowJson(const DesktopWindow& window) {
    Json json;
    json["title"] = Text(SeenTitle(window));
    if (window.title.size() > platform::MAX_TITLE_UNITS) json["length"] = window.title.size();
    json["cloaked"] = window.cloak != 0;
    if (window.cloak != 0) json["cloaked_by"] = CloakJson(window.cloak);
    return json;
}

// `windows` is read only for a title match, to tell whether the window shows at all.
Json MetByJson(const TriggerMatch& match, const std::vector<DesktopWindow>& windows) {
    if (!match.process_name.empty()) return {{"process", Text(match.process_name)}};
    Json json = {{"window", Text(match.window_title)}, {"fragment", Text(match.fragment)}};
    if (OnlyCloakedWindowsTitled(windows, match.window_title)) json["cloaked"] = true;
    return json;
}

Json NearMissJson(const NearMiss& miss) {
    Json json;
    json["code"] = miss.code;
    if (!miss.process.empty()) json["process"] = Text(miss.process);
    if (!miss.window.empty()) json["window"] = Text(miss.window);
    if (!miss.fragment.empty()) json["fragment"] = Text(miss.fragment);
    json["message"] = miss.message;
    json["message_zh"] = miss.message_zh;
    return json;
}

constexpr char SECRET_TEXT[] = "？？？";

// A secret keeps its title and trigger to itself unless --spoilers asks for them.
bool KeepsSecret(const Achievement& achievement, bool spoilers) {
    return !spoilers && IsHidden(achievement);
}

Json SecretJson(const Achievement& achievement, bool met) {
    return {{"id", Text(achievement.id)}, {"title", SECRET_TEXT}, {"hidden", true}, {"met", met}};
}

// Whether a check now counts toward the achievement's goal, as the check pass judges it: the
// trigger is met, and for minutes the user is at the computer.
bool CountingNow(const Achievement& achievement, bool met, bool user_present) {
    const std::optional<Goal> goal = GoalOf(achievement).goal;
    return met && goal && (goal->unit != GoalUnit::Minutes || user_present);
}

// A goal's progress, and whether the desktop now adds to it.
void AddProgress(Json& json, const AchievementTracker& tracker, const Achievement& achievement,
                 bool counting) {
    Json progress = GoalProgressJson(tracker, achievement);
    if (progress.is_null()) return;
    progress["counting_now"] = counting;
    json["progress"] = std::move(progress);
}

Json PendingAchievementJson(const AchievementTracker& tracker, const Achievement& achievement,
                            const DesktopFacts& facts, bool user_present, bool spoilers) {
    TriggerMatch match;
    const bool met = TriggerMet(achievement, &match);
    if (KeepsSecret(achievement, spoilers)) return SecretJson(achievement, met);
    Json json = AchievementJson(achievement, {"id", "title", "trigger_type", "trigger_value"});
    json["met"] = met;
    AddProgress(json, tracker, achievement, CountingNow(achievement, met, user_present));
    if (met) {
        json["met_by"] = MetByJson(match, facts.windows);
        return json;
    }
    json["near_misses"] = Json::array();
    for (const NearMiss& miss : FindNearMisses(achievement, facts)) {
        json["near_misses"].push_back(NearMissJson(miss));
    }
    return json;
}

// UTC, ISO 8601 with milliseconds.
std::string TimeText() {
    using namespace std::chrono;
    const auto now = floor<milliseconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss time(now - day);
    char text[32];
    std::snprintf(
        text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
        static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
    return text;
}

// What one look saw of an open achievement; a watch prints a line when it changes.
struct Look {
    bool met = false;
    bool counting = false;
    friend bool operator==(const Look&, const Look&) = default;
};

Json ChangeJson(const AchievementTracker& tracker, const Achievement& achievement, Look look,
                const TriggerMatch& match, bool spoilers) {
    const bool met = look.met;
    Json json;
    json["time"] = TimeText();
    if (KeepsSecret(achievement, spoilers)) {
        json.update(SecretJson(achievement, met));
        return json;
    }
    json.update(AchievementJson(achievement, {"id", "title"}));
    json["met"] = met;
    AddProgress(json, tracker, achievement, look.counting);
    if (!met) return json;
    const std::vector<DesktopWindow> windows =
        match.process_name.empty() ? ReadVisibleWindows() : std::vector<DesktopWindow>();
    json["met_by"] = MetByJson(match, windows);
    return json;
}

// Sleeps for one interval; false once the watch is to end.
bool WaitForNextLook(std::optional<Clock::time_point> end) {
    const Clock::time_point next = Clock::now() + std::chrono::milliseconds(MONITOR_INTERVAL_MS);
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (StopRequested() || (end && now >= *end)) return false;
        if (now >= next) return true;
        platform::SleepMilliseconds(STOP_POLL_MS);
    }
}

}  // namespace

Json DesktopDocument(const AchievementTracker& tracker, bool spoilers) {
    const DesktopFacts facts = ReadDesktopFacts();
    Json document;
    document["config_path"] = Text(tracker.config_path);
    document["save_path"] = Text(tracker.save_path);
    document["processes"] = Json::array();
    for (const std::u16string& name : facts.processes) document["processes"].push_back(Text(name));
    document["windows"] = Json::array();
    for (const DesktopWindow& window : facts.windows) {
        document["windows"].push_back(WindowJson(window));
    }
    document["notes"] = Json::array();
    if (!facts.has_window_titles) {
        document["notes"].push_back(
            "window titles are not available on this system, so no window_title trigger is met "
            "here");
    }
    document["pending_achievements"] = Json::array();
    const bool user_present = UserPresentNow();
    for (const Achievement& achievement : tracker.achievements) {
        if (!achievement.completed)
            document["pending_achievements"].push_back(
                PendingAchievementJson(tracker, achievement, facts, user_present, spoilers));
    }
    return document;
}

// Every pending achievement starts as not met, so the first look reports those already met; a
// line follows whenever a trigger becomes met or not, or its goal starts or stops counting.
int Watch(const AchievementTracker& tracker, std::optional<double> seconds, bool spoilers,
          const std::function<bool(const std::string& line)>& emit) {
    CatchStopRequest();
    std::optional<Clock::time_point> end;
    if (seconds) {
        end = Clock::now() +
              std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*seconds));
    }
    std::vector<Look> looks(tracker.achievements.size());
    do {
        const bool user_present = UserPresentNow();
        for (std::size_t index = 0; index < looks.size(); ++index) {
            const Achievement& achievement = tracker.achievements[index];
            if (achievement.completed) continue;
            TriggerMatch match;
            const bool met = TriggerMet(achievement, &match);
            const Look now{met, CountingNow(achievement, met, user_present)};
            if (now == looks[index]) continue;
            looks[index] = now;
            if (!emit(Dump(ChangeJson(tracker, achievement, now, match, spoilers)) + "\n")) {
                return EXIT_CANNOT_WRITE;
            }
        }
    } while (WaitForNextLook(end));
    if (StopRequested()) WriteStderr("watch stopped\n");
    return 0;
}
