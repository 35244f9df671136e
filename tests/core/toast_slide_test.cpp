// The toast's slide positions against the offsets the animation has always produced, and
// where a toast appears for each corner and screen (the screens from the test double).

#include <gtest/gtest.h>

#include <array>

#include "notify/toast_place.h"
#include "notify/toast_slide.h"
#include "tests/fake/fake_platform.h"

namespace {

constexpr std::array<int, 21> SLIDE_IN_OFFSETS = {0,    -91,  -173, -246, -312, -370, -420,
                                                  -464, -501, -533, -560, -581, -599, -612,
                                                  -622, -630, -634, -637, -639, -639, -640};
constexpr std::array<int, 21> SLIDE_OUT_OFFSETS = {
    0, 0, 0, 2, 5, 10, 17, 27, 40, 58, 80, 106, 138, 175, 219, 270, 327, 393, 466, 548, 640};

}  // namespace

TEST(ToastSlide, FollowsTheTableForBothDirectionsAtAnyScreenWidth) {
    for (std::int32_t screen : {1280, 1920, 640, 3841}) {
        for (int step = 0; step <= SLIDE_LAST_STEP; ++step) {
            EXPECT_EQ(SlidePosition(SlideDirection::In, screen, screen - 640, step),
                      screen + SLIDE_IN_OFFSETS[step])
                << "in, screen " << screen << ", step " << step;
            EXPECT_EQ(SlidePosition(SlideDirection::Out, screen - 640, screen, step),
                      screen - 640 + SLIDE_OUT_OFFSETS[step])
                << "out, screen " << screen << ", step " << step;
        }
    }
}

TEST(ToastSlide, TruncatesTowardZeroAndHandlesOtherDistances) {
    // A screen that grew while the toast was shown: the slide-out covers more than 640.
    EXPECT_EQ(SlidePosition(SlideDirection::Out, 640, 1920, 0), 640);
    EXPECT_EQ(SlidePosition(SlideDirection::Out, 640, 1920, 20), 1920);
    EXPECT_EQ(SlidePosition(SlideDirection::Out, 640, 1920, 10), 640 + 160);
    // Negative products are cut toward zero, not floored: -91.28 gives -91, not -92.
    EXPECT_EQ(SlidePosition(SlideDirection::In, 0, -640, 1), -91);
    EXPECT_EQ(SlidePosition(SlideDirection::In, 0, 640, 1), 91);
    // No distance, no movement.
    for (int step = 0; step <= SLIDE_LAST_STEP; ++step) {
        EXPECT_EQ(SlidePosition(SlideDirection::In, 300, 300, step), 300);
        EXPECT_EQ(SlidePosition(SlideDirection::Out, 300, 300, step), 300);
    }
}

// Every corner of both screens: the primary at 96 DPI with the taskbar along its bottom, and
// the foreground window's screen left of it at 144 DPI with the taskbar on its left. Top right
// of the primary screen is today's place at any scale, whatever the work area.
TEST(ToastPlace, EveryCornerOfBothScreensAndTopRightWhereItHasAlwaysBeen) {
    ResetFake();
    Fake().primary_screen = {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96};
    Fake().foreground_screen = {{{-1280, -200, 0, 824}, {-1220, -200, 0, 824}, 144}};
    struct Expected {
        ToastCorner corner;
        ToastScreen screen;
        int top, shown_x, hidden_x;
    };
    using enum ToastCorner;
    const Expected expected[] = {
        {TopRight, ToastScreen::Primary, 50, 1280, 1920},
        {BottomRight, ToastScreen::Primary, 862, 1280, 1920},
        {TopLeft, ToastScreen::Primary, 50, 0, -640},
        {BottomLeft, ToastScreen::Primary, 862, 0, -640},
        {TopRight, ToastScreen::ActiveWindow, -125, -960, 0},
        {BottomRight, ToastScreen::ActiveWindow, 557, -960, 0},
        {TopLeft, ToastScreen::ActiveWindow, -125, -1220, -2180},
        {BottomLeft, ToastScreen::ActiveWindow, 557, -1220, -2180},
    };
    for (const Expected& e : expected) {
        const ToastPlace place = PlaceToast(e.corner, e.screen);
        const int at = static_cast<int>(e.corner) * 10 + static_cast<int>(e.screen);
        EXPECT_EQ(place.top, e.top) << at;
        EXPECT_EQ(place.shown_x, e.shown_x) << at;
        EXPECT_EQ(place.hidden_x, e.hidden_x) << at;
        EXPECT_EQ(place.width, place.screen.dpi == 96 ? 640 : 960) << at;
        EXPECT_EQ(SlideOutEnd(place), e.hidden_x) << at;
    }
    // The left corners run the table the other way.
    const ToastPlace left = PlaceToast(BottomLeft, ToastScreen::Primary);
    for (int step = 0; step <= SLIDE_LAST_STEP; ++step) {
        EXPECT_EQ(SlidePosition(SlideDirection::In, left.hidden_x, left.shown_x, step),
                  -SLIDE_IN_OFFSETS[step] - 640);
        EXPECT_EQ(SlidePosition(SlideDirection::Out, left.shown_x, left.hidden_x, step),
                  -SLIDE_OUT_OFFSETS[step]);
    }
    // A toast on the foreground window's screen slides out where it came from, wherever the
    // foreground is by then; without a foreground window the primary screen is taken.
    const ToastPlace active = PlaceToast(TopLeft, ToastScreen::ActiveWindow);
    Fake().foreground_screen.reset();
    EXPECT_EQ(SlideOutEnd(active), -2180);
    EXPECT_EQ(PlaceToast(TopLeft, ToastScreen::ActiveWindow).screen, Fake().primary_screen);

    // Top right of a primary screen at 144 DPI, a taskbar on its right: the screen's corner.
    Fake().primary_screen = {{0, 0, 1920, 1080}, {0, 0, 1860, 1080}, 144};
    const ToastPlace scaled = PlaceToast(TopRight, ToastScreen::Primary);
    EXPECT_EQ((std::array{scaled.top, scaled.shown_x, scaled.hidden_x, scaled.height}),
              (std::array{75, 960, 1920, 192}));
    Fake().primary_screen.bounds.right = 2560;  // the slide-out follows a new width
    EXPECT_EQ(SlideOutEnd(scaled), 2560);
}
