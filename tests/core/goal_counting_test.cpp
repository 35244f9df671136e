// What checks of a goal achievement add to its count, and how the open list shows it.

#include <gtest/gtest.h>

#include "tracker/achievement_lists.h"
#include "tracker/goal_counting.h"

namespace {

constexpr StatsDay MAY_1 = 20240501;
constexpr StatsDay MAY_2 = 20240502;

// Feeds checks to one achievement's counting as the check pass would.
struct Counter {
    GoalUnit unit;
    TriggerType type;
    GoalWatch watch;
    GoalRecord record;

    bool See(bool met, std::vector<std::uint32_t> ids = {}, std::int64_t at_ms = 0,
             bool present = true, StatsDay day = MAY_1) {
        return CountGoalCheck(unit, type, {met, std::move(ids), at_ms, present, day}, watch,
                              record);
    }
};

}  // namespace

TEST(GoalCounting, StartsCountNewProcessIdsAndWhatRunsAtStartOnce) {
    Counter process{GoalUnit::Starts, TriggerType::ProcessName, {}, {}};
    EXPECT_TRUE(process.See(true, {7, 9}));  // running before the first check: one start
    EXPECT_EQ(process.record.starts, 1u);
    EXPECT_FALSE(process.See(true, {7, 9}));
    EXPECT_TRUE(process.See(true, {7, 11, 12}));  // two started together count twice
    EXPECT_EQ(process.record.starts, 3u);
    EXPECT_FALSE(process.See(false));
    EXPECT_TRUE(process.See(true, {11}));  // id reused after a check without it
    EXPECT_EQ(process.record.starts, 4u);

    Counter title{GoalUnit::Starts, TriggerType::WindowTitle, {}, {}};
    EXPECT_FALSE(title.See(false));
    EXPECT_TRUE(title.See(true));
    EXPECT_FALSE(title.See(true));
    EXPECT_FALSE(title.See(false));
    EXPECT_TRUE(title.See(true));
    EXPECT_EQ(title.record.starts, 2u);
    EXPECT_EQ(GoalAmount(GoalUnit::Starts, title.record), 2u);
}

TEST(GoalCounting, MinutesCountPresentTimeBetweenChecksWithLongGapsCut) {
    Counter time{GoalUnit::Minutes, TriggerType::ProcessName, {}, {}};
    EXPECT_FALSE(time.See(true, {1}, 0));  // nothing before the first check of a run
    EXPECT_TRUE(time.See(true, {1}, 500));
    EXPECT_FALSE(time.See(true, {1}, 1500, false));  // away or locked: nothing
    EXPECT_FALSE(time.See(false, {}, 2000));
    EXPECT_TRUE(time.See(true, {1}, 2500));
    EXPECT_TRUE(time.See(true, {1}, 3'602'500));  // an hour asleep counts 10 s
    EXPECT_EQ(time.record.milliseconds, 500u + 500u + 10'000u);
    time.record.milliseconds = 125 * 60'000 + 59'999;
    EXPECT_EQ(GoalAmount(GoalUnit::Minutes, time.record), 125u);

    EXPECT_TRUE(UserAtComputer(PRESENCE_IDLE_LIMIT_MS - 1, false));
    EXPECT_FALSE(UserAtComputer(PRESENCE_IDLE_LIMIT_MS, false));
    EXPECT_FALSE(UserAtComputer(0, true));
}

TEST(GoalCounting, DaysCountEachLocalDayOnceAndANewDayAtOnceAfterMidnight) {
    Counter days{GoalUnit::Days, TriggerType::WindowTitle, {}, {}};
    EXPECT_TRUE(days.See(true, {}, 0, false, MAY_1));  // presence is not asked for days
    EXPECT_FALSE(days.See(true, {}, 500, true, MAY_1));
    EXPECT_FALSE(days.See(false, {}, 1000, true, MAY_2));
    EXPECT_TRUE(days.See(true, {}, 1500, true, MAY_2));  // still met across midnight
    EXPECT_EQ(GoalAmount(GoalUnit::Days, days.record), 2u);
    EXPECT_TRUE(GoalReached({GoalUnit::Days, 2}, days.record));
    EXPECT_FALSE(GoalReached({GoalUnit::Days, 3}, days.record));
}

TEST(GoalItems, OpenItemsShowProgressAfterTheDescriptionAndHiddenOnesNothing) {
    Achievement pad{u"pad",
                    u"Writer",
                    u"Open it.",
                    u"Run notepad.exe",
                    u"notepad.exe",
                    TriggerType::ProcessName,
                    false,
                    u"10 次",
                    u"",
                    u"",
                    u""};
    const GoalRecord record{3, 0, {}, 0};
    EXPECT_EQ(ProgressText(pad, &record), u"（3/10 次）");
    EXPECT_EQ(ProgressText(pad, nullptr), u"（0/10 次）");
    EXPECT_EQ(PendingItemText(pad, ProgressText(pad, &record)),
              u"Writer - Open it.（3/10 次）\n触发方式: Run notepad.exe");
    pad.trigger_goal = u"600 minutes";
    EXPECT_EQ(ProgressText(pad, &record), u"（0/600 分钟）");
    pad.trigger_goal = u"5天";
    EXPECT_EQ(ProgressText(pad, &record), u"（0/5 天）");
    // A goal that cannot be used never unlocks: the item says so in place of the progress.
    pad.trigger_goal = u"5 weeks";
    EXPECT_EQ(PendingItemText(pad, ProgressText(pad, &record)),
              u"Writer - Open it.（目标无效）\n触发方式: Run notepad.exe");
    pad.trigger_goal.clear();
    EXPECT_EQ(PendingItemText(pad, ProgressText(pad, &record)), ItemText(pad));

    pad.hidden = u"true";
    EXPECT_EQ(PendingItemText(pad, u"（3/10 次）"), u"？？？ - 隐藏成就\n触发方式: ？？？");
    EXPECT_EQ(ItemText(pad), u"Writer - Open it.\n触发方式: Run notepad.exe");
}
