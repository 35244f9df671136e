// The bytes of the progress file: how lines are read and how the state is written.

#include <gtest/gtest.h>

#include "progress/goal_stats.h"
#include "progress/progress_format.h"
#include "tests/files/progress_test_folder.h"
#include "text/utf8.h"

TEST(ProgressFormat, WritesCompletedIdsInListOrderWithCrLf) {
    const std::string expected(
        "\x61\x31\x3D\x64\x6F\x6E\x65\x0D\x0A\x62\x32\x3D\x64\x6F\x6E\x65\x0D\x0A", 18);
    EXPECT_EQ(SerializeProgress({ProgressRecord(u"a1", true), ProgressRecord(u"b2", true)}),
              expected);
    EXPECT_EQ(SerializeProgress({ProgressRecord(u"a1", false)}), "");
    EXPECT_EQ(SerializeProgress({ProgressRecord(u"open", false), ProgressRecord(u" sp ", true),
                                 ProgressRecord(u"dup", true), ProgressRecord(u"dup", true)}),
              " sp =done\r\ndup=done\r\ndup=done\r\n");
}

TEST(ProgressFormat, ReadsLinesAsTextModeDoes) {
    // CR LF and LF end lines; a CR without LF belongs to the line; blank lines are skipped.
    EXPECT_EQ(ParseProgress("a=done\nb=done\r\n\r\n\nc=done"),
              (CompletedMap{{u"a", true}, {u"b", true}, {u"c", true}}));
    EXPECT_EQ(ParseProgress("a=done\rb=done\r\nc=done\r\nd=done\r\r\ne=done\r"),
              (CompletedMap{{u"a", false}, {u"c", true}, {u"d", false}, {u"e", false}}));
    EXPECT_EQ(ParseProgress("x\r=done\r\n"), (CompletedMap{{u"x\r", true}}));
    // 0x1A ends the text wherever it stands.
    EXPECT_EQ(ParseProgress("a=done\r\n\x1A"
                            "b=done\r\n"),
              (CompletedMap{{u"a", true}}));
    EXPECT_EQ(ParseProgress("a=do\x1Ane\r\n"), (CompletedMap{{u"a", false}}));
    EXPECT_TRUE(ParseProgress("").empty());
}

TEST(ProgressFormat, KeyIsBeforeTheFirstEqualsAndOnlyExactDoneCompletes) {
    const CompletedMap map = ParseProgress(
        "two=done=done\r\n=done\r\nno separator\r\nspaced = done\r\nspaced=done \r\n"
        "caps=DONE\r\ntab\t=done\r\nlater=done\r\nlater=nope\r\n"
        "\xEF\xBB\xBF"
        "bom=done\r\n");
    const CompletedMap expected{{u"two", false},
                                {u"", true},
                                {u"spaced ", false},
                                {u"spaced", false},
                                {u"caps", false},
                                {u"tab\t", true},
                                {u"later", false},
                                {u"\u00EF\u00BB\u00BF"
                                 u"bom",
                                 true}};
    EXPECT_EQ(map, expected);
}

TEST(ProgressFormat, SingleByteIdsKeepOneBytePerCharacter) {
    const std::u16string latin = u"caf\u00E9 \u00FF\u0080\u0001";
    EXPECT_EQ(SerializeProgress({ProgressRecord(latin, true)}),
              std::string("caf\xE9 \xFF\x80\x01=done\r\n"));

    std::u16string all;  // every character a single-byte line can carry
    for (char16_t c = 0; c <= 0xFF; ++c) {
        if (c != u'\n' && c != u'=' && c != 0x1A) all.push_back(c);
    }
    const std::string bytes = SerializeProgress({ProgressRecord(all, true)});
    EXPECT_EQ(bytes.size(), all.size() + 7);
    EXPECT_EQ(ParseProgress(bytes), (CompletedMap{{all, true}}));
}

TEST(ProgressFormat, WideIdsUseUtf8WithTheirOwnValueAndReadBackExactly) {
    const std::u16string chinese = u"\u521D\u6B21\u542F\u52A8";  // 初次启动
    EXPECT_EQ(SerializeProgress({ProgressRecord(chinese, true)}),
              "\xE5\x88\x9D\xE6\xAC\xA1\xE5\x90\xAF\xE5\x8A\xA8=done-utf8\r\n");

    const std::u16string astral = u"a\U0001F600b";
    const std::u16string lone = {u'x', char16_t(0xD800), u'y', char16_t(0xDFFF)};
    const std::u16string with_latin = u"\u00E9\u4E2D";
    const std::string file = SerializeProgress(
        {ProgressRecord(u"plain", true), ProgressRecord(chinese, true), ProgressRecord(lone, true),
         ProgressRecord(with_latin, true), ProgressRecord(astral, true)});
    const CompletedMap expected{
        {u"plain", true}, {chinese, true}, {astral, true}, {lone, true}, {with_latin, true}};
    EXPECT_EQ(ParseProgress(file), expected);

    // Ill-formed UTF-8 completes nothing; a value near "done-utf8" is just not done.
    EXPECT_EQ(ParseProgress("\xE4\xB8=done-utf8\r\n\xE4\xB8\xAD=done-utf8x\r\n"),
              (CompletedMap{{u"\u00E4\u00B8\u00AD", false}}));
}

TEST(Wtf8, EncodesCodePointsAndLoneSurrogatesAndRejectsIllFormedBytes) {
    EXPECT_EQ(EncodeWtf8(u"A\u00E9\u4E2D\U0001F600"), "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(EncodeWtf8(std::u16string{char16_t(0xDC00), char16_t(0xD800)}),
              "\xED\xB0\x80\xED\xA0\x80");
    EXPECT_EQ(DecodeWtf8("\xED\xB0\x80\xED\xA0\x80"),
              (std::u16string{char16_t(0xDC00), char16_t(0xD800)}));

    for (const char* bad : {"\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xC0\xAF", "\xF4\x90\x80\x80",
                            "\xC2", "\xE4\x41\xAD", "\x80", "\xFF"}) {
        EXPECT_FALSE(DecodeWtf8(bad)) << bad;
    }

    std::u16string every;  // every code unit, paired or not, comes back unchanged
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) every.push_back(static_cast<char16_t>(unit));
    EXPECT_EQ(DecodeWtf8(EncodeWtf8(every)), every);
}

TEST(GoalStatsFormat, WritesSortedFactsAndReadsThemBack) {
    GoalStats stats;
    stats[u"记事本"] = {3, 0, {}, 0};
    stats[u"b"] = {0,
                   7'260'999,
                   {MakeStatsDay(2024, 5, 3), MakeStatsDay(2024, 5, 1)},
                   MakeStatsTime(2024, 5, 3, 14, 3, 22)};
    stats[u"nothing"] = {};
    const std::string bytes = SerializeGoalStats(stats);
    EXPECT_EQ(
        bytes,
        "seconds 7260 b\r\nday 2024-05-01 b\r\nday 2024-05-03 b\r\n"
        "unlocked 2024-05-03T14:03:22 b\r\nstarts 3 \xE8\xAE\xB0\xE4\xBA\x8B\xE6\x9C\xAC\r\n");
    const StatsReading reading = ReadGoalStats(bytes);
    EXPECT_TRUE(reading.skipped.empty());
    stats.erase(u"nothing");
    stats[u"b"].milliseconds = 7'260'000;  // whole seconds on disk
    EXPECT_EQ(reading.stats, stats);
    // An id may hold spaces; it runs to the line end.
    EXPECT_EQ(ReadGoalStats("starts 2 with space \n").stats.begin()->first, u"with space ");
}

TEST(GoalStatsFormat, SkipsEveryLineThatDoesNotReadAndKeepsTheRest) {
    const StatsReading reading = ReadGoalStats(
        "\xEF\xBB\xBFstarts 4 a\r\n\r\nminutes 3 a\nstarts -1 a\nstarts 1000000001 a\n"
        "starts 99999999999999999999999 a\nday 2023-02-29 a\nday 2024-02-29 a\n"
        "unlocked 2024-05-01 14:03:22 a\nstarts 5\nstarts 5 \nseconds 60 \xFF\xFE\n"
        "starts 2 a\nseconds 1x a\nunlocked 2024-13-01T00:00:00 a\n\x1A");
    std::vector<std::pair<std::size_t, StatsLineProblem>> skipped;
    for (const SkippedStatsLine& line : reading.skipped)
        skipped.emplace_back(line.number, line.problem);
    using P = StatsLineProblem;
    EXPECT_EQ(skipped,
              (std::vector<std::pair<std::size_t, StatsLineProblem>>{{3, P::UnknownKind},
                                                                     {4, P::BadValue},
                                                                     {5, P::BadValue},
                                                                     {6, P::BadValue},
                                                                     {7, P::BadValue},
                                                                     {9, P::BadValue},
                                                                     {10, P::NoId},
                                                                     {11, P::NoId},
                                                                     {12, P::BadId},
                                                                     {14, P::BadValue},
                                                                     {15, P::BadValue},
                                                                     {16, P::UnknownKind}}));
    EXPECT_EQ(reading.skipped[0].text, "minutes 3 a");
    // The same fact twice merges as copies do: the larger count.
    EXPECT_EQ(reading.stats, (GoalStats{{u"a", {4, 0, {MakeStatsDay(2024, 2, 29)}, 0}}}));
}

TEST(GoalStatsFormat, CopiesMergeByTheLargerCountTheUnionOfDaysAndTheEarlierUnlock) {
    GoalStats here{{u"a", {5, 60'000, {20240501}, 20240502090000}}, {u"b", {1, 0, {}, 0}}};
    const GoalStats there{{u"a", {3, 120'000, {20240501, 20240503}, 20240501080000}},
                          {u"c", {0, 0, {20240101}, 0}}};
    EXPECT_TRUE(MergeGoalStats(here, there));
    EXPECT_EQ(here, (GoalStats{{u"a", {5, 120'000, {20240501, 20240503}, 20240501080000}},
                               {u"b", {1, 0, {}, 0}},
                               {u"c", {0, 0, {20240101}, 0}}}));
    // Merging the same copy again adds nothing: no count is taken twice.
    EXPECT_FALSE(MergeGoalStats(here, there));
    EXPECT_FALSE(MergeGoalStats(here, here));
}
