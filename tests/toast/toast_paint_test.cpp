// Painting of the toast into a 32-bit memory surface: the fallback panel, the texts and
// their clipping, and the picture stretched over the whole toast.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "notify/toast_state.h"
#include "tests/toast/toast_support.h"

using namespace toast_test;

namespace {

constexpr unsigned PANEL = 0x006400;  // RGB(0, 100, 0)
constexpr unsigned GOLD = 0xFFD700;   // RGB(255, 215, 0)

Pixels Paint(const NotificationState* state) {
    Pixels pixels;
    pixels.width = TOAST_WIDTH;
    pixels.height = TOAST_HEIGHT;
    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    BITMAPINFO info = TopDownBitmapInfo(TOAST_WIDTH, TOAST_HEIGHT);
    void* bits = nullptr;
    HBITMAP surface = CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(target, surface);
    // Whatever the paint leaves uncovered stays this magenta.
    for (int i = 0; i < TOAST_WIDTH * TOAST_HEIGHT; ++i)
        static_cast<std::uint32_t*>(bits)[i] = 0xFF00FF;

    PaintToast(target, state);
    GdiFlush();

    const auto* source = static_cast<const std::uint32_t*>(bits);
    pixels.data.assign(source, source + TOAST_WIDTH * TOAST_HEIGHT);
    for (unsigned& pixel : pixels.data) pixel &= 0xFFFFFFu;
    SelectObject(target, previous);
    DeleteObject(surface);
    DeleteDC(target);
    return pixels;
}

// Pixels inside the frame, in [left, right) x [top, bottom), that are not the panel colour.
int InkIn(const Pixels& pixels, int left, int top, int right, int bottom) {
    int ink = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) ink += pixels.At(x, y) != PANEL;
    }
    return ink;
}

void ExpectFrameAndPanel(const Pixels& pixels) {
    for (int x : {2, 100, 320, 637}) {
        EXPECT_EQ(pixels.At(x, 2), GOLD) << x;
        EXPECT_EQ(pixels.At(x, 125), GOLD) << x;
    }
    for (int y : {2, 64, 125}) {
        EXPECT_EQ(pixels.At(2, y), GOLD) << y;
        EXPECT_EQ(pixels.At(637, y), GOLD) << y;
    }
    for (auto [x, y] : {std::pair{0, 0}, {639, 127}, {10, 10}, {630, 120}, {10, 110}}) {
        EXPECT_EQ(pixels.At(x, y), PANEL) << x << "," << y;
    }
}

void GiveTitleAndFont(NotificationState& state, std::u16string title) {
    state.title = std::move(title);
    state.header_font.Reset(CreateFontW(28, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        DEFAULT_PITCH | FF_DONTCARE, L"Pixelmoor AE"));
}

}  // namespace

TEST(ToastPaint, WithoutPictureOrTitleIsTheGreenPanelWithAGoldFrame) {
    const NotificationState untitled;
    for (const NotificationState* state :
         {static_cast<const NotificationState*>(nullptr), &untitled}) {
        const Pixels pixels = Paint(state);
        ExpectFrameAndPanel(pixels);
        EXPECT_EQ(InkIn(pixels, 5, 5, 635, 123), 0);
    }
}

TEST(ToastPaint, HeaderAndTitleAreGoldAndClippedToTheirRectangles) {
    NotificationState state;
    GiveTitleAndFont(state,
                     u"A title long enough to run past the right edge of its box, "
                     u"far beyond six hundred pixels of bold text\nsecond\nthird\nfourth");
    const Pixels pixels = Paint(&state);
    ExpectFrameAndPanel(pixels);
    EXPECT_GT(InkIn(pixels, 20, 20, 620, 50), 50);   // header
    EXPECT_GT(InkIn(pixels, 20, 60, 620, 100), 50);  // title lines
    EXPECT_EQ(InkIn(pixels, 5, 5, 20, 123), 0);      // nothing left of x 20
    EXPECT_EQ(InkIn(pixels, 620, 5, 635, 123), 0);   // the long line is cut at x 620
    EXPECT_EQ(InkIn(pixels, 5, 100, 635, 123), 0);   // the third line is cut at y 100
    EXPECT_EQ(InkIn(pixels, 5, 5, 635, 20), 0);
    int gold = 0;
    for (unsigned pixel : pixels.data) gold += pixel == GOLD;
    EXPECT_GT(gold, 4 * 640 + 100);  // the frame and solid text strokes
}

TEST(ToastPaint, EmptyTitleLeavesTheHeaderAlone) {
    NotificationState empty;
    GiveTitleAndFont(empty, u"");
    const Pixels with_empty = Paint(&empty);
    EXPECT_GT(InkIn(with_empty, 20, 20, 620, 50), 50);
    EXPECT_EQ(InkIn(with_empty, 5, 61, 635, 123), 0);

    NotificationState one_line;
    GiveTitleAndFont(one_line, u"Title");
    EXPECT_GT(InkIn(Paint(&one_line), 5, 61, 635, 123), 20);
}

TEST(ToastPaint, PictureIsStretchedOverTheWholeToastInsteadOfThePanel) {
    const std::wstring file = ExecutableDirectory() + L"\\toast_paint_picture.bmp";
    ASSERT_TRUE(WriteSplitBitmap(file, 64, 16, RGB(200, 0, 0), RGB(0, 0, 200)));
    {
        NotificationState state;
        GiveTitleAndFont(state, u"On a picture");
        state.background_status = state.background.Load(file.c_str());
        ASSERT_EQ(state.background_status, GDIP_STATUS_OK);
        const Pixels pixels = Paint(&state);
        for (auto [x, y] : {std::pair{12, 12}, {12, 64}, {300, 115}, {100, 110}}) {
            EXPECT_EQ(pixels.At(x, y), 0xC80000u) << x << "," << y;
        }
        for (auto [x, y] : {std::pair{627, 12}, {627, 64}, {340, 115}, {600, 110}}) {
            EXPECT_EQ(pixels.At(x, y), 0x0000C8u) << x << "," << y;
        }
        EXPECT_NE(pixels.At(2, 64), GOLD);  // no frame
        int gold = 0;
        for (unsigned pixel : pixels.data) gold += pixel == GOLD;
        EXPECT_GT(gold, 50);  // the texts still drawn, and no frame around them
        EXPECT_LT(gold, 4 * 600);
    }
    DeleteFileW(file.c_str());

    // A picture that does not decode leaves the panel.
    NotificationState broken;
    broken.background_status =
        broken.background.Load((ExecutableDirectory() + L"\\no such.png").c_str());
    EXPECT_NE(broken.background_status, GDIP_STATUS_OK);
    ExpectFrameAndPanel(Paint(&broken));
}
