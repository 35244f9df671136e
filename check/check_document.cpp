#include "check/check_document.h"

#include "tracker/achievement_lists.h"

Json CheckDocument(const AchievementTracker& tracker, const ScanReport& report) {
    Json document;
    document["config_path"] = Text(tracker.config_path);
    document["save_path"] = Text(tracker.save_path);
    document["achievements"] = Json::array();
    document["completed_list"] = Json::array();
    document["pending_list"] = Json::array();
    for (const Achievement& achievement : tracker.achievements) {
        document["achievements"].push_back(
            AchievementJson(achievement, {"id", "title", "description", "trigger_description",
                                          "trigger_value", "trigger_type", "completed"}));
        const char* list = achievement.completed ? "completed_list" : "pending_list";
        document[list].push_back(Text(ItemText(achievement)));
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
