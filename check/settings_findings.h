#pragma once
// Findings about the lines of adv_settings.txt that give Laurelight no setting.

#include <string>

#include "config/scan_report.h"

// Appends one per such line of the file at `settings_path` (none when there is no file).
void ReportSettingsFindings(const std::u16string& settings_path, ScanReport& report);
