// The toast window on the real window system: its class, text, styles and place, the slide
// positions and the times, the panel or picture on screen, the focus, several unlocks in a
// row, the shell's answer under Wine, and an achievement's own picture at another corner.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "notify/toast.h"
#include "notify/toast_state.h"
#include "platform/desktop.h"
#include "tests/toast/toast_support.h"
#include "tests/win32/test_window.h"

using namespace toast_test;
using namespace std::chrono_literals;

namespace {

constexpr std::array<int, 21> SLIDE_IN = {0,    -91,  -173, -246, -312, -370, -420,
                                          -464, -501, -533, -560, -581, -599, -612,
                                          -622, -630, -634, -637, -639, -639, -640};
constexpr std::array<int, 21> SLIDE_OUT = {0,   0,   0,   2,   5,   10,  17,  27,  40,  58, 80,
                                           106, 138, 175, 219, 270, 327, 393, 466, 548, 640};

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::wstring PicturePath() {
    return ExecutableDirectory() + L"\\bin\\adv_back.png";
}

void RemovePicture() {
    DeleteFileW(PicturePath().c_str());
}

void PutSplitPicture() {
    CreateDirectoryW((ExecutableDirectory() + L"\\bin").c_str(), nullptr);
    ASSERT_TRUE(WriteSplitBitmap(PicturePath(), 64, 16, RGB(200, 0, 0), RGB(0, 0, 200)));
}

const NotificationState* StateOf(HWND toast) {
    return reinterpret_cast<const NotificationState*>(GetWindowLongPtrW(toast, GWLP_USERDATA));
}

// A plain top-level window standing for the main window, made the foreground window.
HWND OpenForegroundWindow() {
    HWND window = CreateTestWindow(L"ToastTestForeground", L"Foreground", RECT{100, 200, 500, 500});
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    PumpFor(300ms);
    return window;
}

bool LooksLikePanel(unsigned pixel) {
    return Green(pixel) > 70 && Red(pixel) < 50 && Blue(pixel) < 50;
}
bool LooksLikeGold(unsigned pixel) {
    return Red(pixel) > 200 && Green(pixel) > 160 && Blue(pixel) < 70;
}
bool LooksLikeRed(unsigned pixel) {
    return Red(pixel) > 150 && Green(pixel) < 50 && Blue(pixel) < 50;
}
bool LooksLikeBlue(unsigned pixel) {
    return Blue(pixel) > 150 && Red(pixel) < 50 && Green(pixel) < 50;
}

struct Sample {
    long long ms;
    int x;
    int y;
};

std::vector<int> Distinct(const std::vector<int>& xs) {
    std::vector<int> out;
    for (int x : xs) {
        if (out.empty() || out.back() != x) out.push_back(x);
    }
    return out;
}

}  // namespace

TEST(ToastWindow, OneToastSlidesInHoldsAndSlidesOutWithoutTakingTheFocus) {
    RemovePicture();
    HWND foreground = OpenForegroundWindow();
    ASSERT_EQ(GetForegroundWindow(), foreground);
    const int screen = GetSystemMetrics(SM_CXSCREEN);

    // Wine's shell says "accepts notifications" whatever runs (a stub), so under Wine the line
    // never holds a toast for a fullscreen program or a presentation: it opens at once with its
    // sound, exactly as before. The waiting itself is tested natively with the test double.
    EXPECT_EQ(platform::QueryUserNotificationState(),
              platform::UserNotificationState::AcceptsNotifications);

    Achievement record;
    record.title = u"First light";
    const Clock::time_point opened = Clock::now();
    ShowNotification(record);
    record.title = u"changed after the call";

    const std::vector<HWND> toasts = FindToasts();
    ASSERT_EQ(toasts.size(), 1u);
    HWND toast = toasts[0];
    wchar_t text[64] = {};
    GetWindowTextW(toast, text, 64);
    EXPECT_EQ(std::wstring(text), L"Achievement");
    // The system adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(toast, GWL_STYLE)) & ~DWORD{WS_CLIPSIBLINGS},
              0x90000000u);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(toast, GWL_EXSTYLE)), 0x00080088u);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(toast, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 230);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    RECT rect = {};
    GetWindowRect(toast, &rect);
    EXPECT_EQ(rect.left, screen);
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(rect.right - rect.left, 640);
    EXPECT_EQ(rect.bottom - rect.top, 128);
    ASSERT_NE(StateOf(toast), nullptr);
    EXPECT_EQ(StateOf(toast)->title, u"First light");
    EXPECT_EQ(GetForegroundWindow(), foreground);

    // A foreign timer id changes nothing; a click would not activate the toast.
    const int step = StateOf(toast)->step;
    SendMessageW(toast, WM_TIMER, 7, 0);
    GetWindowRect(toast, &rect);
    EXPECT_EQ(rect.left, screen);
    EXPECT_EQ(StateOf(toast)->step, step);
    EXPECT_EQ(SendMessageW(toast, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(toast),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);

    std::vector<Sample> samples;
    bool focus_kept = true;
    const auto sample = [&] {
        RECT now = {};
        if (IsWindow(toast) && GetWindowRect(toast, &now)) {
            samples.push_back({MsSince(opened), now.left, now.top});
        }
        focus_kept = focus_kept && GetForegroundWindow() == foreground;
    };
    ASSERT_TRUE(PumpUntil([&] { return !samples.empty() && samples.back().x == screen - 640; }, 3s,
                          sample));
    const long long arrived = samples.back().ms;
    PumpFor(200ms);
    const Pixels shown = CaptureScreen(RECT{screen - 640, 50, screen, 178});
    EXPECT_TRUE(LooksLikePanel(shown.At(10, 110))) << std::hex << shown.At(10, 110);
    EXPECT_TRUE(LooksLikePanel(shown.At(630, 10))) << std::hex << shown.At(630, 10);
    EXPECT_TRUE(LooksLikeGold(shown.At(2, 64))) << std::hex << shown.At(2, 64);
    EXPECT_TRUE(LooksLikeGold(shown.At(320, 125))) << std::hex << shown.At(320, 125);

    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(toast); }, 9s, sample));
    const long long gone = MsSince(opened);
    EXPECT_TRUE(focus_kept);
    EXPECT_TRUE(FindToasts().empty());

    std::vector<int> expected = {screen};
    for (int offset : SLIDE_IN) expected.push_back(screen + offset);
    for (int offset : SLIDE_OUT) expected.push_back(screen - 640 + offset);
    std::vector<int> seen;
    long long left_at = -1;
    for (const Sample& s : samples) {
        EXPECT_EQ(s.y, 50);
        seen.push_back(s.x);
        if (left_at < 0 && s.ms > arrived && s.x != screen - 640) left_at = s.ms;
    }
    EXPECT_EQ(Distinct(seen), Distinct(expected));
    EXPECT_GE(arrived, 400);
    EXPECT_LE(arrived, 1500);
    EXPECT_GE(left_at, 5000);
    EXPECT_LE(left_at, 5800);
    EXPECT_GE(gone, 5400);
    EXPECT_LE(gone, 7500);
    DestroyWindow(foreground);
}

TEST(ToastWindow, UnlocksInARowShowTheirOwnToastsOneAfterAnother) {
    RemovePicture();
    const int screen = GetSystemMetrics(SM_CXSCREEN);
    const std::u16string titles[] = {u"Alpha", u"\u7b2c\u4e8c\u4e2a", u"Gamma"};
    for (const std::u16string& title : titles) {
        Achievement record;
        record.title = title;
        ShowNotification(record);
    }

    std::vector<HWND> order;
    std::vector<std::u16string> shown_titles;
    std::vector<Pixels> captures;
    std::size_t most_alive = 0;
    const auto watch = [&] {
        const std::vector<HWND> toasts = FindToasts();
        most_alive = std::max(most_alive, toasts.size());
        if (toasts.empty()) return;
        HWND toast = toasts[0];
        if (order.empty() || order.back() != toast) {
            order.push_back(toast);
            shown_titles.push_back(StateOf(toast) && StateOf(toast)->title ? *StateOf(toast)->title
                                                                           : u"?");
            // The picture put on disk now is read by the next toast, not by this one.
            if (order.size() == 1) PutSplitPicture();
        }
        RECT rect = {};
        GetWindowRect(toast, &rect);
        if (captures.size() < order.size() && rect.left == screen - 640) {
            captures.push_back(CaptureScreen(RECT{screen - 640, 50, screen, 178}));
        }
    };
    const bool all_done =
        PumpUntil([&] { return order.size() == 3 && FindToasts().empty(); }, 30s, watch);
    RemovePicture();
    ASSERT_TRUE(all_done);

    EXPECT_EQ(most_alive, 1u);
    ASSERT_EQ(shown_titles.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(shown_titles[i], titles[i]);
    ASSERT_EQ(captures.size(), 3u);
    EXPECT_TRUE(LooksLikePanel(captures[0].At(10, 110)));
    EXPECT_TRUE(LooksLikeGold(captures[0].At(2, 64)));
    for (int i = 1; i < 3; ++i) {
        EXPECT_TRUE(LooksLikeRed(captures[i].At(12, 110)))
            << i << std::hex << " " << captures[i].At(12, 110);
        EXPECT_TRUE(LooksLikeBlue(captures[i].At(627, 110)))
            << i << std::hex << " " << captures[i].At(627, 110);
    }
}

namespace {

// The user's settings for the toasts of one test, back to the defaults however it ends.
struct SettingsInForce {
    SettingsInForce() { UseToastSettings(&settings); }
    ~SettingsInForce() { UseToastSettings(nullptr); }
    AppSettings settings;
};

}  // namespace

// At top left the toast comes to rest at the work area's corner and keeps that place when the
// setting changes while it is shown; it shows the achievement's own picture, not
// bin\adv_back.png.
TEST(ToastWindow, OwnPictureAtTheTopLeftOfTheWorkArea) {
    PutSplitPicture();  // red | blue: the default, which this toast must not show
    const std::wstring own = ExecutableDirectory() + L"\\bin\\own picture.bmp";
    ASSERT_TRUE(WriteSplitBitmap(own, 64, 16, RGB(0, 0, 200), RGB(200, 0, 0)));
    RECT work = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    SettingsInForce in_force;
    in_force.settings.toast_corner = ToastCorner::TopLeft;

    Achievement record;
    record.title = u"Own";
    record.picture = u"own picture.bmp";
    ShowNotification(record);
    in_force.settings.toast_corner = ToastCorner::BottomRight;
    const std::vector<HWND> toasts = FindToasts();
    ASSERT_EQ(toasts.size(), 1u);
    HWND toast = toasts[0];
    RECT rect = {};
    ASSERT_TRUE(
        PumpUntil([&] { return GetWindowRect(toast, &rect) && rect.left == work.left; }, 3s));
    EXPECT_EQ(rect.top, work.top + 50);
    PumpFor(200ms);
    const Pixels shown =
        CaptureScreen(RECT{work.left, work.top + 50, work.left + 640, work.top + 178});
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(toast); }, 9s));
    RemovePicture();
    DeleteFileW(own.c_str());
    EXPECT_TRUE(LooksLikeBlue(shown.At(12, 110))) << std::hex << shown.At(12, 110);
    EXPECT_TRUE(LooksLikeRed(shown.At(627, 110))) << std::hex << shown.At(627, 110);
}
