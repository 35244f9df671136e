#include "app/toast_menu.h"

#include "app/user_settings.h"
#include "notify/toast.h"
#include "resources/resource_ids.h"

namespace {

constexpr WORD FIRST_CORNER = IDM_TOAST_TOP_RIGHT;
constexpr WORD LAST_CORNER = IDM_TOAST_BOTTOM_LEFT;
constexpr WORD FIRST_SCREEN = IDM_TOAST_PRIMARY_SCREEN;
constexpr WORD LAST_SCREEN = IDM_TOAST_ACTIVE_SCREEN;
constexpr char16_t TEST_TOAST_TITLE[] = u"测试提示";

bool Holds(HMENU popup, UINT command) {
    return GetMenuState(popup, command, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

// A choice equal to the one in force writes nothing, so choosing a default never makes a
// settings file.
template <class Value>
void Choose(Value& setting, Value value) {
    if (setting == value) return;
    setting = value;
    SaveUserSettings();
}

// It goes through the line like an unlock, with the place and the sound in force, but
// unlocks, counts and writes nothing.
void ShowTestToast() {
    Achievement sample;
    sample.title = TEST_TOAST_TITLE;
    ShowNotification(sample);
}

}  // namespace

void ShowToastMenuState(HMENU popup) {
    const AppSettings& settings = UserSettings();
    if (Holds(popup, FIRST_CORNER)) {
        CheckMenuRadioItem(popup, FIRST_CORNER, LAST_CORNER,
                           FIRST_CORNER + static_cast<UINT>(settings.toast_corner), MF_BYCOMMAND);
    }
    if (Holds(popup, FIRST_SCREEN)) {
        CheckMenuRadioItem(popup, FIRST_SCREEN, LAST_SCREEN,
                           FIRST_SCREEN + static_cast<UINT>(settings.toast_screen), MF_BYCOMMAND);
    }
    if (Holds(popup, IDM_MUTE)) {
        CheckMenuItem(popup, IDM_MUTE, MF_BYCOMMAND | (settings.muted ? MF_CHECKED : MF_UNCHECKED));
    }
}

bool HandleToastMenuCommand(WORD command) {
    AppSettings& settings = UserSettings();
    if (command >= FIRST_CORNER && command <= LAST_CORNER) {
        Choose(settings.toast_corner, static_cast<ToastCorner>(command - FIRST_CORNER));
    } else if (command >= FIRST_SCREEN && command <= LAST_SCREEN) {
        Choose(settings.toast_screen, static_cast<ToastScreen>(command - FIRST_SCREEN));
    } else if (command == IDM_MUTE) {
        Choose(settings.muted, !settings.muted);
    } else if (command == IDM_TEST_TOAST) {
        ShowTestToast();
    } else {
        return false;
    }
    return true;
}
