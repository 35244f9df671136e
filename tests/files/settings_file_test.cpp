// adv_settings.txt: the defaults without it, every setting read back as written, and every byte
// the program does not own kept.

#include <gtest/gtest.h>

#include "progress_test_folder.h"
#include "settings/settings_file.h"

namespace {

AppSettings Changed() {
    AppSettings settings;
    settings.tray_icon = false;
    settings.minimize_to_tray = true;
    settings.paused = true;
    settings.muted = true;
    settings.toast_corner = ToastCorner::BottomLeft;
    settings.toast_screen = ToastScreen::ActiveWindow;
    settings.window = {true, -1200, 40, 900, 640, true};
    return settings;
}

}  // namespace

TEST(SettingsFile, DefaultsRoundTripAndBadLines) {
    EXPECT_EQ(SerializeSettings(AppSettings{}, ""), "");  // nothing changed: no file content
    const std::string written = SerializeSettings(Changed(), "");
    EXPECT_EQ(written,
              "tray_icon=false\r\nminimize_to_tray=true\r\npaused=true\r\nmuted=true\r\n"
              "toast_corner=bottom_left\r\ntoast_screen=active_window\r\n"
              "window=-1200,40,900,640\r\nwindow_maximized=true\r\n");
    const SettingsReading reading = ReadSettings(written);
    EXPECT_EQ(reading.settings, Changed());
    EXPECT_TRUE(reading.skipped.empty());

    // Spaces around key and value and LF line ends read; a later usable line wins; a line that
    // cannot be used leaves the default and is named.
    const SettingsReading mixed = ReadSettings(
        " paused = true \nmuted=yes\ntoast_corner=middle\nwindow=1,2,3\nwindow=0,0,50,400\n"
        "future_key=1\njust text\n\ntoast_screen=active_window\ntoast_screen=primary");
    EXPECT_TRUE(mixed.settings.paused);
    EXPECT_FALSE(mixed.settings.muted);
    EXPECT_EQ(mixed.settings.toast_corner, ToastCorner::TopRight);
    EXPECT_FALSE(mixed.settings.window.known);
    EXPECT_EQ(mixed.settings.toast_screen, ToastScreen::Primary);
    std::vector<std::pair<std::size_t, SettingsLineProblem>> named;
    for (const SkippedSettingsLine& line : mixed.skipped)
        named.emplace_back(line.number, line.problem);
    const std::vector<std::pair<std::size_t, SettingsLineProblem>> expected = {
        {2, SettingsLineProblem::BadValue},   {3, SettingsLineProblem::BadValue},
        {4, SettingsLineProblem::BadValue},   {5, SettingsLineProblem::BadValue},
        {6, SettingsLineProblem::UnknownKey}, {7, SettingsLineProblem::NotKeyValue}};
    EXPECT_EQ(named, expected);
}

TEST(SettingsFile, WritingKeepsEveryLineItDoesNotOwn) {
    const std::string previous =
        "\xEF\xBB\xBF# my "
        "notes\r\npaused=true\nfuture_key=abc\r\nmuted=maybe\r\n\r\ntray_icon=true";
    AppSettings settings;
    settings.paused = false;
    settings.toast_corner = ToastCorner::BottomRight;
    EXPECT_EQ(SerializeSettings(settings, previous),
              "\xEF\xBB\xBF# my notes\r\npaused=false\nfuture_key=abc\r\nmuted=maybe\r\n\r\n"
              "tray_icon=true\r\ntoast_corner=bottom_right\r\n");

    ProgressTestFolder folder;
    const std::u16string path = folder.path().u16string() + u"\\adv_settings.txt";
    EXPECT_EQ(LoadSettingsFile(path).settings, AppSettings{});  // no file: today's defaults
    folder.Write("adv_settings.txt", "future_key=abc\r\n");
    ASSERT_EQ(SaveSettingsFile(path, Changed()), platform::FileError::None);
    EXPECT_EQ(folder.Read("adv_settings.txt").rfind("future_key=abc\r\n", 0), 0u);
    EXPECT_EQ(LoadSettingsFile(path).settings, Changed());
    EXPECT_FALSE(folder.HasTemporaryFile());
}
