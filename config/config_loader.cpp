// Placeholder until the loader lands.
#include "tracker/tracker.h"

bool AchievementTracker::LoadConfig() { return false; }
