#include "app/background_commands.h"

#include "app/app_globals.h"
#include "app/main_window.h"
#include "app/notification_icon.h"
#include "app/user_settings.h"
#include "resources/resource_ids.h"
#include "tracker/tracker.h"

namespace {

constexpr wchar_t PAUSED_TITLE[] = L"Laurelight（已暂停）";

void ShowPauseInTitle(HWND window) {
    SetWindowTextW(window, UserSettings().paused ? PAUSED_TITLE : MAIN_WINDOW_TITLE);
}

// Resuming asks for a pass at once (the tracker does that), so whatever is met now unlocks
// within a moment; without a monitor thread the pass runs here, as a tick's would.
void TogglePause(HWND window) {
    AppSettings& settings = UserSettings();
    settings.paused = !settings.paused;
    SaveUserSettings();
    if (g_tracker != nullptr) {
        g_tracker->SetPaused(settings.paused);
        if (!settings.paused && !g_tracker->running.load()) g_tracker->TryCheckTriggers();
    }
    ShowPauseInTitle(window);
    RefreshNotificationIconTip(window);
}

void ToggleNotificationIcon(HWND window) {
    AppSettings& settings = UserSettings();
    settings.tray_icon = !settings.tray_icon;
    SaveUserSettings();
    if (settings.tray_icon) {
        AddNotificationIcon(window);
    } else {
        RemoveNotificationIcon(window);
    }
}

// Greyed, and so never chosen, without the icon.
void ToggleMinimizeToIcon() {
    AppSettings& settings = UserSettings();
    settings.minimize_to_tray = !settings.minimize_to_tray;
    SaveUserSettings();
}

void CheckItem(HMENU popup, UINT command, bool checked) {
    CheckMenuItem(popup, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

void ApplySavedBackgroundSettings(HWND window, AchievementTracker& tracker) {
    if (UserSettings().paused) {
        tracker.SetPaused(true);
        ShowPauseInTitle(window);
    }
    AddNotificationIcon(window);
}

bool OnBackgroundCommand(HWND window, UINT command) {
    switch (command) {
        case IDM_PAUSE:
            TogglePause(window);
            return true;
        case IDM_NOTIFICATION_ICON:
            ToggleNotificationIcon(window);
            return true;
        case IDM_MINIMIZE_TO_ICON:
            if (UserSettings().tray_icon) ToggleMinimizeToIcon();
            return true;
        case IDM_OPEN_MAIN_WINDOW:
            BringMainWindowBack(window);
            return true;
        default:
            return false;
    }
}

void ShowBackgroundMenuState(HMENU popup) {
    const AppSettings& settings = UserSettings();
    CheckItem(popup, IDM_PAUSE, settings.paused);
    CheckItem(popup, IDM_NOTIFICATION_ICON, settings.tray_icon);
    CheckItem(popup, IDM_MINIMIZE_TO_ICON, settings.minimize_to_tray);
    EnableMenuItem(popup, IDM_MINIMIZE_TO_ICON,
                   MF_BYCOMMAND | (settings.tray_icon ? MF_ENABLED : MF_GRAYED));
}

void HideMinimizedBehindIcon(HWND window) {
    const AppSettings& settings = UserSettings();
    if (settings.minimize_to_tray && settings.tray_icon && NotificationIconShown()) {
        ShowWindow(window, SW_HIDE);
    }
}
