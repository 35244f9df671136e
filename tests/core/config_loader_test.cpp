// The configuration loader: its line rules, value extraction, file reading and the three
// load failures, on real files in a temp folder.

#include <gtest/gtest.h>

#include <filesystem>

#include "config/config_loader.h"
#include "config/config_scan.h"
#include "config/goal.h"
#include "config/scan_report.h"
#include "tests/core/config_samples.h"
#include "tests/fake/fake_platform.h"
#include "tests/files/progress_test_folder.h"
#include "text/utf8.h"
#include "tracker/tracker.h"

namespace {

std::vector<std::u16string> Ids(const std::vector<Achievement>& records) {
    std::vector<std::u16string> ids;
    for (const Achievement& record : records) ids.push_back(record.id);
    return ids;
}

std::string WithCrlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

void WriteConfig(const ProgressTestFolder& folder, std::string_view bytes) {
    std::filesystem::create_directories(folder.File("bin"));
    folder.Write("bin/adv.json", std::string(bytes));
}

}  // namespace

TEST(ConfigScan, WorkedExampleLoadsInFileOrderAlsoWithCrlfAndByteOrderMark) {
    const std::vector<Achievement> records = Scan(samples::WORKED_EXAMPLE);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].id, u"first_note");
    EXPECT_EQ(records[0].title, u"Note Taker");
    EXPECT_EQ(records[0].description, u"Open a text editor for the first time.");
    EXPECT_EQ(records[0].trigger_description, u"Run notepad.exe");
    EXPECT_EQ(records[0].trigger_value, u"notepad.exe");
    EXPECT_EQ(records[0].trigger_type, TriggerType::ProcessName);
    EXPECT_EQ(records[1].id, u"calc_window");
    EXPECT_EQ(records[1].trigger_description, u"A window with Calculator in its title is visible");
    EXPECT_EQ(records[1].trigger_type, TriggerType::WindowTitle);
    EXPECT_FALSE(records[0].completed || records[1].completed);

    EXPECT_TRUE(Scan(WithCrlf(samples::WORKED_EXAMPLE)) == records);

    ProgressTestFolder folder;
    WriteConfig(folder, "\xEF\xBB\xBF" + WithCrlf(samples::WORKED_EXAMPLE));
    std::vector<Achievement> loaded;
    EXPECT_EQ(LoadAchievements(folder.path().u16string() + u"\\bin\\adv.json", loaded), u"");
    EXPECT_TRUE(loaded == records);
}

TEST(ConfigScan, MarkerLineRules) {
    EXPECT_EQ(Ids(Scan(samples::MARKER_WITH_BLANKS)), std::vector<std::u16string>{u"a"});
    EXPECT_TRUE(Scan(samples::MARKER_SPLIT).empty());
    EXPECT_TRUE(Scan(samples::MARKER_OTHER_CASE).empty());
    // Nothing after the marker on its line counts, so a one-line file loads nothing.
    EXPECT_TRUE(Scan(samples::COMPACT_ONE_LINE).empty());
    EXPECT_EQ(Ids(Scan(samples::BRACE_ON_MARKER_LINE)), std::vector<std::u16string>{u"kept"});
}

TEST(ConfigScan, OpeningLineLosesItsMemberClosingLineAppliesIt) {
    const std::vector<Achievement> records = Scan(samples::OPENING_AND_CLOSING_LINES);
    // Dropped: the id on the '{' line, a space before the colon, a number id, an empty id,
    // no id at all.
    ASSERT_EQ(Ids(records), (std::vector<std::u16string>{u"b", u"no_title"}));
    EXPECT_EQ(records[0].title, u"T2");
    EXPECT_EQ(records[1].title, u"");
    EXPECT_EQ(records[1].trigger_value, u"");
    EXPECT_EQ(records[1].trigger_type, TriggerType::None);
}

TEST(ConfigScan, KeyOrderDecidesAndLaterValuesReplaceEarlierOnes) {
    const std::vector<Achievement> records = Scan(samples::KEY_ORDER);
    ASSERT_EQ(records.size(), 5u);
    // One member per line: the first in the order of trial, not of the line.
    EXPECT_EQ(records[0].id, u"a");
    EXPECT_EQ(records[0].title, u"");
    EXPECT_EQ(records[0].trigger_value, u"v.exe");
    EXPECT_EQ(records[0].trigger_type, TriggerType::None);
    EXPECT_EQ(records[0].description, u"D");
    // A later non-empty value wins, an empty one changes nothing, and a later type in another
    // case sets the type back to none.
    EXPECT_EQ(records[1].title, u"Second");
    EXPECT_EQ(records[1].trigger_type, TriggerType::None);
    EXPECT_EQ(records[2].trigger_type, TriggerType::None);
    EXPECT_EQ(records[2].description, u"spaces  inside\\tvalues  kept");  // \t not decoded
    EXPECT_EQ(records[3].trigger_type, TriggerType::ProcessName);
    EXPECT_EQ(records[4].trigger_type, TriggerType::None);
}

TEST(ConfigScan, ValuesKeepEscapesAndRunToTheLineEndWithoutClosingQuote) {
    const std::vector<Achievement> records = Scan(samples::VALUES);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].id, u"q\\\"uoted");
    EXPECT_EQ(records[0].title, u"open ended\r");
    EXPECT_EQ(records[0].description, u"a\\\\b\\n\\u00e9 你好");
    EXPECT_EQ(records[0].trigger_value.substr(0, 4), u"bad ");
    EXPECT_NE(records[0].trigger_value.find(u'\uFFFD'), std::u16string::npos);
    EXPECT_EQ(records[0].trigger_value.substr(records[0].trigger_value.size() - 5), u" utf8");
    EXPECT_EQ(records[0].trigger_description, u"tab");
    EXPECT_EQ(records[0].trigger_type, TriggerType::None);
}

TEST(ConfigScan, BracesAndBracketsInsideEntries) {
    // A '}' in a value closes the entry on that line, after that line's member.
    const std::vector<Achievement> brace = Scan(samples::BRACE_IN_VALUE);
    ASSERT_EQ(Ids(brace), (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_EQ(brace[0].title, u"Curly } title");
    EXPECT_EQ(brace[0].description, u"");
    EXPECT_EQ(brace[1].description, u"D");
    EXPECT_EQ(brace[1].title, u"");
    EXPECT_EQ(brace[1].trigger_value, u"");

    // A ']' in a value ends the scan there: the open entry and all after it are lost.
    EXPECT_EQ(Ids(Scan(samples::BRACKET_IN_VALUE)), std::vector<std::u16string>{u"a"});
    EXPECT_EQ(Ids(Scan(samples::BRACKET_ON_CLOSING_LINE)), std::vector<std::u16string>{u"a"});

    // A nested object fills the same record and its '}' closes the entry.
    const std::vector<Achievement> nested = Scan(samples::NESTED_OBJECT);
    ASSERT_EQ(Ids(nested), (std::vector<std::u16string>{u"outer", u"next"}));
    EXPECT_EQ(nested[0].title, u"Inner");
    EXPECT_EQ(nested[0].description, u"");

    // "}, {" only closes; the next entry opens at the next line holding a "{".
    const std::vector<Achievement> shared = Scan(samples::SHARED_BRACE_LINE);
    EXPECT_EQ(Ids(shared), (std::vector<std::u16string>{u"a", u"c"}));

    EXPECT_EQ(Ids(Scan(samples::BETWEEN_ENTRIES)), (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_EQ(Ids(Scan(samples::OPEN_AT_END)), std::vector<std::u16string>{u"a"});
    EXPECT_EQ(Ids(Scan(samples::DUPLICATE_IDS)), (std::vector<std::u16string>{u"same", u"same"}));
}

TEST(ConfigScan, ExtractJsonStringFindsTheFirstNeedleAndItsQuotedValue) {
    EXPECT_EQ(ExtractJsonString(R"(  "id": "a", "id": "b")", "id"), u"a");
    EXPECT_EQ(ExtractJsonString("\"id\":\t  \"a b\"", "id"), u"a b");
    EXPECT_EQ(ExtractJsonString(R"("id" : "a")", "id"), u"");
    EXPECT_EQ(ExtractJsonString(R"("id": )", "id"), u"");
    EXPECT_EQ(ExtractJsonString(R"("id": 5)", "id"), u"");
    EXPECT_EQ(ExtractJsonString(R"("id": "")", "id"), u"");
    EXPECT_EQ(ExtractJsonString(R"("ID": "a")", "id"), u"");
    EXPECT_EQ(ExtractJsonString(R"("id": "a\)", "id"), u"a\\");
    EXPECT_EQ(ExtractJsonString(R"("id": "a\\")", "id"), u"a\\\\");
    EXPECT_EQ(ExtractJsonString(R"("id": "\"" tail")", "id"), u"\\\"");
    // "trigger_value" does not hold the needle "value":.
    EXPECT_EQ(ExtractJsonString(R"("trigger_value": "x")", "value"), u"");
}

TEST(ConfigFile, ReadWholeFileSkipsTheMarkAndRefusesShortFiles) {
    ProgressTestFolder folder;
    const std::u16string path = folder.path().u16string() + u"\\f.json";
    EXPECT_EQ(ReadWholeFile(path), "");
    for (const std::string bytes : {"", "{", "{}", "\xEF\xBB\xBF", "\xEF\xBB"}) {
        folder.Write("f.json", bytes);
        EXPECT_EQ(ReadWholeFile(path), "") << bytes.size();
    }
    folder.Write("f.json", "abc");
    EXPECT_EQ(ReadWholeFile(path), "abc");
    folder.Write("f.json", "\xEF\xBB\xBFx\r\n\x1Ay");
    EXPECT_EQ(ReadWholeFile(path), std::string("x\r\n\x1Ay"));
    folder.Write("f.json", "\xEF\xBB\xBF\xEF\xBB\xBF");
    EXPECT_EQ(ReadWholeFile(path), "\xEF\xBB\xBF");
    std::filesystem::create_directories(folder.File("dir.json"));
    EXPECT_EQ(ReadWholeFile(folder.path().u16string() + u"\\dir.json"), "");
}

TEST(ConfigLoad, EachFailureShowsItsOneMessageAndLeavesTheListEmpty) {
    ProgressTestFolder folder;
    AchievementTracker tracker(reinterpret_cast<void*>(0x77), folder.ModulePath());
    tracker.achievements.push_back(Achievement{u"stale", u"", u"", u"", u"", {}, true, u"", u""});

    ResetFake();
    EXPECT_FALSE(tracker.LoadConfig());
    EXPECT_TRUE(tracker.achievements.empty());
    ASSERT_EQ(Fake().error_messages.size(), 1u);
    EXPECT_EQ(Fake().error_messages[0], u"找不到成就配置文件！\n请确保以下文件存在：\n" +
                                            folder.path().u16string() + u"\\bin\\adv.json");

    const std::vector<std::string> unreadable = {"", "{}", "\xEF\xBB\xBF"};
    for (const std::string& bytes : unreadable) {
        WriteConfig(folder, bytes);
        ResetFake();
        EXPECT_FALSE(tracker.LoadConfig());
        EXPECT_EQ(Fake().error_messages, std::vector<std::u16string>{u"JSON文件为空或读取失败！"});
    }

    for (std::string_view text : {samples::COMPACT_ONE_LINE, samples::MARKER_SPLIT}) {
        WriteConfig(folder, text);
        ResetFake();
        EXPECT_FALSE(tracker.LoadConfig());
        EXPECT_TRUE(tracker.achievements.empty());
        EXPECT_EQ(Fake().error_messages,
                  std::vector<std::u16string>{u"JSON解析失败或没有找到成就配置！"});
    }

    WriteConfig(folder, samples::WORKED_EXAMPLE);
    ResetFake();
    EXPECT_TRUE(tracker.LoadConfig());
    EXPECT_EQ(tracker.achievements.size(), 2u);
    EXPECT_TRUE(Fake().error_messages.empty());
}

TEST(ConfigLoad, DirectoryInPlaceOfTheFileCountsAsPresentButUnreadable) {
    ProgressTestFolder folder;
    std::filesystem::create_directories(folder.File("bin/adv.json"));
    AchievementTracker tracker(nullptr, folder.ModulePath());
    ResetFake();
    EXPECT_FALSE(tracker.LoadConfig());
    EXPECT_EQ(Fake().error_messages, std::vector<std::u16string>{u"JSON文件为空或读取失败！"});
}

TEST(ConfigReport, NeverChangesWhatLoads) {
    for (std::string_view text : samples::All()) {
        for (const std::string& variant : {std::string(text), WithCrlf(text)}) {
            std::vector<Achievement> plain;
            std::vector<Achievement> reported;
            ScanReport report;
            ScanAchievements(variant, plain);
            ScanAchievements(variant, reported, &report);
            EXPECT_TRUE(plain == reported) << variant;
        }
    }
}

TEST(ConfigScan, GoalAndHiddenAreReadAfterTheSixKeysAndGoalsParseOrAreRefused) {
    const std::vector<Achievement> records = Scan(
        "{\"achievements\": [\n{\n\"id\": \"a\",\n\"trigger_type\": \"process_name\",\n"
        "\"trigger_goal\": \"10次\",\n\"hidden\": \"true\"\n},\n{\n\"id\": \"b\",\n"
        "\"title\": \"T\", \"trigger_goal\": \"3 starts\"\n}\n]}\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].trigger_goal, u"10次");
    EXPECT_TRUE(IsHidden(records[0]));
    EXPECT_EQ(GoalOf(records[0]).goal, (Goal{GoalUnit::Starts, 10}));
    // A line with one of the six keys applies that one only.
    EXPECT_EQ(records[1].title, u"T");
    EXPECT_FALSE(HasGoal(records[1]));
    EXPECT_FALSE(GoalOf(records[1]).goal);

    const std::pair<std::u16string_view, Goal> read[] = {
        {u"10 starts", {GoalUnit::Starts, 10}},     {u"1 start", {GoalUnit::Starts, 1}},
        {u"600 minutes", {GoalUnit::Minutes, 600}}, {u"600分钟", {GoalUnit::Minutes, 600}},
        {u" 5 天 ", {GoalUnit::Days, 5}},           {u"1000000 days", {GoalUnit::Days, 1000000}},
        {u"007\u3000次", {GoalUnit::Starts, 7}},
    };
    for (const auto& [text, goal] : read) {
        EXPECT_EQ(ParseGoal(text).goal, goal) << Quoted(text);
        EXPECT_EQ(ParseGoal(text).refusal, GoalRefusal::None);
    }
    const std::pair<std::u16string_view, GoalRefusal> refused[] = {
        {u"starts", GoalRefusal::NoNumber},
        {u"", GoalRefusal::NoNumber},
        {u"-3 starts", GoalRefusal::NoNumber},
        {u"0 starts", GoalRefusal::Zero},
        {u"1000001 days", GoalRefusal::TooLarge},
        {u"99999999999999999999次", GoalRefusal::TooLarge},
        {u"10 hours", GoalRefusal::UnknownUnit},
        {u"10", GoalRefusal::UnknownUnit},
        {u"10 Starts", GoalRefusal::UnknownUnit},
        {u"3.5 days", GoalRefusal::UnknownUnit},
    };
    for (const auto& [text, refusal] : refused) {
        EXPECT_FALSE(ParseGoal(text).goal) << Quoted(text);
        EXPECT_EQ(ParseGoal(text).refusal, refusal) << Quoted(text);
    }
    Achievement none;
    none.trigger_goal = u"3 starts";
    EXPECT_EQ(GoalOf(none).refusal, GoalRefusal::TriggerCannotCount);
    EXPECT_FALSE(GoalOf(none).goal);
    none.hidden = u"True";
    EXPECT_FALSE(IsHidden(none));
}
