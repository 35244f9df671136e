// Placeholder until the progress file lands.
#include "tracker/tracker.h"

void AchievementTracker::LoadProgress() {}
void AchievementTracker::SaveProgress() {}
