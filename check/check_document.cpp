#include "check/check_document.h"

#include "config/goal.h"
#include "tracker/achievement_lists.h"
#include "tracker/goal_counting.h"

Json GoalProgressJson(const AchievementTracker& tracker, const Achievement& achievement) {
    const std::optional<Goal> goal = GoalOf(achievement).goal;
    if (!goal) return Json();
    const auto found = tracker.goal_stats.find(achievement.id);
    const std::uint64_t count =
        found != tracker.goal_stats.end() ? GoalAmount(goal->unit, found->second) : 0;
    return {
        {"count", count}, {"target", goal->target}, {"unit", Text(EnglishUnitName(goal->unit))}};
}

// "goal" (the configured text), "progress" (what counts toward a goal the program can count),
// "hidden" (whether the open achievement keeps its texts secret) and "unlocked_at" (local time;
// null when not known, as for an unlock by an earlier version).
void AddGoalMembers(Json& json, const AchievementTracker& tracker, const Achievement& achievement) {
    const auto found = tracker.goal_stats.find(achievement.id);
    const StatsTime unlocked_at = found != tracker.goal_stats.end() ? found->second.unlocked_at : 0;
    json["goal"] = HasGoal(achievement) ? Json(Text(achievement.trigger_goal)) : Json();
    json["hidden"] = IsHidden(achievement);
    json["progress"] = GoalProgressJson(tracker, achievement);
    json["unlocked_at"] = unlocked_at != 0 ? Json(StatsTimeText(unlocked_at)) : Json();
}

Json CheckDocument(const AchievementTracker& tracker, const ScanReport& report) {
    Json document;
    document["config_path"] = Text(tracker.config_path);
    document["save_path"] = Text(tracker.save_path);
    document["achievements"] = Json::array();
    document["completed_list"] = Json::array();
    document["pending_list"] = Json::array();
    for (const Achievement& achievement : tracker.achievements) {
        Json json =
            AchievementJson(achievement, {"id", "title", "description", "trigger_description",
                                          "trigger_value", "trigger_type", "completed"});
        AddGoalMembers(json, tracker, achievement);
        document["achievements"].push_back(std::move(json));
        document[achievement.completed ? "completed_list" : "pending_list"].push_back(Text(
            achievement.completed ? ItemText(achievement) : OpenItemText(tracker, achievement)));
    }
    // The findings go out under the key "warnings", as readers of the document know it.
    document["warnings"] = Json::array();
    for (const ConfigFinding& finding : report.findings) {
        Json warning;
        if (!finding.file.empty()) warning["file"] = finding.file;
        warning["line"] = finding.line;
        warning["code"] = finding.code;
        warning["message"] = finding.message;
        warning["message_zh"] = finding.message_zh;
        document["warnings"].push_back(std::move(warning));
    }
    return document;
}

std::string FindingsText(const ScanReport& report) {
    std::string text;
    for (const ConfigFinding& finding : report.findings) {
        text += "line " + std::to_string(finding.line) + ": [" + finding.code + "] " +
                finding.message + "\n";
    }
    return text;
}
