#pragma once
// The program's resource, menu command and control ids, in one list so that none collides.
// Shared by the resource script and the program, hence plain #defines.

#define IDI_LAURELIGHT 101
#define IDI_LAURELIGHT_SMALL 102
#define IDR_MAIN_MENU 103

#define IDM_EXIT 40001
#define IDM_ABOUT 40002
#define IDM_START_AT_LOGIN 40003

// Running in the background: the File menu's items and the notification icon's menu.
#define IDM_PAUSE 40030
#define IDM_NOTIFICATION_ICON 40031
#define IDM_MINIMIZE_TO_ICON 40032
#define IDM_OPEN_MAIN_WINDOW 40033

// File > 提示位置, 提示显示在, 静音 and 测试提示. The corners run in ToastCorner's order, the
// screens in ToastScreen's.
#define IDM_TOAST_TOP_RIGHT 40040
#define IDM_TOAST_BOTTOM_RIGHT 40041
#define IDM_TOAST_TOP_LEFT 40042
#define IDM_TOAST_BOTTOM_LEFT 40043
#define IDM_TOAST_PRIMARY_SCREEN 40044
#define IDM_TOAST_ACTIVE_SCREEN 40045
#define IDM_MUTE 40046
#define IDM_TEST_TOAST 40047

// Children of the main window.
#define IDC_COMPLETED_LIST 1001
#define IDC_PENDING_LIST 1002
#define IDC_SAVE_STATUS 1003
