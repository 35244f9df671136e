#include "tracker/achievement_lists.h"

#include "platform/desktop.h"
#include "tracker/tracker.h"

std::u16string ItemText(const Achievement& achievement) {
    std::u16string text;
    text.reserve(achievement.title.size() + achievement.description.size() +
                 achievement.trigger_description.size() + 10);
    text += achievement.title;
    text += u" - ";
    text += achievement.description;
    text += u"\n触发方式: ";
    text += achievement.trigger_description;
    return text;
}

// The completed flag alone decides the list; the map is not consulted.
void AchievementTracker::FillLists() {
    platform::ListReset(completed_list);
    platform::ListReset(pending_list);
    for (const Achievement& achievement : achievements) {
        platform::ListAdd(achievement.completed ? completed_list : pending_list,
                          ItemText(achievement));
    }
}
