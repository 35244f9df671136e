// The unlock toast window ("AdvancementNotification"). A toast is a borderless, topmost,
// translucent 640x128 tool window (at 96 DPI; scaled to the DPI of the screen it appears on,
// like its place and everything it draws) that slides in from beyond the right edge of the
// primary screen, 50 pixels below its top, stays until five seconds after its creation, slides
// back out and destroys itself. The user may choose another corner and the foreground window's
// screen (notify/toast_place.h). Its own 20 ms timers drive the slides; it handles no input.
//
// Each toast owns its title, picture, font and slide fields (NotificationState in GWLP_USERDATA),
// so nothing is shared or released twice between toasts. Toasts meet the user one at a
// time: an unlock that arrives while a toast is alive waits in line (ToastLine), and its toast
// opens when the one before is destroyed, so every title can be read; while the shell says a
// toast could not be seen, a thread timer asks again once a second. A toast never takes the
// focus: it is created hidden and shown without activation, and a click does not activate it
// either.

#include <memory>
#include <new>
#include <string>
#include <utility>

#include "model/data_paths.h"
#include "notify/toast.h"
#include "notify/toast_content.h"
#include "notify/toast_line.h"
#include "notify/toast_place.h"
#include "notify/toast_slide.h"
#include "notify/toast_state.h"
#include "platform/files.h"

LRESULT CALLBACK NotificationWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

namespace {

constexpr UINT_PTR HOLD_TIMER_ID = 2;
constexpr UINT_PTR SLIDE_IN_TIMER_ID = 3;
constexpr UINT_PTR SLIDE_OUT_TIMER_ID = 4;
constexpr UINT HOLD_MS = 5000;
constexpr UINT SLIDE_TICK_MS = 20;
constexpr BYTE TOAST_ALPHA = 230;
constexpr int HEADER_FONT_HEIGHT = 28;  // at 96 DPI
constexpr wchar_t CLASS_NAME[] = L"AdvancementNotification";
constexpr wchar_t WINDOW_TEXT[] = L"Achievement";

bool g_notificationClassRegistered = false;

bool OpenToast(const ToastContent& toast, const AppSettings& settings);

// The toast on screen, if any, the toasts waiting for their turn, and the thread timer that
// looks again while they wait for the shell.
HWND g_openToast = nullptr;
ToastLine g_toastLine(OpenToast);
UINT_PTR g_lookAgainTimer = 0;

NotificationState* StateOf(HWND window) {
    return reinterpret_cast<NotificationState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void RegisterToastClassOnce() {
    if (g_notificationClassRegistered) return;
    WNDCLASSEXW type = {};
    type.cbSize = sizeof(type);
    type.lpfnWndProc = NotificationWndProc;
    type.hInstance = g_hInstance;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    type.lpszClassName = CLASS_NAME;
    RegisterClassExW(&type);
    g_notificationClassRegistered = true;
}

void MoveToastTo(HWND window, const NotificationState& state, std::int32_t x) {
    SetWindowPos(window, nullptr, x, state.place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Everything one toast owns, made before its window so that it arrives with the creation.
// The toast starts just beyond the side edge of its screen.
std::unique_ptr<NotificationState> NewToastState(const ToastContent& toast,
                                                 const AppSettings& settings) {
    auto state = std::unique_ptr<NotificationState>(new (std::nothrow) NotificationState());
    if (state == nullptr) return nullptr;
    state->title = toast.title;
    state->place = PlaceToast(settings.toast_corner, settings.toast_screen);
    state->dpi = state->place.screen.dpi;
    const std::u16string picture =
        ToastPicturePath(ExecutableDirectory(platform::ModulePath()), toast);
    state->background_status = state->background.Load(platform::Wide(picture));
    state->header_font.Reset(CreateFontW(ToastPixels(*state, HEADER_FONT_HEIGHT), 0, 0, 0, FW_BOLD,
                                         FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                         DEFAULT_PITCH | FF_DONTCARE, L"Pixelmoor AE"));
    state->slide_from = state->place.hidden_x;
    state->slide_to = state->place.shown_x;
    return state;
}

// Beyond the side edge of its screen, in that screen's pixels. Created without WS_VISIBLE: a
// visible top-level window is activated at creation.
HWND CreateToastWindow(NotificationState& state) {
    return CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED, CLASS_NAME,
                           WINDOW_TEXT, WS_POPUP, state.slide_from, state.place.top,
                           state.place.width, state.place.height, nullptr, nullptr, g_hInstance,
                           &state);
}

// Creates, paints and starts one toast; the line plays its sound.
bool OpenToast(const ToastContent& content, const AppSettings& settings) {
    RegisterToastClassOnce();
    std::unique_ptr<NotificationState> state = NewToastState(content, settings);
    HWND toast = state == nullptr ? nullptr : CreateToastWindow(*state);
    if (toast != nullptr) {
        state.release();  // the window took it in WM_CREATE and frees it in WM_DESTROY
        g_openToast = toast;
        SetLayeredWindowAttributes(toast, 0, TOAST_ALPHA, LWA_ALPHA);
        ShowWindow(toast, SW_SHOWNOACTIVATE);
        UpdateWindow(toast);
        SetTimer(toast, HOLD_TIMER_ID, HOLD_MS, nullptr);
    }
    return toast != nullptr;
}

void CALLBACK OnLookAgainTick(HWND, UINT, UINT_PTR, DWORD);

// The timer runs exactly while the line is held.
void KeepLookingWhileHeld() {
    if (g_toastLine.Held() && g_lookAgainTimer == 0) {
        g_lookAgainTimer = SetTimer(nullptr, 0, TOAST_LOOK_AGAIN_MS, OnLookAgainTick);
    } else if (!g_toastLine.Held() && g_lookAgainTimer != 0) {
        KillTimer(nullptr, g_lookAgainTimer);
        g_lookAgainTimer = 0;
    }
}

void CALLBACK OnLookAgainTick(HWND, UINT, UINT_PTR, DWORD) {
    g_toastLine.LookAgain();
    KeepLookingWhileHeld();
}

// The state comes as the creation parameter.
LRESULT OnCreate(HWND window, LPARAM create) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(create);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    SetTimer(window, SLIDE_IN_TIMER_ID, SLIDE_TICK_MS, nullptr);
    return 0;
}

void OnPaint(HWND window) {
    PaintScope paint(window);
    PaintToast(paint.Dc(), StateOf(window));
}

void OnSlideInTick(HWND window, NotificationState& state) {
    if (state.step > SLIDE_LAST_STEP) {
        KillTimer(window, SLIDE_IN_TIMER_ID);
        MoveToastTo(window, state, state.slide_to);
        return;
    }
    MoveToastTo(window, state,
                SlidePosition(SlideDirection::In, state.slide_from, state.slide_to, state.step));
    ++state.step;
}

void OnHoldTick(HWND window, NotificationState& state) {
    state.step = 0;
    state.slide_from = state.slide_to;
    state.slide_to = SlideOutEnd(state.place);
    SetTimer(window, SLIDE_OUT_TIMER_ID, SLIDE_TICK_MS, nullptr);
}

// The last tick destroys the window and with it the state: nothing may touch it after.
void OnSlideOutTick(HWND window, NotificationState& state) {
    if (state.step > SLIDE_LAST_STEP) {
        KillTimer(window, SLIDE_OUT_TIMER_ID);
        DestroyWindow(window);
        return;
    }
    MoveToastTo(window, state,
                SlidePosition(SlideDirection::Out, state.slide_from, state.slide_to, state.step));
    ++state.step;
}

void OnTimer(HWND window, WPARAM timer_id) {
    NotificationState* state = StateOf(window);
    if (state == nullptr) return;
    switch (timer_id) {
        case SLIDE_IN_TIMER_ID:
            OnSlideInTick(window, *state);
            break;
        case HOLD_TIMER_ID:
            OnHoldTick(window, *state);
            break;
        case SLIDE_OUT_TIMER_ID:
            OnSlideOutTick(window, *state);
            break;
        default:
            break;
    }
}

void OnDestroy(HWND window) {
    std::unique_ptr<NotificationState> state(StateOf(window));
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    state.reset();  // the font, the picture and the title go with their own toast
    KillTimer(window, SLIDE_IN_TIMER_ID);
    KillTimer(window, HOLD_TIMER_ID);
    KillTimer(window, SLIDE_OUT_TIMER_ID);
    if (window == g_openToast) {
        g_openToast = nullptr;
        g_toastLine.ToastClosed();
        KeepLookingWhileHeld();
    }
}

}  // namespace

LRESULT CALLBACK NotificationWndProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(window, lparam);
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_TIMER:
            OnTimer(window, wparam);
            return 0;
        case WM_DESTROY:
            OnDestroy(window);
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_DPICHANGED:
            return 0;  // made for its screen, it keeps its size while sliding past another
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

void ShowNotification(const Achievement& achievement) {
    g_toastLine.Add(ToastContentOf(achievement));
    KeepLookingWhileHeld();
}

void UseToastSettings(const AppSettings* settings) {
    g_toastLine.UseSettings(settings);
}

void DropWaitingToasts() {
    g_toastLine.Clear();
    KeepLookingWhileHeld();
}
