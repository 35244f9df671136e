#pragma once
// Findings about the files an achievement names for its own toast ("sound", "picture"): a
// name the program refuses, and a name of a file that is not in bin\.

#include "config/scan_report.h"
#include "tracker/tracker.h"

// Appends them to `report`, in entry order, at each entry's line.
void ReportBinFileFindings(const AchievementTracker& tracker, ScanReport& report);
