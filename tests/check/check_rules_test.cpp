// The rules of laurelight-check called in-process: the command line, the near misses over
// desktop facts built by hand (window titles too, which the native desktop never has), the
// edit distance behind them and where --output may write.

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "check/check_document.h"
#include "check/desktop_facts.h"
#include "check/desktop_view.h"
#include "check/edit_distance.h"
#include "check/goal_findings.h"
#include "check/history.h"
#include "check/near_miss.h"
#include "check/options.h"
#include "check/output_file.h"
#include "tests/files/progress_test_folder.h"
#include "text/utf8.h"
#include "tracker/tracker.h"

namespace {

// "code subject" for each near miss, the subject being its process, else window and fragment.
std::vector<std::string> Misses(std::u16string value, TriggerType type, const DesktopFacts& facts) {
    Achievement achievement;
    achievement.trigger_value = std::move(value);
    achievement.trigger_type = type;
    std::vector<std::string> found;
    for (const NearMiss& miss : FindNearMisses(achievement, facts)) {
        found.push_back(
            miss.code + " " +
            Utf16ToUtf8(miss.process.empty() ? miss.window + u"|" + miss.fragment : miss.process));
    }
    return found;
}

using Found = std::vector<std::string>;

}  // namespace

TEST(CheckRules, CommandLineNamesOneModeAndRefusesMistakesWithTheReason) {
    for (const char16_t* help : {u"--help", u"-h", u"/?"}) {
        EXPECT_EQ(std::get<Options>(ParseOptions({u"dir", help, u"--bogus"})).mode, Mode::Help);
    }
    const Options check =
        std::get<Options>(ParseOptions({u"--strict", u"pack", u"--unlock", u"a"}));
    EXPECT_EQ(check.mode, Mode::Check);
    EXPECT_EQ(check.directory, u"pack");
    EXPECT_EQ(check.unlock_id, u"a");
    EXPECT_TRUE(check.strict);
    EXPECT_EQ(std::get<Options>(ParseOptions({})).directory, u".");
    // A word after --watch is its SECONDS when it begins with a digit, else the folder.
    const Options watch =
        std::get<Options>(ParseOptions({u"--watch", u"2.5", u"--output", u"o.json"}));
    EXPECT_EQ(watch.mode, Mode::Watch);
    EXPECT_EQ(watch.seconds, 2.5);
    EXPECT_EQ(watch.output, u"o.json");
    EXPECT_EQ(std::get<Options>(ParseOptions({u"--watch", u"pack"})).directory, u"pack");
    EXPECT_EQ(std::get<Options>(ParseOptions({u"pack", u"--history"})).mode, Mode::History);
    EXPECT_TRUE(
        std::get<Options>(ParseOptions({u"--format", u"--write", u"--drop-extra"})).drop_extra);
    const Options add = std::get<Options>(ParseOptions(
        {u"--add", u"calc", u"--title", u"计算器", u"--window", u"A|B", u"--hidden", u"pack"}));
    EXPECT_EQ(add.mode, Mode::Add);
    EXPECT_EQ(add.entry_id, u"calc");
    EXPECT_EQ(add.directory, u"pack");
    EXPECT_EQ(add.entry.title, u"计算器");
    EXPECT_EQ(add.entry.window, u"A|B");
    EXPECT_EQ(add.entry.hidden, true);
    EXPECT_EQ(std::get<Options>(ParseOptions({u"--edit", u"a", u"--goal", u""})).entry.goal, u"");

    const std::vector<std::pair<std::vector<std::u16string>, std::string>> wrong = {
        {{u"--watch", u"5s"}, "--watch takes a number of seconds up to 1000000000, not \"5s\""},
        {{u"--watch", u"99999999999"}, "--watch takes a number"},
        {{u"-x"}, "unknown option \"-x\""},
        {{u".", u"--bogus"}, "unknown option \"--bogus\""},
        {{u".", u"other"}, "more than one folder: \"other\""},
        {{u"--output"}, "--output needs a value"},
        {{u"--format", u"--desktop"},
         "--format, --desktop, --watch, --history, --add, --edit and --remove exclude each other"},
        {{u"--remove", u"a", u"--edit", u"b"}, "--format, --desktop, --watch, --history, --add"},
        {{u"--remove"}, "--remove needs an id"},
        {{u"--title"}, "--title needs a value"},
        {{u"--title", u"T"}, "--title, --description, --trigger-description, --process"},
        {{u"--add", u"a", u"--title", u"T"}, "--add needs --title and one of --process and"},
        {{u"--add", u"a", u"--title", u"T", u"--process", u"a.exe", u"--not-hidden"},
         "--not-hidden goes with --edit only"},
        {{u"--edit", u"a"}, "--edit needs at least one of"},
        {{u"--edit", u"a", u"--process", u"a.exe", u"--window", u"A"},
         "--process and --window exclude each other"},
        {{u"--remove", u"a", u"--strict"}, "--output and --strict go with none of --add"},
        {{u"--history", u"--unlock", u"a"}, "--unlock goes with none of"},
        {{u"--spoilers"}, "--spoilers goes with --desktop or --watch only"},
        {{u"--desktop", u"--unlock", u"a"}, "--unlock goes with none of"},
        {{u"--write"}, "--write and --drop-extra go with --format only"},
        {{u"--drop-extra"}, "--write and --drop-extra go with --format only"},
    };
    for (const auto& [arguments, why] : wrong) {
        const auto parsed = ParseOptions(arguments);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << why;
        EXPECT_EQ(std::get<std::string>(parsed).rfind(why, 0), 0u) << std::get<std::string>(parsed);
    }
}

TEST(CheckRules, ProcessNearMissesNameTheRunningProcessMeant) {
    const DesktopFacts facts{{u"lprobé-42", u"notepad.exe"}, {}, false};
    const auto misses = [&](const std::u16string& value) {
        return Misses(value, TriggerType::ProcessName, facts);
    };
    // Letter case outside A-Z, ".exe", a folder, a bar: each names what runs.
    EXPECT_EQ(misses(u"lprobÉ-42"), Found{"process-case lprobé-42"});
    EXPECT_EQ(misses(u"lprobé-42.exe"), Found{"exe-suffix lprobé-42"});
    EXPECT_EQ(misses(u"/bin/lprobé-42"), Found{"value-has-folder lprobé-42"});
    EXPECT_EQ(misses(u"C:\\Tools\\absent.exe"), Found{"value-has-folder |"});
    EXPECT_EQ(misses(u"a.exe|lprobé-42"), Found{"value-has-bar lprobé-42"});
    // A letter left out (and ".exe" added, in capitals), two letters swapped, a name too far.
    EXPECT_EQ(misses(u"lprbé-42.EXE"), Found{"process-spelling lprobé-42"});
    EXPECT_EQ(misses(u"plrobé-42"), Found{"process-spelling lprobé-42"});
    EXPECT_EQ(misses(u"lxxxxé-42"), Found{});
    EXPECT_EQ(misses(u"note"), Found{});  // too short for a slip to be told from another name

    Achievement typo;
    typo.trigger_value = u"plrobé-42";
    typo.trigger_type = TriggerType::ProcessName;
    const NearMiss miss = FindNearMisses(typo, facts).at(0);
    EXPECT_NE(miss.message.find("differs from the value in 2 letter(s)"), std::string::npos);
    EXPECT_NE(miss.message.find("write \"lprobé-42\""), std::string::npos) << miss.message;
    EXPECT_NE(miss.message_zh.find("请写 \"lprobé-42\""), std::string::npos) << miss.message_zh;
}

TEST(CheckRules, TitleNearMissesReadTitlesAsTheCheckPassDoes) {
    const std::u16string title = u"Probe 窗口 " + std::u16string(300, u'x') + u"TailMark";
    const DesktopFacts facts{{}, {{title, 0}, {u"Other", 2}, {u"Other", 0}}, true};
    const std::u16string seen = title.substr(0, 255);
    EXPECT_EQ(SeenTitle(facts.windows[0]), seen);
    const auto misses = [&](const std::u16string& value) {
        return Misses(value, TriggerType::WindowTitle, facts);
    };
    const std::string window = Utf16ToUtf8(seen) + "|";
    EXPECT_EQ(misses(u"probe 窗口|TailMark"), (Found{"title-case " + window + "probe 窗口",
                                                     "title-beyond-255 " + window + "TailMark"}));
    EXPECT_EQ(misses(u"Prbe 窗口"), Found{"title-spelling " + window + "Prbe 窗口"});
    EXPECT_EQ(misses(u"Nothing "), Found{"fragment-spaces |Nothing "});
    EXPECT_EQ(misses(u"Absent"), Found{});

    Achievement typo;
    typo.trigger_value = u"Prbe 窗口";
    typo.trigger_type = TriggerType::WindowTitle;
    const NearMiss miss = FindNearMisses(typo, facts).at(0);
    EXPECT_NE(miss.message.find("holds \"Probe 窗口\", which differs from \"Prbe 窗口\" in 1"),
              std::string::npos)
        << miss.message;

    // A title counts as hidden only when every window with it is cloaked.
    EXPECT_FALSE(OnlyCloakedWindowsTitled(facts.windows, u"Other"));
    EXPECT_TRUE(OnlyCloakedWindowsTitled({{u"Other", 2}}, u"Other"));
    EXPECT_FALSE(OnlyCloakedWindowsTitled(facts.windows, u"Absent"));
}

TEST(CheckRules, EditDistanceStopsAtItsLimitAndFindsTheNearestPartOfATitle) {
    EXPECT_EQ(TypoLimit(3), 0u);
    EXPECT_EQ(TypoLimit(4), 1u);
    EXPECT_EQ(TypoLimit(7), 1u);
    EXPECT_EQ(TypoLimit(8), 2u);
    EXPECT_EQ(TypoLimit(400), 2u);
    EXPECT_EQ(EditDistance(u"notepad", u"notepda", 2), 2u);
    EXPECT_EQ(EditDistance(u"notepad", u"notepad", 2), 0u);
    EXPECT_EQ(EditDistance(u"notepad", u"wordpad", 2), 3u);  // beyond: limit + 1
    EXPECT_EQ(EditDistance(u"note", u"notepad", 2), 3u);
    const NearestPart part = FindNearestPart(u"a Calculatr window", u"Calculator", 2);
    EXPECT_EQ(part.distance, 1u);
    EXPECT_EQ(std::u16string_view(u"a Calculatr window").substr(part.begin, part.end - part.begin),
              u"Calculatr");
    EXPECT_EQ(FindNearestPart(u"nothing like it", u"Calculator", 2).distance, 3u);
}

TEST(CheckRules, OutputMayNotNameTheDataFilesInAnySpelling) {
    ProgressTestFolder folder;
    AchievementTracker tracker(nullptr, folder.ModulePath());
    const std::u16string root = folder.path().u16string();
    for (const std::u16string& file : {root + u"/ADV_SAVE.TXT", root + u"/bin/../adv_save.txt",
                                       root + u"/bin/Adv.Json", root + u"/Adv_Stats.txt"}) {
        EXPECT_TRUE(NamesDataFile(file, tracker)) << Utf16ToUtf8(file);
    }
    EXPECT_FALSE(NamesDataFile(root + u"/out.json", tracker));
    EXPECT_FALSE(NamesDataFile(root + u"/bin/adv.json.bak", tracker));
}

// Goals and secrets the program cannot use are found, with the entry's line, and so are the
// lines of adv_stats.txt it skips; the document tells every achievement's goal, progress and
// unlock time, and shows an open secret as the program's list does.
TEST(CheckRules, GoalsAndSecretsAreReportedAndDocumented) {
    ProgressTestFolder folder;
    folder.Write("adv_stats.txt",
                 "starts 2 pad\r\nunlocked 2024-05-01T14:03:22 old\r\nstarts x pad\r\n");
    AchievementTracker tracker(nullptr, folder.ModulePath());
    tracker.stats_path = folder.path().u16string() + u"/adv_stats.txt";
    const auto entry = [](std::u16string id, TriggerType type, std::u16string goal,
                          std::u16string hidden) {
        Achievement achievement;
        achievement.id = id;
        achievement.title = u"T";
        achievement.trigger_value = u"x.exe";
        achievement.trigger_type = type;
        achievement.trigger_goal = std::move(goal);
        achievement.hidden = std::move(hidden);
        return achievement;
    };
    tracker.achievements = {entry(u"pad", TriggerType::ProcessName, u"3次", u"true"),
                            entry(u"typo", TriggerType::ProcessName, u"3 stars", u"yes"),
                            entry(u"none", TriggerType::None, u"2 days", u"false"),
                            entry(u"old", TriggerType::WindowTitle, u"", u"")};
    tracker.LoadProgress();
    tracker.achievements[3].completed = true;
    ScanReport report;
    report.id_lines = {{u"pad", 8}, {u"typo", 17}, {u"none", 26}};
    ReportGoalFindings(tracker, report);
    std::vector<std::string> found;
    for (const ConfigFinding& finding : report.findings) {
        found.push_back(finding.code + " " + finding.file + ":" + std::to_string(finding.line));
    }
    EXPECT_EQ(found, (std::vector<std::string>{"goal-unreadable :17", "hidden-value :17",
                                               "goal-cannot-count :26",
                                               "stats-line-skipped adv_stats.txt:3"}));

    const Json document = CheckDocument(tracker, report);
    const Json& pad = document["achievements"][0];
    EXPECT_EQ(pad["goal"], "3次");
    EXPECT_EQ(pad["progress"], (Json{{"count", 2}, {"target", 3}, {"unit", "starts"}}));
    EXPECT_TRUE(pad["unlocked_at"].is_null());
    EXPECT_TRUE(document["achievements"][1]["progress"].is_null())
        << "a refused goal counts nothing";
    EXPECT_TRUE(document["achievements"][3]["goal"].is_null());
    EXPECT_EQ(document["achievements"][3]["unlocked_at"], "2024-05-01T14:03:22");
    EXPECT_EQ(document["pending_list"][0], "？？？ - 隐藏成就\n触发方式: ？？？");

    // --desktop keeps a secret unless asked for spoilers, and shows a goal's progress.
    const Json secret = DesktopDocument(tracker)["pending_achievements"][0];
    EXPECT_EQ(secret["title"], "？？？");
    EXPECT_FALSE(secret.contains("trigger_value"));
    const Json spoiled = DesktopDocument(tracker, true)["pending_achievements"][0];
    EXPECT_EQ(spoiled["trigger_value"], "x.exe");
    EXPECT_EQ(spoiled["progress"]["count"], 2);
    EXPECT_EQ(spoiled["progress"]["counting_now"], false);

    // The history: known times in order, an unlock of unknown time last; CSV for Excel.
    tracker.achievements[0].completed = true;
    tracker.achievements[3].title = u"旧, \"引\"";
    EXPECT_EQ(HistoryText(tracker), "2024-05-01 14:03:22  old  旧, \"引\"\nunknown  pad  T\n");
    EXPECT_EQ(HistoryCsv(tracker),
              "\xEF\xBB\xBFtime,id,title\r\n"
              "2024-05-01 14:03:22,old,\"旧, \"\"引\"\"\"\r\n"
              ",pad,T\r\n");
}
