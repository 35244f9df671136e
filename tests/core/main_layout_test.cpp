// Placement of the main window's lists and captions.

#include <gtest/gtest.h>

#include <utility>

#include "app/main_layout.h"

namespace {

int RightEdge(const LayoutBox& box) {
    return box.left + box.width;
}
int BottomEdge(const LayoutBox& box) {
    return box.top + box.height;
}

}  // namespace

TEST(MainLayout, DefaultClientAreaPlacesListsAndCaptions) {
    // An 800x600 window on a classic theme has a client area of about 784x542.
    const MainLayout layout = ComputeMainLayout(784, 542);

    EXPECT_EQ(layout.completed_list.left, 10);
    EXPECT_EQ(layout.completed_list.top, 50);
    EXPECT_EQ(layout.completed_list.width, 372);
    EXPECT_EQ(layout.completed_list.height, 442);

    EXPECT_EQ(layout.pending_list.left, 402);
    EXPECT_EQ(layout.pending_list.top, 50);
    EXPECT_EQ(layout.pending_list.width, 372);
    EXPECT_EQ(layout.pending_list.height, 442);

    EXPECT_EQ(layout.completed_caption.left, 10);
    EXPECT_EQ(layout.completed_caption.top, 25);
    EXPECT_EQ(layout.completed_caption.right, 200);
    EXPECT_EQ(layout.completed_caption.bottom, 45);

    EXPECT_EQ(layout.pending_caption.left, 402);
    EXPECT_EQ(layout.pending_caption.top, 25);
    EXPECT_EQ(layout.pending_caption.right, 592);
    EXPECT_EQ(layout.pending_caption.bottom, 45);
}

TEST(MainLayout, ListsStayEqualAndTwentyApartWhateverTheSize) {
    for (int width : {100, 401, 640, 784, 785, 1279, 1920}) {
        for (int height : {150, 542, 1000}) {
            SCOPED_TRACE(testing::Message() << width << "x" << height);
            const MainLayout layout = ComputeMainLayout(width, height);
            EXPECT_EQ(layout.completed_list.width, layout.pending_list.width);
            EXPECT_EQ(layout.completed_list.height, layout.pending_list.height);
            EXPECT_EQ(layout.pending_list.left - RightEdge(layout.completed_list), 20);
            EXPECT_EQ(layout.completed_list.left, 10);
            EXPECT_EQ(BottomEdge(layout.completed_list), height - 50);
            EXPECT_EQ(BottomEdge(layout.pending_list), height - 50);
            // The right caption moves with the right list.
            EXPECT_EQ(layout.pending_caption.left, layout.pending_list.left);
            EXPECT_EQ(layout.pending_caption.right - layout.pending_caption.left, 190);
        }
    }
}

TEST(MainLayout, OddWidthLeavesElevenUnitsOnTheRight) {
    const MainLayout odd = ComputeMainLayout(785, 542);
    EXPECT_EQ(odd.pending_list.left, 402);
    EXPECT_EQ(785 - RightEdge(odd.pending_list), 11);

    const MainLayout even = ComputeMainLayout(786, 542);
    EXPECT_EQ(even.pending_list.left, 403);
    EXPECT_EQ(786 - RightEdge(even.pending_list), 10);
}

TEST(MainLayout, ResizingMovesOnlyWhatDependsOnTheSize) {
    const MainLayout before = ComputeMainLayout(784, 542);
    const MainLayout after = ComputeMainLayout(1264, 700);

    EXPECT_EQ(after.completed_list.left, before.completed_list.left);
    EXPECT_EQ(after.completed_list.top, before.completed_list.top);
    EXPECT_EQ(after.completed_list.width, 612);
    EXPECT_EQ(after.completed_list.height, 600);
    EXPECT_EQ(after.pending_list.left, 642);
    EXPECT_EQ(after.completed_caption.right, before.completed_caption.right);
    EXPECT_EQ(after.pending_caption.left, 642);
    EXPECT_EQ(after.pending_caption.right, 832);
}

TEST(MainLayout, MinimizedOrTinyWindowGetsEmptyListsNotNegativeOnes) {
    const MainLayout zero = ComputeMainLayout(0, 0);
    EXPECT_EQ(zero.completed_list.width, 0);
    EXPECT_EQ(zero.completed_list.height, 0);
    EXPECT_EQ(zero.pending_list.width, 0);
    EXPECT_EQ(zero.pending_list.left, 10);

    const MainLayout narrow = ComputeMainLayout(41, 100);
    EXPECT_EQ(narrow.completed_list.width, 0);
    EXPECT_EQ(narrow.completed_list.height, 0);

    const MainLayout just_fits = ComputeMainLayout(42, 101);
    EXPECT_EQ(just_fits.completed_list.width, 1);
    EXPECT_EQ(just_fits.completed_list.height, 1);
}

TEST(MainLayout, StatusLineSpansTheBottomMarginBelowBothLists) {
    const MainLayout layout = ComputeMainLayout(784, 542);
    EXPECT_EQ(layout.status_line.left, 10);
    EXPECT_EQ(layout.status_line.top, 502);
    EXPECT_EQ(layout.status_line.width, 764);
    EXPECT_EQ(layout.status_line.height, 20);

    for (int width : {0, 41, 785, 1920}) {
        for (int height : {0, 90, 150, 1000}) {
            SCOPED_TRACE(testing::Message() << width << "x" << height);
            const MainLayout at = ComputeMainLayout(width, height);
            EXPECT_GT(at.status_line.top, BottomEdge(at.completed_list));
            EXPECT_GT(at.status_line.top, BottomEdge(at.pending_list));
            EXPECT_GE(at.status_line.width, 0);
            if (height >= 150) {
                EXPECT_LE(BottomEdge(at.status_line), height);
            }
        }
    }
}

TEST(MainLayout, ScaledScreensGetTheSameLayoutInMorePixels) {
    using platform::Scale;
    // MulDiv's rounding: halves away from zero, both ways.
    EXPECT_EQ(Scale(25, 96), 25);
    EXPECT_EQ(Scale(25, 144), 38);
    EXPECT_EQ(Scale(25, 120), 31);
    EXPECT_EQ(Scale(-11, 144), -17);
    EXPECT_EQ(platform::ScaleBetween(-16, 96, 144), -11);

    // At 200 % a doubled client area gives exactly the doubled layout.
    const MainLayout base = ComputeMainLayout(784, 542, 96);
    const MainLayout twice = ComputeMainLayout(1568, 1084, 192);
    for (auto [at_96, at_192] : {std::pair{base.completed_list, twice.completed_list},
                                 {base.pending_list, twice.pending_list},
                                 {base.status_line, twice.status_line}}) {
        EXPECT_EQ(at_192.left, 2 * at_96.left);
        EXPECT_EQ(at_192.top, 2 * at_96.top);
        EXPECT_EQ(at_192.width, 2 * at_96.width);
        EXPECT_EQ(at_192.height, 2 * at_96.height);
    }
    EXPECT_EQ(twice.pending_caption.right, 2 * base.pending_caption.right);
    EXPECT_EQ(twice.completed_caption.bottom, 2 * base.completed_caption.bottom);

    // At 150 %: margins 15, lists from 75 down to 75 above the bottom, 30 apart.
    const MainLayout at_144 = ComputeMainLayout(1176, 813, 144);
    EXPECT_EQ(at_144.completed_list.left, 15);
    EXPECT_EQ(at_144.completed_list.top, 75);
    EXPECT_EQ(BottomEdge(at_144.completed_list), 813 - 75);
    EXPECT_EQ(at_144.pending_list.left - RightEdge(at_144.completed_list), 30);
    EXPECT_EQ(at_144.pending_caption.right, 588 + 300);
    EXPECT_EQ(at_144.status_line.top, 813 - 75 + 15);
    EXPECT_EQ(at_144.status_line.height, 30);
}
