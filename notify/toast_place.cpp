#include "notify/toast_place.h"

#include "platform/dpi_scale.h"

namespace {

bool OnTheLeft(ToastCorner corner) {
    return corner == ToastCorner::TopLeft || corner == ToastCorner::BottomLeft;
}

// The edges a corner sits against: the whole screen for top right, else the work area.
const platform::ScreenRect& EdgesFor(ToastCorner corner, const platform::ScreenFacts& screen) {
    return corner == ToastCorner::TopRight ? screen.bounds : screen.work_area;
}

int HiddenX(ToastCorner corner, const platform::ScreenFacts& screen, int width) {
    const platform::ScreenRect& edges = EdgesFor(corner, screen);
    return OnTheLeft(corner) ? edges.left - width : edges.right;
}

}  // namespace

ToastPlace PlaceToastOn(ToastCorner corner, ToastScreen choice,
                        const platform::ScreenFacts& screen) {
    ToastPlace place;
    place.corner = corner;
    place.screen_choice = choice;
    place.screen = screen;
    place.width = platform::Scale(TOAST_WIDTH, screen.dpi);
    place.height = platform::Scale(TOAST_HEIGHT, screen.dpi);
    const platform::ScreenRect& edges = EdgesFor(corner, screen);
    const int gap = platform::Scale(TOAST_TOP, screen.dpi);
    const bool at_bottom = corner == ToastCorner::BottomRight || corner == ToastCorner::BottomLeft;
    place.top = at_bottom ? edges.bottom - gap - place.height : edges.top + gap;
    place.hidden_x = HiddenX(corner, screen, place.width);
    place.shown_x = OnTheLeft(corner) ? edges.left : edges.right - place.width;
    return place;
}

ToastPlace PlaceToast(ToastCorner corner, ToastScreen choice) {
    if (choice == ToastScreen::ActiveWindow) {
        const std::optional<platform::ScreenFacts> screen = platform::ForegroundWindowScreen();
        if (screen) return PlaceToastOn(corner, choice, *screen);
    }
    return PlaceToastOn(corner, choice, platform::PrimaryScreen());
}

int SlideOutEnd(const ToastPlace& place) {
    const bool primary = place.screen_choice == ToastScreen::Primary;
    return HiddenX(place.corner, primary ? platform::PrimaryScreen() : place.screen, place.width);
}
