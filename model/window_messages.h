#pragma once
// The program's private window messages, declared side by side so that no two share a number.
// All go to the main window. WM_USER is spelled out because the core never includes windows.h;
// the main window checks that it matches.

inline constexpr unsigned PRIVATE_MESSAGE_BASE = 0x0400;  // WM_USER

// lParam owns a heap copy of the completed achievement (an Achievement*); the window frees it.
inline constexpr unsigned WM_ACHIEVEMENT_UNLOCKED = PRIVATE_MESSAGE_BASE + 100;

// No payload: saves started or stopped failing, or now fail for another reason. The window
// then reads the tracker's save_problem.
inline constexpr unsigned WM_SAVE_STATUS_CHANGED = PRIVATE_MESSAGE_BASE + 101;

// lParam owns a heap ConfigReload (tracker/config_reload.h): bin\adv.json as read again while
// the program runs. The window applies it between two passes and frees it.
inline constexpr unsigned WM_CONFIG_RELOADED = PRIVATE_MESSAGE_BASE + 102;

// The notification icon's callback (NOTIFYICON_VERSION_4): the event in LOWORD(lParam), the
// anchor point of a menu in wParam.
inline constexpr unsigned WM_NOTIFICATION_ICON = PRIVATE_MESSAGE_BASE + 105;
