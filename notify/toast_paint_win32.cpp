// Painting of the unlock toast. Everything is drawn into a 640x128 memory bitmap (figures at
// 96 DPI, scaled to the toast's DPI) that one BitBlt copies to the window, so a toast is
// never seen half drawn: the background picture stretched to the whole toast (or a dark green
// panel with a gold frame when there is no picture), then the header and the title in gold.

#include "notify/toast_state.h"

namespace {

constexpr COLORREF PANEL_GREEN = RGB(0, 100, 0);
constexpr COLORREF GOLD = RGB(255, 215, 0);
constexpr int FRAME_WIDTH = 3;
constexpr int FRAME_INSET = 2;
constexpr wchar_t HEADER_TEXT[] = L"\u83b7\u5f97\u6210\u5c31";  // 获得成就
constexpr RECT HEADER_BOX = {20, 20, 620, 60};
constexpr RECT TITLE_BOX = {20, 50, 620, 100};

bool HasPicture(const NotificationState* state) {
    return state != nullptr && state->background_status == GDIP_STATUS_OK &&
           state->background.Get() != nullptr;
}

// The toast's own size, in its pixels.
struct ToastSize {
    int width;
    int height;
};

ToastSize SizeAt(int dpi) {
    return {platform::Scale(TOAST_WIDTH, dpi), platform::Scale(TOAST_HEIGHT, dpi)};
}

// Stretched to the scaled size, so a picture made for the scale is drawn pixel for pixel.
void DrawPicture(HDC dc, GdipImage* picture, ToastSize size) {
    GdipGraphicsHolder graphics(dc);
    if (graphics.Get() == nullptr) return;
    GdipDrawImageRectI(graphics.Get(), picture, 0, 0, size.width, size.height);
}

void DrawFallbackPanel(HDC dc, int dpi) {
    const ToastSize size = SizeAt(dpi);
    RECT whole = {0, 0, size.width, size.height};
    {
        BrushObject green(CreateSolidBrush(PANEL_GREEN));
        FillRect(dc, &whole, green.Get());
    }
    PenObject frame(CreatePen(PS_SOLID, platform::Scale(FRAME_WIDTH, dpi), GOLD));
    ObjectSelection pen(dc, frame.Get());
    ObjectSelection hollow(dc, GetStockObject(NULL_BRUSH));
    const int inset = platform::Scale(FRAME_INSET, dpi);
    Rectangle(dc, inset, inset, size.width - inset, size.height - inset);
}

void DrawTextLine(HDC dc, const wchar_t* text, const NotificationState& state, RECT box) {
    RECT scaled = {ToastPixels(state, box.left), ToastPixels(state, box.top),
                   ToastPixels(state, box.right), ToastPixels(state, box.bottom)};
    DrawTextW(dc, text, -1, &scaled, 0);
}

// Without its font the texts are drawn in the context's own.
void DrawTexts(HDC dc, const NotificationState& state) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GOLD);
    ObjectSelection font(dc, state.header_font.Get());
    DrawTextLine(dc, HEADER_TEXT, state, HEADER_BOX);
    DrawTextLine(dc, platform::Wide(*state.title), state, TITLE_BOX);
}

}  // namespace

// A paint before the state exists draws at 96 DPI.
void PaintToast(HDC target, const NotificationState* state) {
    const int dpi = state != nullptr ? state->dpi : platform::BASE_DPI;
    const ToastSize size = SizeAt(dpi);
    MemoryDc memory(target);
    BitmapObject bitmap(CreateCompatibleBitmap(target, size.width, size.height));
    if (memory.Get() == nullptr || bitmap.Get() == nullptr) return;
    ObjectSelection selected_bitmap(memory.Get(), bitmap.Get());

    if (HasPicture(state)) {
        DrawPicture(memory.Get(), state->background.Get(), size);
    } else {
        DrawFallbackPanel(memory.Get(), dpi);
    }
    if (state != nullptr && state->title.has_value()) DrawTexts(memory.Get(), *state);

    BitBlt(target, 0, 0, size.width, size.height, memory.Get(), 0, 0, SRCCOPY);
}
