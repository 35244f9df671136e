#pragma once
// Text of one item in the completed and pending achievement lists.

#include <string>
#include <string_view>

#include "model/achievement.h"
#include "progress/goal_stats.h"

// title + " - " + description + progress + "\n触发方式: " + trigger_description
std::u16string ItemText(const Achievement& achievement, std::u16string_view progress = {});

// The open list's item: a hidden achievement keeps its texts secret until it unlocks; the
// others show their progress, if any, at the end of the first line.
std::u16string PendingItemText(const Achievement& achievement, std::u16string_view progress);

// "（3/10 次）", "（125/600 分钟）", "（2/5 天）" for an achievement with a goal it can
// count; "（目标无效）" for one whose goal cannot be used, which never unlocks; empty for any
// other. A missing record counts as nothing yet.
std::u16string ProgressText(const Achievement& achievement, const GoalRecord* record);

struct AchievementTracker;

// The open list's item for this achievement as the program shows it, with the tracker's counts.
std::u16string OpenItemText(const AchievementTracker& tracker, const Achievement& achievement);
