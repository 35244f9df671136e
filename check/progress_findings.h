#pragma once
// Findings about progress that the configuration cannot take: "done" lines of adv_save.txt
// whose id no achievement has, and achievements whose id adv_save.txt can never hold.

#include <string>

#include "config/scan_report.h"
#include "tracker/tracker.h"

// Appends both kinds to the report of a loaded configuration, after its own findings.
void ReportProgressFindings(const AchievementTracker& tracker, ScanReport& report);

// The console line for --unlock of an id that adv_save.txt cannot hold, in English and
// Chinese, in the form of the save-failure line.
std::string UnsavableIdLine(const std::u16string& save_path);
