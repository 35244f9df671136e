#include "check/goal_findings.h"

#include <optional>
#include <string>
#include <string_view>

#include "config/config_scan.h"
#include "config/goal.h"
#include "platform/files.h"
#include "progress/goal_stats.h"
#include "text/utf8.h"

namespace {

struct FindingText {
    const char* code;
    const char* english;
    const char* chinese;
};

std::optional<FindingText> RefusalText(GoalRefusal refusal) {
    switch (refusal) {
        case GoalRefusal::None:
            return std::nullopt;
        case GoalRefusal::TriggerCannotCount:
            return FindingText{"goal-cannot-count",
                               "only process_name and window_title triggers can count toward a "
                               "goal",
                               "只有 process_name 和 window_title 触发方式才能计入目标"};
        case GoalRefusal::NoNumber:
            return FindingText{"goal-unreadable", "it does not start with a whole number",
                               "它不以整数开头"};
        case GoalRefusal::NotWhole:
            return FindingText{"goal-unreadable",
                               "its number is not whole; goals count whole starts, minutes and "
                               "days",
                               "其数字不是整数；目标只计整次、整分钟、整天"};
        case GoalRefusal::Zero:
            return FindingText{"goal-unreadable", "its number is 0", "其数字为 0"};
        case GoalRefusal::TooLarge:
            return FindingText{"goal-unreadable", "its number is above 1000000",
                               "其数字大于 1000000"};
        case GoalRefusal::UnknownUnit:
            return FindingText{"goal-unreadable",
                               "its unit is none of starts, minutes, days, 次, 分钟, 天",
                               "其单位不是 starts、minutes、days、次、分钟、天 之一"};
    }
    return std::nullopt;
}

// The line of the member `key` of the achievement loaded at `index`; where the scan did not
// note it, the line that closed the entry.
std::size_t MemberLine(const ScanReport& report, std::size_t index, const Achievement& achievement,
                       std::string_view key) {
    const int member = ConfigKeyIndex(key);
    if (index < report.loaded_member_lines.size() && member >= 0) {
        const std::size_t line =
            report.loaded_member_lines[index][static_cast<std::size_t>(member)];
        if (line != 0) return line;
    }
    const auto line = report.id_lines.find(achievement.id);
    return line != report.id_lines.end() ? line->second : 0;
}

void ReportGoal(const Achievement& achievement, std::size_t line, ScanReport& report) {
    if (!HasGoal(achievement)) return;
    const std::optional<FindingText> text = RefusalText(GoalOf(achievement).refusal);
    if (!text) return;
    const std::string goal = Quoted(achievement.trigger_goal);
    const std::string id = Quoted(achievement.id);
    report.findings.push_back({line, text->code,
                               "trigger_goal " + goal + " of " + id +
                                   " cannot be used: " + text->english +
                                   "; the achievement never unlocks until it is fixed",
                               id + " 的 trigger_goal " + goal + " 无法使用：" + text->chinese +
                                   "；修正之前此成就永远不会解锁",
                               ""});
}

void ReportHidden(const Achievement& achievement, std::size_t line, ScanReport& report) {
    if (achievement.hidden.empty() || IsHidden(achievement) || achievement.hidden == u"false") {
        return;
    }
    const std::string value = Quoted(achievement.hidden);
    const std::string id = Quoted(achievement.id);
    report.findings.push_back(
        {line, "hidden-value",
         "hidden " + value + " of " + id +
             " is neither \"true\" nor \"false\"; the achievement is shown as if it were \"false\"",
         id + " 的 hidden " + value + " 既不是 \"true\" 也不是 \"false\"；此成就按 \"false\" 显示",
         ""});
}

const char* ProblemText(StatsLineProblem problem, bool chinese) {
    switch (problem) {
        case StatsLineProblem::UnknownKind:
            return chinese ? "开头不是 starts、seconds、day、unlocked 之一"
                           : "it starts with none of starts, seconds, day, unlocked";
        case StatsLineProblem::BadValue:
            return chinese ? "其数值或日期无法读取或过大"
                           : "its value or date cannot be read or is absurd";
        case StatsLineProblem::NoId:
            return chinese ? "没有 id" : "it names no id";
        case StatsLineProblem::BadId:
            return chinese ? "其 id 不是有效的 UTF-8" : "its id is not well-formed UTF-8";
    }
    return "";
}

void ReportSkippedStatsLines(const AchievementTracker& tracker, ScanReport& report) {
    if (!platform::FileExists(tracker.stats_path)) return;
    for (const SkippedStatsLine& line :
         ReadGoalStats(platform::ReadFileBytes(tracker.stats_path)).skipped) {
        report.findings.push_back({line.number, "stats-line-skipped",
                                   std::string("adv_stats.txt: this line is skipped, ") +
                                       ProblemText(line.problem, false) +
                                       "; saves write it back unchanged",
                                   std::string("adv_stats.txt：此行被跳过，") +
                                       ProblemText(line.problem, true) + "；保存时原样写回",
                                   "adv_stats.txt"});
    }
}

}  // namespace

void ReportGoalFindings(const AchievementTracker& tracker, ScanReport& report) {
    for (std::size_t index = 0; index < tracker.achievements.size(); ++index) {
        const Achievement& achievement = tracker.achievements[index];
        ReportGoal(achievement, MemberLine(report, index, achievement, "trigger_goal"), report);
        ReportHidden(achievement, MemberLine(report, index, achievement, "hidden"), report);
    }
    ReportSkippedStatsLines(tracker, report);
}
