#include "config/goal.h"

#include <algorithm>
#include <array>

#include "text/ascii_case.h"

namespace {

// Each unit's names: the English plural laurelight-check writes, its singular, and the
// Chinese name the lists show. A goal's text may use any of them.
struct UnitNames {
    GoalUnit unit;
    std::u16string_view english;
    std::u16string_view singular;
    std::u16string_view chinese;
};

constexpr std::array<UnitNames, 3> UNIT_NAMES = {{
    {GoalUnit::Starts, u"starts", u"start", u"次"},
    {GoalUnit::Minutes, u"minutes", u"minute", u"分钟"},
    {GoalUnit::Days, u"days", u"day", u"天"},
}};
static_assert(UNIT_NAMES[1].unit == GoalUnit::Minutes && UNIT_NAMES[2].unit == GoalUnit::Days,
              "UNIT_NAMES is indexed by GoalUnit");

const UnitNames& NamesOf(GoalUnit unit) {
    return UNIT_NAMES[static_cast<std::size_t>(unit)];
}

bool IsSpace(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\u3000';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

// The value of a digit, 0-9 or its full-width form (what a Chinese input method types), or -1.
int DigitValue(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') return unit - u'0';
    if (unit >= u'\uFF10' && unit <= u'\uFF19') return unit - u'\uFF10';
    return -1;
}

// "1.5 minutes": a decimal point between digits, which no goal can count.
bool FractionFollows(std::u16string_view rest) {
    return rest.size() >= 2 && (rest[0] == u'.' || rest[0] == u'\uFF0E') &&
           DigitValue(rest[1]) >= 0;
}

bool NamesUnit(std::u16string_view unit, const UnitNames& names) {
    return EqualIgnoringAsciiCase(unit, names.english) ||
           EqualIgnoringAsciiCase(unit, names.singular) || unit == names.chinese;
}

}  // namespace

GoalReading ParseGoal(std::u16string_view text) {
    text = Trim(text);
    std::size_t digits = 0;
    std::uint64_t number = 0;
    while (digits < text.size() && DigitValue(text[digits]) >= 0) {
        // Saturates well above the limit, so a long run of digits cannot overflow.
        if (number <= MAX_GOAL_TARGET) number = number * 10 + DigitValue(text[digits]);
        ++digits;
    }
    if (digits == 0) return {std::nullopt, GoalRefusal::NoNumber};
    if (FractionFollows(text.substr(digits))) return {std::nullopt, GoalRefusal::NotWhole};
    if (number == 0) return {std::nullopt, GoalRefusal::Zero};
    if (number > MAX_GOAL_TARGET) return {std::nullopt, GoalRefusal::TooLarge};
    const std::u16string_view unit = Trim(text.substr(digits));
    for (const UnitNames& names : UNIT_NAMES) {
        if (NamesUnit(unit, names))
            return {Goal{names.unit, static_cast<std::uint32_t>(number)}, {}};
    }
    return {std::nullopt, GoalRefusal::UnknownUnit};
}

std::u16string_view EnglishUnitName(GoalUnit unit) {
    return NamesOf(unit).english;
}

std::u16string_view ChineseUnitName(GoalUnit unit) {
    return NamesOf(unit).chinese;
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
