#pragma once
// Numeric ids shared by the resource script and the program.

#define IDI_LAURELIGHT 101
#define IDI_LAURELIGHT_SMALL 102
#define IDR_MAIN_MENU 103

#define IDM_EXIT 40001
#define IDM_ABOUT 40002
#define IDM_START_AT_LOGIN 40003
