#pragma once
// Goals: how often, how long or on how many days a trigger must be met before its achievement
// unlocks. The configuration gives one as text ("trigger_goal"): a whole number and a unit,
// with or without a space between them.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "model/achievement.h"

enum class GoalUnit : std::uint8_t {
    Starts,   // "starts" / "次": the trigger becomes met
    Minutes,  // "minutes" / "分钟": time met while the user is present
    Days,     // "days" / "天": local calendar days on which it was met
};

struct Goal {
    GoalUnit unit = GoalUnit::Starts;
    std::uint32_t target = 1;
    friend bool operator==(const Goal&, const Goal&) = default;
};

inline constexpr std::uint32_t MAX_GOAL_TARGET = 1'000'000;

// Why a goal's text is refused. A refused goal never unlocks its achievement: a typo must
// not unlock it early.
enum class GoalRefusal : std::uint8_t {
    None,
    NoNumber,           // the text does not start with a number
    NotWhole,           // the number has a fraction ("1.5 minutes")
    Zero,               // the number is 0
    TooLarge,           // above MAX_GOAL_TARGET
    UnknownUnit,        // no unit, or one that is not known
    TriggerCannotCount  // the trigger type is neither process_name nor window_title
};

struct GoalReading {
    std::optional<Goal> goal;  // empty when refused
    GoalRefusal refusal = GoalRefusal::None;
};

// Reads "10 starts", "600 minutes", "5 days", "10次", "600 分钟", "5 天" (singular English
// units too, in any letter case; full-width digits too, "１０次"). Spaces (also U+3000) around
// the number and the unit are allowed.
GoalReading ParseGoal(std::u16string_view text);

// "starts", "minutes", "days", as laurelight-check writes them.
std::u16string_view EnglishUnitName(GoalUnit unit);
// "次", "分钟", "天", as the lists show them.
std::u16string_view ChineseUnitName(GoalUnit unit);

// The achievement's goal as the check pass applies it. No goal text: no goal and no
// refusal; the achievement unlocks at its first met trigger, as without goals.
GoalReading GoalOf(const Achievement& achievement);

inline bool HasGoal(const Achievement& achievement) {
    return !achievement.trigger_goal.empty();
}

inline bool IsHidden(const Achievement& achievement) {
    return achievement.hidden == u"true";
}

// Whether any achievement has a goal or a "hidden" member. A configuration without them
// keeps exactly the files it had before such members existed: no adv_stats.txt.
bool UsesGoalMembers(const std::vector<Achievement>& achievements);
