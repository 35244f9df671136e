#include "check/check_document.h"

#include "app/achievement_lists.h"
#include "config/config_scan.h"
#include "text/utf8.h"

namespace {

std::string Text(const std::u16string& text) {
    return Utf16ToUtf8(text);
}

nlohmann::ordered_json AchievementJson(const Achievement& achievement) {
    nlohmann::ordered_json json;
    json["id"] = Text(achievement.id);
    json["title"] = Text(achievement.title);
    json["description"] = Text(achievement.description);
    json["trigger_description"] = Text(achievement.trigger_description);
    json["trigger_value"] = Text(achievement.trigger_value);
    json["trigger_type"] = TriggerTypeName(achievement.trigger_type);
    json["completed"] = achievement.completed;
    return json;
}

nlohmann::ordered_json FindingJson(const ConfigFinding& finding) {
    nlohmann::ordered_json json;
    json["line"] = finding.line;
    json["code"] = finding.code;
    json["message"] = finding.message;
    json["message_zh"] = finding.message_zh;
    return json;
}

}  // namespace

nlohmann::ordered_json CheckDocument(const AchievementTracker& tracker, const ScanReport& report) {
    nlohmann::ordered_json document;
    document["config_path"] = Text(tracker.config_path);
    document["save_path"] = Text(tracker.save_path);
    document["achievements"] = nlohmann::ordered_json::array();
    document["completed_list"] = nlohmann::ordered_json::array();
    document["pending_list"] = nlohmann::ordered_json::array();
    for (const Achievement& achievement : tracker.achievements) {
        document["achievements"].push_back(AchievementJson(achievement));
        const char* list = achievement.completed ? "completed_list" : "pending_list";
        document[list].push_back(Text(ItemText(achievement)));
    }
    // The findings go out under the key "warnings", as readers of the document know it.
    document["warnings"] = nlohmann::ordered_json::array();
    for (const ConfigFinding& finding : report.findings) {
        document["warnings"].push_back(FindingJson(finding));
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
