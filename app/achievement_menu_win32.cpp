// The selected item is the one of the list that was last selected in, else the other list's:
// both lists keep their own selection, as before. A list item names its achievement through
// the ids the refill keeps in list order (ListedId).

#include "platform/win32/win32.h"
#include <shellapi.h>

#include "app/achievement_menu.h"

#include <windowsx.h>

#include <optional>
#include <string>

#include "app/achievement_dialog.h"
#include "app/app_globals.h"
#include "app/config_reload_apply.h"
#include "config/config_edit.h"
#include "resources/resource_ids.h"
#include "tracker/config_reload.h"
#include "tracker/tracker.h"

namespace {

int g_lastSelectedList = IDC_PENDING_LIST;

bool IsList(int control_id) {
    return control_id == IDC_COMPLETED_LIST || control_id == IDC_PENDING_LIST;
}

std::optional<std::u16string> SelectedIn(HWND window, int list_id) {
    const LRESULT index = SendDlgItemMessageW(window, list_id, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR || g_tracker == nullptr) return std::nullopt;
    std::u16string id =
        ListedId(*g_tracker, list_id == IDC_COMPLETED_LIST, static_cast<std::size_t>(index));
    if (id.empty()) return std::nullopt;
    return id;
}

std::optional<std::u16string> SelectedId(HWND window) {
    const int other =
        g_lastSelectedList == IDC_PENDING_LIST ? IDC_COMPLETED_LIST : IDC_PENDING_LIST;
    std::optional<std::u16string> id = SelectedIn(window, g_lastSelectedList);
    return id ? id : SelectedIn(window, other);
}

// Explorer from the system's own folder, with adv.json selected in the bin folder.
void OpenConfigFolder(HWND window) {
    if (g_tracker == nullptr) return;
    wchar_t windows_folder[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryW(windows_folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::u16string explorer =
        std::u16string(platform::Utf16(windows_folder, length)) + u"\\explorer.exe";
    const std::u16string arguments = u"/select,\"" + g_tracker->config_path + u"\"";
    ShellExecuteW(window, L"open", platform::Wide(explorer), platform::Wide(arguments), nullptr,
                  SW_SHOWNORMAL);
}

std::u16string TitleOf(const std::u16string& id) {
    for (const Achievement& entry : ConfiguredEntries(*g_tracker)) {
        if (entry.id == id) return entry.title;
    }
    return id;
}

// Asks first; the progress stays in adv_save.txt and adv_stats.txt, so adding the id again
// brings it back.
void DeleteAchievement(HWND window, const std::u16string& id) {
    if (g_tracker == nullptr) return;
    const std::u16string question = u"删除成就「" + TitleOf(id) +
                                    u"」？\n\n它的进度会保留：以后再添加 id 为 " + id +
                                    u" 的成就，进度就会回来。";
    if (MessageBoxW(window, platform::Wide(question), L"删除成就",
                    MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK) {
        return;
    }
    const ConfigWrite written = ApplyConfigEdit(
        g_tracker->config_path, [&id](std::string_view file) { return RemoveEntry(file, id); });
    if (!ShowConfigWriteFailure(window, written)) ReloadConfigNow(window);
}

void OnListNotification(HWND window, int list_id, WORD code) {
    if (code == LBN_SELCHANGE) g_lastSelectedList = list_id;
    if (code != LBN_DBLCLK) return;
    g_lastSelectedList = list_id;
    if (SelectedIn(window, list_id)) PostMessageW(window, WM_COMMAND, IDM_EDIT_ACHIEVEMENT, 0);
}

}  // namespace

void OnAchievementCommand(HWND window, WPARAM wparam) {
    const int id = LOWORD(wparam);
    if (IsList(id)) {
        OnListNotification(window, id, HIWORD(wparam));
        return;
    }
    std::optional<std::u16string> selected;
    switch (id) {
        case IDM_NEW_ACHIEVEMENT:
            OpenAchievementDialog(window, {});
            break;
        case IDM_EDIT_ACHIEVEMENT:
            if ((selected = SelectedId(window))) OpenAchievementDialog(window, *selected);
            break;
        case IDM_DELETE_ACHIEVEMENT:
            if ((selected = SelectedId(window))) DeleteAchievement(window, *selected);
            break;
        case IDM_RELOAD_CONFIG:
            ReloadConfigNow(window);
            break;
        case IDM_OPEN_CONFIG_FOLDER:
            OpenConfigFolder(window);
            break;
        default:
            break;
    }
}

void ShowAchievementMenuState(HWND window, HMENU popup) {
    const UINT state = SelectedId(window) ? MF_ENABLED : MF_GRAYED;
    EnableMenuItem(popup, IDM_EDIT_ACHIEVEMENT, MF_BYCOMMAND | state);
    EnableMenuItem(popup, IDM_DELETE_ACHIEVEMENT, MF_BYCOMMAND | state);
}

// A right-click selects the item under the pointer first; outside every item it offers
// nothing. From the keyboard (Shift+F10, the menu key) the menu opens at the selected item.
bool OnListContextMenu(HWND window, WPARAM target, LPARAM where) {
    HWND list = reinterpret_cast<HWND>(target);
    const int list_id = GetDlgCtrlID(list);
    if (GetParent(list) != window || !IsList(list_id)) return false;
    POINT point{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (point.x == -1 && point.y == -1) {
        RECT item{};
        if (index == LB_ERR ||
            SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) == LB_ERR)
            return true;
        point = {item.left, item.bottom};
        ClientToScreen(list, &point);
    } else {
        POINT inside = point;
        ScreenToClient(list, &inside);
        const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(inside.x, inside.y));
        if (HIWORD(hit) != 0) return true;  // below the last item
        index = LOWORD(hit);
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    g_lastSelectedList = list_id;
    if (!SelectedIn(window, list_id)) return true;
    HMENU menu = LoadMenuW(g_hInstance, MAKEINTRESOURCEW(IDR_ITEM_MENU));
    if (menu == nullptr) return true;
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, point.x, point.y, 0, window, nullptr);
    DestroyMenu(menu);
    return true;
}
