// The bytes of the progress file: how lines are read and how the state is written.

#include <gtest/gtest.h>

#include "progress/progress_file.h"
#include "progress/wtf8.h"

namespace {

Achievement Record(std::u16string id, bool completed) {
    Achievement record;
    record.id = std::move(id);
    record.completed = completed;
    return record;
}

}  // namespace

TEST(ProgressFormat, WritesCompletedIdsInListOrderWithCrLf) {
    const std::string example = SerializeProgress({Record(u"a1", true), Record(u"b2", true)});
    const std::string expected("\x61\x31\x3D\x64\x6F\x6E\x65\x0D\x0A\x62\x32\x3D\x64\x6F\x6E\x65\x0D\x0A", 18);
    EXPECT_EQ(example, expected);

    EXPECT_EQ(SerializeProgress({}), "");
    EXPECT_EQ(SerializeProgress({Record(u"a1", false), Record(u"b2", false)}), "");
    EXPECT_EQ(SerializeProgress({Record(u"open", false), Record(u" sp ", true), Record(u"x", false),
                                 Record(u"dup", true), Record(u"dup", true)}),
              " sp =done\r\ndup=done\r\ndup=done\r\n");
}

TEST(ProgressFormat, LineEndsFollowTextMode) {
    CompletedMap crlf = ParseProgress("a1=done\r\nb2=done\r\n");
    EXPECT_EQ(crlf, (CompletedMap{{u"a1", true}, {u"b2", true}}));

    CompletedMap mixed = ParseProgress("a=done\nb=done\r\n\r\n\nc=done");
    EXPECT_EQ(mixed, (CompletedMap{{u"a", true}, {u"b", true}, {u"c", true}}));

    // A CR not followed by LF belongs to the line.
    CompletedMap lone_cr = ParseProgress("a=done\rb=done\r\nc=done\r");
    EXPECT_EQ(lone_cr, (CompletedMap{{u"a", false}, {u"c", false}}));
    CompletedMap cr_in_key = ParseProgress("x\r=done\r\n");
    EXPECT_EQ(cr_in_key, (CompletedMap{{u"x\r", true}}));
    CompletedMap double_cr = ParseProgress("d=done\r\r\n");
    EXPECT_EQ(double_cr, (CompletedMap{{u"d", false}}));

    EXPECT_TRUE(ParseProgress("").empty());
    EXPECT_TRUE(ParseProgress("\r\n\n").empty());
}

TEST(ProgressFormat, EndOfTextByteStopsReading) {
    EXPECT_EQ(ParseProgress("a=done\r\n\x1A" "b=done\r\n"), (CompletedMap{{u"a", true}}));
    EXPECT_EQ(ParseProgress("a=do\x1Ane\r\n"), (CompletedMap{{u"a", false}}));
    EXPECT_TRUE(ParseProgress("\x1A" "a=done").empty());
}

TEST(ProgressFormat, KeyIsBeforeTheFirstEqualsAndOnlyExactDoneCompletes) {
    const CompletedMap map = ParseProgress(
        "two=done=done\r\n"
        "=done\r\n"
        "no separator\r\n"
        "spaced = done\r\n"
        "spaced=done \r\n"
        "caps=DONE\r\n"
        "tab\t=done\r\n"
        "empty=\r\n");
    const CompletedMap expected{{u"two", false},    {u"", true},       {u"spaced ", false},
                                {u"spaced", false}, {u"caps", false},  {u"tab\t", true},
                                {u"empty", false}};
    EXPECT_EQ(map, expected);
}

TEST(ProgressFormat, LaterLineForTheSameKeyWins) {
    EXPECT_EQ(ParseProgress("k=done\r\nk=nope\r\n"), (CompletedMap{{u"k", false}}));
    EXPECT_EQ(ParseProgress("k=nope\r\nk=done\r\n"), (CompletedMap{{u"k", true}}));
}

TEST(ProgressFormat, ByteOrderMarkBelongsToTheFirstKey) {
    const CompletedMap map = ParseProgress("\xEF\xBB\xBF" "a1=done\r\nb2=done\r\n");
    EXPECT_EQ(map, (CompletedMap{{u"\u00EF\u00BB\u00BF" u"a1", true}, {u"b2", true}}));
}

TEST(ProgressFormat, SingleByteIdsKeepOneBytePerCharacter) {
    const std::u16string latin = u"caf\u00E9 \u00FF\u0080\u0001";
    EXPECT_EQ(SerializeProgress({Record(latin, true)}), std::string("caf\xE9 \xFF\x80\x01=done\r\n"));
    EXPECT_EQ(ParseProgress("caf\xE9 \xFF\x80\x01=done\r\n"), (CompletedMap{{latin, true}}));

    // Every character an id in single-byte form can hold and read back.
    std::u16string all;
    for (char16_t c = 0; c <= 0xFF; ++c) {
        if (c != u'\n' && c != u'=' && c != 0x1A) all.push_back(c);
    }
    const std::string bytes = SerializeProgress({Record(all, true)});
    EXPECT_EQ(bytes.size(), all.size() + 7);
    EXPECT_EQ(ParseProgress(bytes), (CompletedMap{{all, true}}));
}

TEST(ProgressFormat, WideIdsUseUtf8WithTheirOwnValueAndReadBackExactly) {
    const std::u16string chinese = u"\u521D\u6B21\u542F\u52A8";  // 初次启动
    const std::string line = SerializeProgress({Record(chinese, true)});
    EXPECT_EQ(line, "\xE5\x88\x9D\xE6\xAC\xA1\xE5\x90\xAF\xE5\x8A\xA8=done-utf8\r\n");

    // Mixed with single-byte ids, with a character outside the BMP and with lone surrogates.
    const std::u16string astral = u"a\U0001F600b";
    const std::u16string lone = {u'x', char16_t(0xD800), u'y', char16_t(0xDFFF)};
    const std::u16string with_latin = u"\u00E9\u4E2D";
    const std::string file = SerializeProgress({Record(u"plain", true), Record(chinese, true),
                                                Record(astral, false), Record(lone, true),
                                                Record(with_latin, true), Record(astral, true)});
    const CompletedMap expected{{u"plain", true}, {chinese, true}, {astral, true},
                                {lone, true},     {with_latin, true}};
    EXPECT_EQ(ParseProgress(file), expected);

    // A line written this way never completes the single-byte id its bytes spell.
    EXPECT_EQ(ParseProgress(file).count(u"\u00E5\u0088\u009D\u00E6\u00AC\u00A1\u00E5\u0090\u00AF\u00E5\u008A\u00A8"), 0u);
}

TEST(ProgressFormat, MalformedUtf8KeysCompleteNothing) {
    const CompletedMap map = ParseProgress(
        "\xE4\xB8=done-utf8\r\n"      // cut short
        "\xC0\xAF=done-utf8\r\n"      // overlong '/'
        "\xF4\x90\x80\x80=done-utf8\r\n"  // above U+10FFFF
        "\x80=done-utf8\r\n"          // stray continuation
        "ok=done-utf8\r\n"
        "\xE4\xB8\xAD=done-utf8x\r\n");
    EXPECT_EQ(map, (CompletedMap{{u"ok", true}, {u"\u00E4\u00B8\u00AD", false}}));
}

TEST(Wtf8, EncodesCodePointsAndLoneSurrogates) {
    EXPECT_EQ(EncodeWtf8(u"A\u00E9\u4E2D"), "A\xC3\xA9\xE4\xB8\xAD");
    EXPECT_EQ(EncodeWtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(EncodeWtf8(std::u16string{char16_t(0xD800)}), "\xED\xA0\x80");
    EXPECT_EQ(EncodeWtf8(std::u16string{char16_t(0xDC00), char16_t(0xD800)}), "\xED\xB0\x80\xED\xA0\x80");

    EXPECT_EQ(DecodeWtf8("\xF0\x9F\x98\x80"), std::u16string(u"\U0001F600"));
    EXPECT_EQ(DecodeWtf8("\xED\xB0\x80\xED\xA0\x80"), (std::u16string{char16_t(0xDC00), char16_t(0xD800)}));
    EXPECT_EQ(DecodeWtf8(std::string("\0", 1)), std::u16string(1, u'\0'));
    EXPECT_FALSE(DecodeWtf8("\xE0\x9F\xBF"));  // overlong three-byte form
    EXPECT_FALSE(DecodeWtf8("\xF0\x8F\xBF\xBF"));
    EXPECT_FALSE(DecodeWtf8("\xC2"));
    EXPECT_FALSE(DecodeWtf8("\xE4\x41\xAD"));
    EXPECT_FALSE(DecodeWtf8("\xFF"));

    // Every code unit, paired or not, comes back unchanged.
    std::u16string every;
    for (char32_t unit = 1; unit <= 0xFFFF; ++unit) every.push_back(static_cast<char16_t>(unit));
    EXPECT_EQ(DecodeWtf8(EncodeWtf8(every)), every);
}
