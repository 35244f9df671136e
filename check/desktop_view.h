#pragma once
// laurelight-check --desktop and --watch: what a check pass sees on the desktop, and which
// pending achievements it would find met, through the program's own trigger tests. Nothing is
// unlocked and nothing is written.

#include <functional>
#include <optional>
#include <string>

#include "check/check_json.h"
#include "tracker/tracker.h"

// One look at the desktop for a loaded tracker. A hidden achievement shows only its id and
// whether it is met, unless `spoilers`.
Json DesktopDocument(const AchievementTracker& tracker, bool spoilers = false);

// A look every 500 ms, for `seconds` or until Ctrl+C. Each change is one line handed to
// `emit`, which says whether it was written. Returns the exit code.
int Watch(const AchievementTracker& tracker, std::optional<double> seconds, bool spoilers,
          const std::function<bool(const std::string& line)>& emit);
