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

// A surface of the toast's size at 96 DPI, or of `width` x `height`.
Pixels Paint(const NotificationState* state, int width = TOAST_WIDTH, int height = TOAST_HEIGHT) {
    Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    BITMAPINFO info = TopDownBitmapInfo(width, height);
    void* bits = nullptr;
    HBITMAP surface = CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(target, surface);
    // Whatever the paint leaves uncovered stays this magenta.
    for (int i = 0; i < width * height; ++i) static_cast<std::uint32_t*>(bits)[i] = 0xFF00FF;

    PaintToast(target, state);
    GdiFlush();

    const auto* source = static_cast<const std::uint32_t*>(bits);
    pixels.data.assign(source, source + width * height);
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

void GiveTitleAndFont(NotificationState& state, std::u16string title, int font_height = 28) {
    state.title = std::move(title);
    state.header_font.Reset(CreateFontW(
        font_height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Pixelmoor AE"));
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

// At 200 % every figure doubles: the surface, the frame, the text boxes and the picture.
TEST(ToastPaint, AtTwiceTheDpiEveryFigureIsDoubled) {
    NotificationState state;
    state.dpi = 192;
    GiveTitleAndFont(state,
                     u"A title long enough to run past the right edge of its box at any "
                     u"scale, far beyond twelve hundred pixels of bold text\nsecond\nthird",
                     56);
    const Pixels pixels = Paint(&state, 1280, 256);
    // The 6-pixel frame runs along x 4 and 1275, y 4 and 251.
    for (int x : {4, 640, 1275}) {
        for (int y : {2, 4, 6, 249, 251, 253}) EXPECT_EQ(pixels.At(x, y), GOLD) << x << "," << y;
    }
    for (int y : {4, 128, 251}) {
        for (int x : {2, 4, 6, 1273, 1275, 1277}) EXPECT_EQ(pixels.At(x, y), GOLD) << x << "," << y;
    }
    EXPECT_EQ(pixels.At(0, 0), PANEL);
    EXPECT_EQ(pixels.At(1279, 255), PANEL);
    EXPECT_GT(InkIn(pixels, 40, 40, 1240, 100), 200);   // header
    EXPECT_GT(InkIn(pixels, 40, 120, 1240, 200), 200);  // title lines
    EXPECT_EQ(InkIn(pixels, 10, 10, 40, 246), 0);       // nothing left of x 40
    EXPECT_EQ(InkIn(pixels, 1240, 10, 1270, 246), 0);   // cut at x 1240
    EXPECT_EQ(InkIn(pixels, 10, 200, 1270, 246), 0);    // cut at y 200
    EXPECT_EQ(InkIn(pixels, 10, 10, 1270, 40), 0);

    const std::wstring file = ExecutableDirectory() + L"\\toast_paint_picture_2x.bmp";
    ASSERT_TRUE(WriteSplitBitmap(file, 1280, 256, RGB(200, 0, 0), RGB(0, 0, 200)));
    NotificationState pictured;
    pictured.dpi = 192;
    pictured.background_status = pictured.background.Load(file.c_str());
    ASSERT_EQ(pictured.background_status, GDIP_STATUS_OK);
    const Pixels shown = Paint(&pictured, 1280, 256);
    DeleteFileW(file.c_str());
    // A picture made for the scale lands pixel for pixel: the halves meet at x 640.
    for (int y : {0, 128, 255}) {
        EXPECT_EQ(shown.At(0, y), 0xC80000u) << y;
        EXPECT_EQ(shown.At(639, y), 0xC80000u) << y;
        EXPECT_EQ(shown.At(640, y), 0x0000C8u) << y;
        EXPECT_EQ(shown.At(1279, y), 0x0000C8u) << y;
    }
}
