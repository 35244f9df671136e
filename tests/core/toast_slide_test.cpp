// The toast's slide positions against the offsets the animation has always produced.

#include <gtest/gtest.h>

#include <array>

#include "notify/toast_slide.h"

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
