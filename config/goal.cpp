#include "config/goal.h"

#include <algorithm>
#include <array>

namespace {

struct UnitName {
    std::u16string_view text;
    GoalUnit unit;
};

constexpr std::array<UnitName, 9> UNIT_NAMES = {{
    {u"starts", GoalUnit::Starts},
    {u"start", GoalUnit::Starts},
    {u"次", GoalUnit::Starts},
    {u"minutes", GoalUnit::Minutes},
    {u"minute", GoalUnit::Minutes},
    {u"分钟", GoalUnit::Minutes},
    {u"days", GoalUnit::Days},
    {u"day", GoalUnit::Days},
    {u"天", GoalUnit::Days},
}};

bool IsSpace(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\u3000';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool IsDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

}  // namespace

GoalReading ParseGoal(std::u16string_view text) {
    text = Trim(text);
    std::size_t digits = 0;
    std::uint64_t number = 0;
    while (digits < text.size() && IsDigit(text[digits])) {
        // Saturates well above the limit, so a long run of digits cannot overflow.
        if (number <= MAX_GOAL_TARGET) number = number * 10 + (text[digits] - u'0');
        ++digits;
    }
    if (digits == 0) return {std::nullopt, GoalRefusal::NoNumber};
    if (number == 0) return {std::nullopt, GoalRefusal::Zero};
    if (number > MAX_GOAL_TARGET) return {std::nullopt, GoalRefusal::TooLarge};
    const std::u16string_view unit = Trim(text.substr(digits));
    for (const UnitName& name : UNIT_NAMES) {
        if (name.text == unit) return {Goal{name.unit, static_cast<std::uint32_t>(number)}, {}};
    }
    return {std::nullopt, GoalRefusal::UnknownUnit};
}

GoalReading GoalOf(const Achievement& achievement) {
    if (!HasGoal(achievement)) return {};
    GoalReading reading = ParseGoal(achievement.trigger_goal);
    const bool can_count = achievement.trigger_type == TriggerType::ProcessName ||
                           achievement.trigger_type == TriggerType::WindowTitle;
    if (reading.goal && !can_count) return {std::nullopt, GoalRefusal::TriggerCannotCount};
    return reading;
}

bool UsesGoalMembers(const std::vector<Achievement>& achievements) {
    return std::any_of(achievements.begin(), achievements.end(), [](const Achievement& a) {
        return !a.trigger_goal.empty() || !a.hidden.empty();
    });
}
