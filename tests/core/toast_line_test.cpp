// The line of toasts against every answer of the shell (from the test double): who opens
// when, and when each unlock sounds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "notify/toast_line.h"
#include "tests/fake/fake_platform.h"

namespace {

using State = platform::UserNotificationState;

std::vector<std::u16string> g_opened;
std::vector<ToastCorner> g_openedAt;
bool g_windowsOpen = true;  // what the window system does with the next toasts

ToastContent Titled(std::u16string title) {
    ToastContent toast;
    toast.title = std::move(title);
    return toast;
}

bool RecordOpen(const ToastContent& toast, const AppSettings& settings) {
    g_opened.push_back(toast.title);
    g_openedAt.push_back(settings.toast_corner);
    return g_windowsOpen;
}

class ToastLineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFake();
        g_opened.clear();
        g_openedAt.clear();
        g_windowsOpen = true;
    }
    static void Shell(State state) { Fake().notification_state = state; }
    static int Sounds() { return Fake().beeps; }

    ToastLine line{RecordOpen};
};

using Titles = std::vector<std::u16string>;

}  // namespace

TEST_F(ToastLineTest, ExclusiveFullscreenSoundsAtTheUnlockAndOpensSilentlyInOrderAfter) {
    Shell(State::RunningD3dFullScreen);
    line.Add(Titled(u"A"));
    line.Add(Titled(u"B"));
    EXPECT_EQ(Sounds(), 2);
    EXPECT_TRUE(g_opened.empty());
    EXPECT_TRUE(line.Held());
    for (int second = 0; second < 5; ++second) line.LookAgain();
    EXPECT_TRUE(g_opened.empty());
    EXPECT_EQ(Sounds(), 2);

    Shell(State::AcceptsNotifications);
    line.LookAgain();
    EXPECT_EQ(g_opened, Titles{u"A"});
    EXPECT_FALSE(line.Held());
    line.LookAgain();  // not held: no second toast on top of the first
    EXPECT_EQ(g_opened, Titles{u"A"});
    line.Add(Titled(u"C"));  // behind B, sounding as it opens
    line.ToastClosed();
    line.ToastClosed();
    EXPECT_EQ(g_opened, (Titles{u"A", u"B", u"C"}));
    EXPECT_EQ(Sounds(), 3);
    EXPECT_EQ(line.Waiting(), 0u);
}

TEST_F(ToastLineTest, PresentationModeWaitsInSilenceUntilTheToastOpens) {
    Shell(State::PresentationMode);
    line.Add(Titled(u"A"));
    line.LookAgain();
    EXPECT_TRUE(line.Held());
    EXPECT_EQ(Sounds(), 0);
    EXPECT_TRUE(g_opened.empty());

    Shell(State::Busy);  // borderless fullscreen: a topmost window shows there
    line.LookAgain();
    EXPECT_EQ(g_opened, Titles{u"A"});
    EXPECT_EQ(Sounds(), 1);
}

TEST_F(ToastLineTest, EveryOtherAnswerOpensAsBeforeOneAtATimeWithItsSound) {
    for (State state : {State::Unknown, State::NotPresent, State::Busy, State::AcceptsNotifications,
                        State::QuietTime, State::App}) {
        SetUp();
        Shell(state);
        line.Add(Titled(u"A"));
        line.Add(Titled(u"B"));
        EXPECT_EQ(g_opened, Titles{u"A"}) << static_cast<int>(state);
        EXPECT_EQ(Sounds(), 1);
        EXPECT_FALSE(line.Held());
        line.ToastClosed();
        EXPECT_EQ(g_opened, (Titles{u"A", u"B"}));
        EXPECT_EQ(Sounds(), 2);
        line.ToastClosed();
    }
    // A toast whose window cannot be made still sounds, and the next follows at once.
    SetUp();
    g_windowsOpen = false;
    line.Add(Titled(u"A"));
    line.Add(Titled(u"B"));
    EXPECT_EQ(g_opened, (Titles{u"A", u"B"}));
    EXPECT_EQ(Sounds(), 2);
}

TEST_F(ToastLineTest, FullscreenBehindAToastOnScreenSoundsAtOnceThenHolds) {
    line.Add(Titled(u"A"));
    Shell(State::RunningD3dFullScreen);
    line.Add(Titled(u"B"));
    EXPECT_EQ(Sounds(), 2);
    EXPECT_FALSE(line.Held());  // waiting for A, not for the shell
    line.ToastClosed();
    EXPECT_TRUE(line.Held());
    EXPECT_EQ(g_opened, Titles{u"A"});
    Shell(State::AcceptsNotifications);
    line.LookAgain();
    EXPECT_EQ(g_opened, (Titles{u"A", u"B"}));
    EXPECT_EQ(Sounds(), 2);
}

TEST_F(ToastLineTest, AStateThatNeverClearsLeavesNothingBehindAtClose) {
    Shell(State::RunningD3dFullScreen);
    for (const char16_t* title : {u"A", u"B", u"C"}) line.Add(Titled(title));
    for (int second = 0; second < 100; ++second) line.LookAgain();
    EXPECT_EQ(line.Waiting(), 3u);
    const int queries = Fake().notification_queries;

    line.Clear();
    EXPECT_FALSE(line.Held());
    EXPECT_EQ(line.Waiting(), 0u);
    Shell(State::AcceptsNotifications);
    line.LookAgain();
    EXPECT_TRUE(g_opened.empty());
    EXPECT_EQ(Sounds(), 3);
    EXPECT_EQ(Fake().notification_queries, queries);  // nothing looks any more
}

// The settings are read as each toast opens or sounds: a toast that waited opens where the user
// chose meanwhile, and while muted nothing sounds, not even the held sound of a fullscreen game.
TEST_F(ToastLineTest, SettingsInForceDecideWhereEachOpensAndWhetherItSounds) {
    AppSettings settings;
    line.UseSettings(&settings);
    line.Add(Titled(u"A"));
    line.Add(Titled(u"B"));
    settings.toast_corner = ToastCorner::BottomLeft;
    line.ToastClosed();
    EXPECT_EQ(g_openedAt,
              (std::vector<ToastCorner>{ToastCorner::TopRight, ToastCorner::BottomLeft}));
    EXPECT_EQ(Sounds(), 2);

    settings.muted = true;
    line.Add(Titled(u"C"));  // behind B
    Shell(State::RunningD3dFullScreen);
    line.Add(Titled(u"D"));
    line.ToastClosed();
    Shell(State::AcceptsNotifications);
    line.LookAgain();
    line.ToastClosed();
    EXPECT_EQ(g_opened, (Titles{u"A", u"B", u"C", u"D"}));
    EXPECT_EQ(Sounds(), 2);
    EXPECT_TRUE(Fake().played_waves.empty());
    EXPECT_TRUE(Fake().mci_calls.empty());

    line.UseSettings(nullptr);  // the defaults again: sounding, top right
    line.ToastClosed();
    line.Add(Titled(u"E"));
    EXPECT_EQ(Sounds(), 3);
    EXPECT_EQ(g_openedAt.back(), ToastCorner::TopRight);
}
