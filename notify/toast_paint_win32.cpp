// Painting of the unlock toast. Everything is drawn into a 640x128 memory bitmap that one
// BitBlt copies to the window, so a toast is never seen half drawn: the background picture
// stretched to the whole toast (or a dark green panel with a gold frame when there is no
// picture), then the header and the title in gold.

#include "notify/toast_state.h"

namespace {

constexpr COLORREF PANEL_GREEN = RGB(0, 100, 0);
constexpr COLORREF GOLD = RGB(255, 215, 0);
constexpr int FRAME_WIDTH = 3;
constexpr wchar_t HEADER_TEXT[] = L"\u83b7\u5f97\u6210\u5c31";  // 获得成就
constexpr RECT HEADER_BOX = {20, 20, 620, 60};
constexpr RECT TITLE_BOX = {20, 50, 620, 100};

bool HasPicture(const NotificationState* state) {
    return state != nullptr && state->background_status == GDIP_STATUS_OK &&
           state->background.Get() != nullptr;
}

void DrawPicture(HDC dc, GdipImage* picture) {
    GdipGraphicsHolder graphics(dc);
    if (graphics.Get() == nullptr) return;
    GdipDrawImageRectI(graphics.Get(), picture, 0, 0, TOAST_WIDTH, TOAST_HEIGHT);
}

void DrawFallbackPanel(HDC dc) {
    RECT whole = {0, 0, TOAST_WIDTH, TOAST_HEIGHT};
    {
        BrushObject green(CreateSolidBrush(PANEL_GREEN));
        FillRect(dc, &whole, green.Get());
    }
    PenObject frame(CreatePen(PS_SOLID, FRAME_WIDTH, GOLD));
    ObjectSelection pen(dc, frame.Get());
    ObjectSelection hollow(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 2, 2, TOAST_WIDTH - 2, TOAST_HEIGHT - 2);
}

void DrawTextLine(HDC dc, const wchar_t* text, RECT box) {
    DrawTextW(dc, text, -1, &box, 0);
}

// Without its font the texts are drawn in the context's own.
void DrawTexts(HDC dc, const NotificationState& state) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GOLD);
    ObjectSelection font(dc, state.header_font.Get());
    DrawTextLine(dc, HEADER_TEXT, HEADER_BOX);
    DrawTextLine(dc, platform::Wide(*state.title), TITLE_BOX);
}

}  // namespace

void PaintToast(HDC target, const NotificationState* state) {
    MemoryDc memory(target);
    BitmapObject bitmap(CreateCompatibleBitmap(target, TOAST_WIDTH, TOAST_HEIGHT));
    if (memory.Get() == nullptr || bitmap.Get() == nullptr) return;
    ObjectSelection selected_bitmap(memory.Get(), bitmap.Get());

    if (HasPicture(state)) {
        DrawPicture(memory.Get(), state->background.Get());
    } else {
        DrawFallbackPanel(memory.Get());
    }
    if (state != nullptr && state->title.has_value()) DrawTexts(memory.Get(), *state);

    BitBlt(target, 0, 0, TOAST_WIDTH, TOAST_HEIGHT, memory.Get(), 0, 0, SRCCOPY);
}
