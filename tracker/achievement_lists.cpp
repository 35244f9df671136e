#include "tracker/achievement_lists.h"

#include <mutex>

#include "config/goal.h"
#include "platform/desktop.h"
#include "text/utf8.h"
#include "tracker/goal_counting.h"
#include "tracker/tracker.h"

namespace {

constexpr std::u16string_view HIDDEN_ITEM_TEXT = u"？？？ - 隐藏成就\n触发方式: ？？？";
constexpr std::u16string_view GOAL_INVALID_TEXT = u"（目标无效）";

std::u16string Number(std::uint64_t value) {
    return Utf8ToUtf16(std::to_string(value));
}

}  // namespace

std::u16string ItemText(const Achievement& achievement, std::u16string_view progress) {
    std::u16string text;
    text.reserve(achievement.title.size() + achievement.description.size() + progress.size() +
                 achievement.trigger_description.size() + 10);
    text += achievement.title;
    text += u" - ";
    text += achievement.description;
    text += progress;
    text += u"\n触发方式: ";
    text += achievement.trigger_description;
    return text;
}

std::u16string PendingItemText(const Achievement& achievement, std::u16string_view progress) {
    if (IsHidden(achievement)) return std::u16string(HIDDEN_ITEM_TEXT);
    return ItemText(achievement, progress);
}

std::u16string ProgressText(const Achievement& achievement, const GoalRecord* record) {
    const GoalReading reading = GoalOf(achievement);
    if (reading.refusal != GoalRefusal::None) return std::u16string(GOAL_INVALID_TEXT);
    const std::optional<Goal>& goal = reading.goal;
    if (!goal) return {};
    const std::uint64_t amount = record != nullptr ? GoalAmount(goal->unit, *record) : 0;
    std::u16string text = u"（";
    text += Number(amount);
    text += u'/';
    text += Number(goal->target);
    text += u' ';
    text += ChineseUnitName(goal->unit);
    text += u"）";
    return text;
}

std::u16string OpenItemText(const AchievementTracker& tracker, const Achievement& achievement) {
    const auto record = tracker.goal_stats.find(achievement.id);
    return PendingItemText(
        achievement,
        ProgressText(achievement, record != tracker.goal_stats.end() ? &record->second : nullptr));
}

// The completed flag alone decides the list; the map is not consulted.
void AchievementTracker::FillLists() {
    platform::ListReset(completed_list);
    platform::ListReset(pending_list);
    {
        std::lock_guard<std::mutex> lock(list_ids_mutex);
        completed_ids.clear();
        pending_ids.clear();
        for (const Achievement& achievement : achievements) {
            (achievement.completed ? completed_ids : pending_ids).push_back(achievement.id);
        }
    }
    pending_items.clear();
    for (const Achievement& achievement : achievements) {
        if (achievement.completed) {
            platform::ListAdd(completed_list, ItemText(achievement));
            continue;
        }
        pending_items.push_back(OpenItemText(*this, achievement));
        platform::ListAdd(pending_list, pending_items.back());
    }
}

void AchievementTracker::RefreshProgressItems() {
    std::size_t index = 0;
    for (const Achievement& achievement : achievements) {
        if (achievement.completed) continue;
        std::u16string text = OpenItemText(*this, achievement);
        if (index < pending_items.size() && pending_items[index] != text) {
            platform::ListReplace(pending_list, index, text);
            pending_items[index] = std::move(text);
        }
        ++index;
    }
}
