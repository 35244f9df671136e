// The main window.
//
// Everything the program does hangs off this window. Its creation builds the tracker,
// loads the configuration and the progress, creates and fills the two lists, starts the
// monitor thread and sets the check timer. Each timer tick hands one check pass to the
// monitor thread, so the window keeps answering however long a pass takes. Each unlock
// message shows the toast for the achievement it carries and then frees that achievement.
// Destruction stops the monitor thread, destroys the tracker and ends the message loop.
//
// The monitor thread sends list-box and window-text messages to this thread, so nothing
// here may block on that thread without serving sent messages; the tracker's stop and the
// timer's non-blocking fallback pass take care of that.

#include "app/main_window.h"

#include <memory>

#include "app/achievement_menu.h"
#include "app/app_globals.h"
#include "app/background_commands.h"
#include "app/config_reload_apply.h"
#include "app/main_fonts.h"
#include "app/main_layout.h"
#include "app/notification_icon.h"
#include "app/save_status_line.h"
#include "app/single_instance.h"
#include "app/start_at_login_menu.h"
#include "app/toast_menu.h"
#include "app/window_place.h"
#include "config/config_loader.h"
#include "model/window_messages.h"
#include "notify/toast.h"
#include "platform/desktop.h"
#include "platform/win32/dpi_win32.h"
#include "platform/win32/gdi_holders.h"
#include "progress/save_status.h"
#include "resources/resource_ids.h"
#include "tracker/tracker.h"

namespace {

constexpr wchar_t MAIN_WINDOW_CLASS[] = L"LaurelightMain";
constexpr int MAIN_WINDOW_WIDTH = 800;  // at 96 DPI, like every figure of the layout
constexpr int MAIN_WINDOW_HEIGHT = 600;

constexpr DWORD LIST_STYLE =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY;
static_assert(LIST_STYLE == 0x50A00041u, "plain, unsorted list boxes");
static_assert(PRIVATE_MESSAGE_BASE == WM_USER);

constexpr wchar_t COMPLETED_CAPTION[] = L"已完成成就:";
constexpr wchar_t PENDING_CAPTION[] = L"未完成成就:";
constexpr char16_t LOAD_FAILED_TEXT[] = u"加载成就配置失败，程序将退出！";
constexpr wchar_t ABOUT_TEXT[] = L"Laurelight beta-0.2\n检测Windows操作并解锁成就！";
constexpr wchar_t ABOUT_CAPTION[] = L"关于";

MainLayout LayoutOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return ComputeMainLayout(client.right - client.left, client.bottom - client.top,
                             platform::WindowDpi(window));
}

HWND CreateList(HWND parent, int id, const LayoutBox& box) {
    return CreateWindowExW(0, L"LISTBOX", L"", LIST_STYLE, box.left, box.top, box.width, box.height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_hInstance,
                           nullptr);
}

void CreateLists(HWND window, AchievementTracker& tracker) {
    const MainLayout layout = LayoutOf(window);
    tracker.completed_list = CreateList(window, IDC_COMPLETED_LIST, layout.completed_list);
    tracker.pending_list = CreateList(window, IDC_PENDING_LIST, layout.pending_list);
    ApplyMainFonts(window, platform::WindowDpi(window));
    CreateSaveStatusLine(window, layout.status_line);
}

void OnCreate(HWND window) {
    MarkMainWindow(window);
    g_tracker = new AchievementTracker(window);
    if (g_tracker->LoadConfig()) {
        g_tracker->LoadProgress();
        CreateLists(window, *g_tracker);
        g_tracker->FillLists();
        ApplySavedBackgroundSettings(window, *g_tracker);
        g_tracker->StartMonitoring();
    } else {
        // The loader has already said what went wrong; the window is kept only until the
        // loop takes the quit request, so nothing more is read, written or started.
        platform::ShowErrorMessage(window, LOAD_FAILED_TEXT, ERROR_CAPTION);
        PostQuitMessage(0);
    }
    SetTimer(window, CHECK_TIMER_ID, CHECK_INTERVAL_MS, nullptr);
}

void OnDestroy(HWND window) {
    ReleaseFolder(window);
    RemoveNotificationIcon(window);
    KeepWindowPlace(window);
    if (g_tracker != nullptr) {
        g_tracker->StopMonitoring();
        delete g_tracker;
        g_tracker = nullptr;
    }
    KillTimer(window, CHECK_TIMER_ID);
    DropWaitingConfig(window);
    DropWaitingToasts();
    PostQuitMessage(0);
}

void OnSize(HWND window) {
    if (g_tracker == nullptr) return;
    HWND completed = GetDlgItem(window, IDC_COMPLETED_LIST);
    HWND pending = GetDlgItem(window, IDC_PENDING_LIST);
    if (completed == nullptr || pending == nullptr) return;
    const MainLayout layout = LayoutOf(window);
    const LayoutBox& left = layout.completed_list;
    const LayoutBox& right = layout.pending_list;
    const LayoutBox& status = layout.status_line;
    MoveWindow(completed, left.left, left.top, left.width, left.height, TRUE);
    MoveWindow(pending, right.left, right.top, right.width, right.height, TRUE);
    HWND status_line = GetDlgItem(window, IDC_SAVE_STATUS);
    if (status_line != nullptr) {
        MoveWindow(status_line, status.left, status.top, status.width, status.height, TRUE);
    }
}

void DrawCaption(HDC dc, const wchar_t* text, const LayoutRect& where) {
    RECT rect{where.left, where.top, where.right, where.bottom};
    DrawTextW(dc, text, -1, &rect, 0);
}

// Default text colour, background colour and mode: the captions sit on the window colour.
void PaintCaptions(HDC dc, const MainLayout& layout) {
    ObjectSelection font(dc, MainGuiFont());
    DrawCaption(dc, COMPLETED_CAPTION, layout.completed_caption);
    DrawCaption(dc, PENDING_CAPTION, layout.pending_caption);
}

void OnPaint(HWND window) {
    PaintScope paint(window);
    PaintCaptions(paint.Dc(), LayoutOf(window));
}

// The 成就 menu's commands and the lists' notifications have their own home; unknown
// commands do nothing.
void OnCommand(HWND window, WPARAM wparam) {
    switch (LOWORD(wparam)) {
        case IDM_ABOUT:
            MessageBoxW(window, ABOUT_TEXT, ABOUT_CAPTION, MB_OK);
            break;
        case IDM_EXIT:
            DestroyWindow(window);
            break;
        case IDM_START_AT_LOGIN:
            ToggleStartAtLogin();
            break;
        default:
            if (!OnBackgroundCommand(window, LOWORD(wparam)) &&
                !HandleToastMenuCommand(LOWORD(wparam))) {
                OnAchievementCommand(window, wparam);
            }
            break;
    }
}

// Only without a monitor thread does the tick run the pass here; one that finds another
// pass running (a hand-off from laurelight-check) is skipped, and the next tick catches up.
void OnTimer(HWND window, WPARAM timer_id) {
    if (timer_id == CONFIG_APPLY_TIMER_ID) OnConfigApplyTimer(window);
    if (timer_id != CHECK_TIMER_ID || g_tracker == nullptr) return;
    if (!g_tracker->RequestTimerPass()) g_tracker->TryCheckTriggers();
    RefreshNotificationIconTip(window);
}

// The sender gave up the achievement when it posted it; it is freed as soon as the toast,
// which keeps its own copy of what it draws, has been opened.
void OnAchievementUnlocked(LPARAM achievement_address) {
    const std::unique_ptr<Achievement> achievement(
        reinterpret_cast<Achievement*>(achievement_address));
    if (achievement != nullptr) ShowNotification(*achievement);
}

// Whichever thread saved has posted this after the reason changed; the line shows the
// latest state, so a burst of changes needs no more than the last message.
void OnSaveStatusChanged(HWND window) {
    if (g_tracker != nullptr) RefreshSaveStatusLine(window, *g_tracker);
}

// Windows may end the process as soon as this returns, and no WM_DESTROY comes. The monitor
// stops first, so no unlock comes after the last save, and a lagging save gets its last try.
void OnEndSession(HWND window, WPARAM ending) {
    if (ending == FALSE || g_tracker == nullptr) return;
    g_tracker->StopMonitoring();
    KillTimer(window, CHECK_TIMER_ID);
    g_tracker->SaveIfPending();
    RefreshSaveStatusLine(window, *g_tracker);
    RemoveNotificationIcon(window);
    KeepWindowPlace(window);
}

// The window moved to a screen with another scale: it takes the size the system suggests
// for it there, and its fonts and layout follow. The same size again brings no WM_SIZE.
void OnDpiChanged(HWND window, WPARAM new_dpi, LPARAM suggested_rect) {
    const RECT& rect = *reinterpret_cast<const RECT*>(suggested_rect);
    if (g_tracker != nullptr) ApplyMainFonts(window, LOWORD(new_dpi));
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    OnSize(window);
    InvalidateRect(window, nullptr, TRUE);
}

LRESULT OnControlColor(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    HWND control = reinterpret_cast<HWND>(lparam);
    if (GetDlgCtrlID(control) != IDC_SAVE_STATUS) {
        return DefWindowProcW(window, message, wparam, lparam);
    }
    return reinterpret_cast<LRESULT>(SaveStatusLineColors(reinterpret_cast<HDC>(wparam)));
}

}  // namespace

void RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = MainWindowProc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_LAURELIGHT));
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    window_class.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
    window_class.lpszClassName = MAIN_WINDOW_CLASS;
    window_class.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_LAURELIGHT_SMALL));
    RegisterClassExW(&window_class);
}

// The screen, and with it the DPI, is known only once the window exists; on a scaled screen
// the window then takes its scaled size before it is shown. A saved place is in the pixels of
// its own screen and is taken as it is.
HWND CreateMainWindow(HINSTANCE instance) {
    if (const std::optional<RECT> saved = SavedWindowRect()) {
        return CreateWindowExW(0, MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE, WS_OVERLAPPEDWINDOW,
                               saved->left, saved->top, saved->right - saved->left,
                               saved->bottom - saved->top, nullptr, nullptr, instance, nullptr);
    }
    HWND window = CreateWindowExW(0, MAIN_WINDOW_CLASS, MAIN_WINDOW_TITLE, WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, 0, MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT, nullptr,
                                  nullptr, instance, nullptr);
    const int dpi = window != nullptr ? platform::WindowDpi(window) : platform::BASE_DPI;
    if (dpi != platform::BASE_DPI) {
        SetWindowPos(window, nullptr, 0, 0, platform::Scale(MAIN_WINDOW_WIDTH, dpi),
                     platform::Scale(MAIN_WINDOW_HEIGHT, dpi),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return window;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            OnCreate(window);
            return 0;
        case WM_DESTROY:
            OnDestroy(window);
            return 0;
        case WM_SIZE:
            if (wparam == SIZE_MINIMIZED) HideMinimizedBehindIcon(window);
            OnSize(window);
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_COMMAND:
            OnCommand(window, wparam);
            return 0;
        case WM_TIMER:
            OnTimer(window, wparam);
            return 0;
        case WM_ACHIEVEMENT_UNLOCKED:
            OnAchievementUnlocked(lparam);
            RefreshNotificationIconTip(window);
            return 0;
        case WM_SAVE_STATUS_CHANGED:
            OnSaveStatusChanged(window);
            return 0;
        case WM_CONFIG_RELOADED:
            OnConfigReloaded(window, lparam);
            return 0;
        case WM_INITMENUPOPUP:
            ShowStartAtLoginState(reinterpret_cast<HMENU>(wparam));
            ShowToastMenuState(reinterpret_cast<HMENU>(wparam));
            ShowBackgroundMenuState(reinterpret_cast<HMENU>(wparam));
            ShowAchievementMenuState(window, reinterpret_cast<HMENU>(wparam));
            return 0;
        case WM_CONTEXTMENU:
            if (OnListContextMenu(window, wparam, lparam)) return 0;
            return DefWindowProcW(window, message, wparam, lparam);
        case WM_ENDSESSION:
            OnEndSession(window, wparam);
            return 0;
        case WM_COPYDATA:
            return OnCopyData(lparam);
        case WM_DPICHANGED:
            OnDpiChanged(window, wparam, lparam);
            return 0;
        case WM_CTLCOLORSTATIC:
            return OnControlColor(window, message, wparam, lparam);
        default:
            if (OnNotificationIconMessage(window, message, wparam, lparam)) return 0;
            return DefWindowProcW(window, message, wparam, lparam);
    }
}
