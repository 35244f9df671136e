// Placeholder until the monitor thread lands.
#include "tracker/tracker.h"

void AchievementTracker::StartMonitoring() {}
void AchievementTracker::StopMonitoring() { running = false; }
void AchievementTracker::CheckTriggers() {}
bool AchievementTracker::TryCheckTriggers() { return true; }
