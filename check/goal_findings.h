#pragma once
// Findings about the members that make achievements take time or keep them secret, and about
// the lines of adv_stats.txt that the program skips.

#include "config/scan_report.h"
#include "tracker/tracker.h"

// Appends them to `report`: the configuration's in entry order, then those of adv_stats.txt.
void ReportGoalFindings(const AchievementTracker& tracker, ScanReport& report);
