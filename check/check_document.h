#pragma once
// The check document of laurelight-check: the paths, every loaded achievement, the two lists
// as the main window would show them, and the findings.

#include <string>

#include "check/check_json.h"
#include "config/scan_report.h"
#include "tracker/tracker.h"

Json CheckDocument(const AchievementTracker& tracker, const ScanReport& report);

// The text of the findings for a terminal: "line N: [code] message", one per line.
std::string FindingsText(const ScanReport& report);

// {"count", "target", "unit"} for a goal the program can count; null for any other achievement.
Json GoalProgressJson(const AchievementTracker& tracker, const Achievement& achievement);
// Adds "goal", "progress" and "unlocked_at" to an achievement's members.
void AddGoalMembers(Json& json, const AchievementTracker& tracker, const Achievement& achievement);
