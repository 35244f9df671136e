#pragma once
// The program's resource, menu command and control ids, in one list so that none collides.
// Shared by the resource script and the program, hence plain #defines.

#define IDI_LAURELIGHT 101
#define IDI_LAURELIGHT_SMALL 102
#define IDR_MAIN_MENU 103

#define IDM_EXIT 40001
#define IDM_ABOUT 40002
#define IDM_START_AT_LOGIN 40003

// The 成就 menu, and the list items' right-click menu (IDR_ITEM_MENU) with the same commands.
#define IDM_NEW_ACHIEVEMENT 40010
#define IDM_EDIT_ACHIEVEMENT 40011
#define IDM_DELETE_ACHIEVEMENT 40012
#define IDM_RELOAD_CONFIG 40013
#define IDM_OPEN_CONFIG_FOLDER 40014

#define IDD_ACHIEVEMENT 200
#define IDR_ITEM_MENU 201

// Controls of the achievement dialog.
#define IDC_ACH_TITLE 1100
#define IDC_ACH_DESCRIPTION 1101
#define IDC_ACH_TRIGGER_DESCRIPTION 1102
#define IDC_ACH_TRIGGER_TYPE 1103
#define IDC_ACH_TRIGGER_VALUE 1104
#define IDC_ACH_BROWSE 1105
#define IDC_ACH_MET_NOW 1106
#define IDC_ACH_FILTER 1107
#define IDC_ACH_RUNNING 1108
#define IDC_ACH_GOAL_UNIT 1109
#define IDC_ACH_GOAL_COUNT 1110
#define IDC_ACH_HIDDEN 1111
#define IDC_ACH_PROBLEM 1112
#define IDC_ACH_MORE 1113
#define IDC_ACH_ID_LABEL 1114
#define IDC_ACH_ID 1115
#define IDC_ACH_PREVIEW 1116

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
