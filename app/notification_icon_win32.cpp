// The notification icon, as Windows' guidance for programs that run in the background has it:
// one icon (one id, so the shell never holds two), NOTIFYICON_VERSION_4, the small icon at the
// system's scale, a left click that shows the window, a right click that opens a short menu
// which a click elsewhere closes, and the icon put back when Explorer restarts.
//
// The tooltip is read from the two lists, which this thread owns, so no tracker state is read
// across threads. A refill the monitor thread has under way may be caught half done; the next
// tick puts the tip right.

#include "platform/win32/win32.h"
#include <commctrl.h>
#include <shellapi.h>

#include "app/notification_icon.h"

#include <algorithm>
#include <string>

#include "app/user_settings.h"
#include "model/window_messages.h"
#include "platform/win32/gdi_holders.h"
#include "resources/resource_ids.h"
#include "text/utf8.h"

namespace {

constexpr UINT ICON_ID = 1;
constexpr char16_t TIP_START[] = u"Laurelight：已完成 ";
constexpr char16_t TIP_PAUSED[] = u"（已暂停）";

struct IconMenuItem {
    UINT command;  // 0: a separator
    const wchar_t* text;
};

constexpr IconMenuItem ICON_MENU_ITEMS[] = {
    {IDM_OPEN_MAIN_WINDOW, L"打开 Laurelight"},
    {IDM_PAUSE, L"暂停检测"},
    {IDM_NEW_ACHIEVEMENT, L"新建成就…"},
    {IDM_TEST_TOAST, L"测试提示"},
    {IDM_START_AT_LOGIN, L"开机时自动启动"},
    {0, nullptr},
    {IDM_EXIT, L"退出"},
};

struct NotificationIcon {
    bool shown = false;
    std::u16string tip;  // as the shell last took it
    IconHolder image;
};

NotificationIcon g_notificationIcon;

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

NOTIFYICONDATAW IconData(HWND window) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = ICON_ID;
    return data;
}

void PutTip(NOTIFYICONDATAW& data, const std::u16string& tip) {
    const std::size_t units = std::min(tip.size(), std::size(data.szTip) - 1);
    std::copy_n(tip.begin(), units, data.szTip);
    data.szTip[units] = L'\0';
}

std::u16string Number(LRESULT value) {
    return Utf8ToUtf16(std::to_string(std::max<LRESULT>(value, 0)));
}

// "Laurelight：已完成 12/30", and "（已暂停）" after it while paused.
std::u16string TipText(HWND window) {
    const LRESULT completed = SendDlgItemMessageW(window, IDC_COMPLETED_LIST, LB_GETCOUNT, 0, 0);
    const LRESULT pending = SendDlgItemMessageW(window, IDC_PENDING_LIST, LB_GETCOUNT, 0, 0);
    std::u16string tip = TIP_START + Number(completed) + u"/" +
                         Number(std::max<LRESULT>(completed, 0) + std::max<LRESULT>(pending, 0));
    if (UserSettings().paused) tip += TIP_PAUSED;
    return tip;
}

// The small icon at the system's small-icon size, which the notification area draws at,
// scaled down from the 64x64 image with the shell's quality scaling.
HICON LoadSmallIcon() {
    HICON icon = nullptr;
    if (FAILED(LoadIconMetric(g_hInstance, MAKEINTRESOURCEW(IDI_LAURELIGHT_SMALL), LIM_SMALL,
                              &icon))) {
        return nullptr;
    }
    return icon;
}

// SetForegroundWindow first, so that a click anywhere else closes the menu; the posted
// message lets the menu close properly when it was left without a choice. A choice arrives
// as WM_COMMAND, like the File menu's.
void ShowIconMenu(HWND window, int x, int y) {
    const PopupMenu menu;
    if (menu.Get() == nullptr) return;
    for (const IconMenuItem& item : ICON_MENU_ITEMS) {
        AppendMenuW(menu.Get(), item.command == 0 ? MF_SEPARATOR : MF_STRING, item.command,
                    item.text);
    }
    SetMenuDefaultItem(menu.Get(), IDM_OPEN_MAIN_WINDOW, FALSE);
    const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    SetForegroundWindow(window);
    TrackPopupMenuEx(menu.Get(), align | TPM_RIGHTBUTTON, x, y, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
}

}  // namespace

void AddNotificationIcon(HWND window) {
    if (!UserSettings().tray_icon) return;
    g_notificationIcon.image.Reset(LoadSmallIcon());
    NOTIFYICONDATAW data = IconData(window);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data.uCallbackMessage = WM_NOTIFICATION_ICON;
    data.hIcon = g_notificationIcon.image.Get();
    const std::u16string tip = TipText(window);
    PutTip(data, tip);
    g_notificationIcon.shown =
        Shell_NotifyIconW(NIM_ADD, &data) != FALSE || Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    if (!g_notificationIcon.shown) return;
    g_notificationIcon.tip = tip;
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data);
}

void RemoveNotificationIcon(HWND window) {
    if (!g_notificationIcon.shown) return;
    NOTIFYICONDATAW data = IconData(window);
    Shell_NotifyIconW(NIM_DELETE, &data);
    g_notificationIcon.shown = false;
}

bool NotificationIconShown() {
    return g_notificationIcon.shown;
}

void RefreshNotificationIconTip(HWND window) {
    if (!g_notificationIcon.shown) return;
    std::u16string tip = TipText(window);
    if (tip == g_notificationIcon.tip) return;
    NOTIFYICONDATAW data = IconData(window);
    data.uFlags = NIF_TIP | NIF_SHOWTIP;
    PutTip(data, tip);
    if (Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE) g_notificationIcon.tip = std::move(tip);
}

bool OnNotificationIconMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == TaskbarCreatedMessage()) {
        AddNotificationIcon(window);
        return true;
    }
    if (message != WM_NOTIFICATION_ICON) return false;
    switch (LOWORD(lparam)) {
        case NIN_SELECT:
        case NIN_KEYSELECT:
            BringMainWindowBack(window);
            break;
        case WM_CONTEXTMENU:
            // The anchor's screen point, which may lie left of or above the primary screen.
            ShowIconMenu(window, static_cast<short>(LOWORD(wparam)),
                         static_cast<short>(HIWORD(wparam)));
            break;
        default:
            break;
    }
    return true;
}

void BringMainWindowBack(HWND window) {
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window);
}
