#pragma once
// laurelight-check --desktop and --watch: what a check pass sees on the desktop, and which
// open achievements it would find met, through the program's own trigger tests. Nothing is
// unlocked and nothing is written.

#include <optional>
#include <string>
#include <vector>

#include "tracker/tracker.h"

struct DesktopOptions {
    bool desktop = false;           // --desktop: one look
    bool watch = false;             // --watch: a look every 500 ms, one line per change
    std::optional<double> seconds;  // --watch SECONDS; without it, until Ctrl+C
    bool wanted() const { return desktop || watch; }
};

// Takes --desktop and --watch [SECONDS] out of the arguments and leaves the rest.
DesktopOptions TakeDesktopOptions(std::vector<std::u16string>& arguments);

// Prints the look or the watch for a loaded tracker; returns the exit code.
int RunDesktop(const AchievementTracker& tracker, const DesktopOptions& options);
