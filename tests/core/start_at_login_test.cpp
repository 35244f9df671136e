// The start-up entry's name, its command, the rule for the check mark and the
// minimized-start argument.

#include <gtest/gtest.h>

#include "login/start_at_login.h"

TEST(StartAtLogin, EntryNameIsPerFolderAndIgnoresLetterCase) {
    const std::u16string name = StartupEntryName(u"D:\\Games\\Laurelight");
    ASSERT_EQ(name.size(), 19u);
    EXPECT_EQ(name.substr(0, 11), u"Laurelight ");
    for (char16_t digit : name.substr(11)) {
        EXPECT_TRUE((digit >= u'0' && digit <= u'9') || (digit >= u'A' && digit <= u'F'));
    }
    EXPECT_EQ(StartupEntryName(u"d:\\GAMES\\laurelight"), name);
    EXPECT_NE(StartupEntryName(u"D:\\Games\\Laurelight2"), name);
    EXPECT_NE(StartupEntryName(u"C:\\Games\\Laurelight"), name);
    // 32-bit FNV-1a of the octets 0x41 0x00 ("A"), worked out apart from this code: the name
    // must stay the same from one build to the next, or an upgrade would lose its entry.
    EXPECT_EQ(StartupEntryName(u"a"), u"Laurelight 6AD58324");
    EXPECT_NE(StartupEntryName(u"\u6587"), StartupEntryName(u"\u6588"));
}

TEST(StartAtLogin, CommandQuotesThePathAndStartsMinimized) {
    const std::u16string exe = u"C:\\My Apps\\Laurelight\\Laurelight.exe";
    const std::u16string command = StartupEntryCommand(exe);
    EXPECT_EQ(command, u"\"C:\\My Apps\\Laurelight\\Laurelight.exe\" --minimized");
    EXPECT_TRUE(StartupEntryStarts(command, exe));
    EXPECT_TRUE(AsksToStartMinimized(command.substr(command.find(u' ', 10))));
}

TEST(StartAtLogin, EntryStartsThisCopyOnlyWhenItNamesThisExecutable) {
    const std::u16string exe = u"C:\\My Apps\\L\\Laurelight.exe";
    EXPECT_TRUE(StartupEntryStarts(u"\"c:\\my apps\\l\\LAURELIGHT.EXE\"", exe));
    EXPECT_TRUE(StartupEntryStarts(u"  C:\\My Apps\\L\\Laurelight.exe --minimized", exe));
    EXPECT_TRUE(StartupEntryStarts(u"C:\\My Apps\\L\\Laurelight.exe", exe));
    // A moved folder, a renamed executable, a longer name, a cut path, nothing.
    EXPECT_FALSE(StartupEntryStarts(u"\"D:\\My Apps\\L\\Laurelight.exe\" --minimized", exe));
    EXPECT_FALSE(StartupEntryStarts(u"\"C:\\My Apps\\L\\Laurelight2.exe\"", exe));
    EXPECT_FALSE(StartupEntryStarts(u"C:\\My Apps\\L\\Laurelight.exe2", exe));
    EXPECT_FALSE(StartupEntryStarts(u"\"C:\\My Apps\\L\\Laurelight.exe", exe));
    EXPECT_FALSE(StartupEntryStarts(u"\"C:\\My Apps\\L\\Laurelight.ex\"", exe));
    EXPECT_FALSE(StartupEntryStarts(u"", exe));
    EXPECT_FALSE(StartupEntryStarts(u"\"\"", u""));
}

TEST(StartAtLogin, MinimizedArgumentIsOneWholeArgument) {
    EXPECT_TRUE(AsksToStartMinimized(u"--minimized"));
    EXPECT_TRUE(AsksToStartMinimized(u"  --other \"a b\"\t--MINIMIZED  "));
    EXPECT_TRUE(AsksToStartMinimized(u"\"--minimized\""));
    EXPECT_FALSE(AsksToStartMinimized(u""));
    EXPECT_FALSE(AsksToStartMinimized(u"--minimized2 -minimized"));
    EXPECT_FALSE(AsksToStartMinimized(u"\"a --minimized b\""));
}
