#pragma once
// laurelight-check --desktop and --watch: what a check pass sees on the desktop, and which
// pending achievements it would find met, through the program's own trigger tests. Nothing is
// unlocked and nothing is written.

#include <optional>

#include "check/json_output.h"
#include "tracker/tracker.h"

// One look at the desktop for a loaded tracker.
Json DesktopDocument(const AchievementTracker& tracker);

// A look every 500 ms, one line per change, for `seconds` or until Ctrl+C; the exit code.
int Watch(const AchievementTracker& tracker, std::optional<double> seconds);
