#pragma once
// The main window's side of reading bin\adv.json again: a reading (posted by the check pass,
// or made here for the menu's reload and after an edit) is applied between two passes, on this
// thread, which never waits for a pass: while one runs, a short timer tries again. Windows
// only; UI thread only.

#include "platform/win32/win32.h"

// The retry timer of a reading that met a running pass.
constexpr UINT_PTR CONFIG_APPLY_TIMER_ID = 2020;

// WM_CONFIG_RELOADED: takes over the reading lParam owns.
void OnConfigReloaded(HWND window, LPARAM reading);
// Reads adv.json now and applies it as above: the menu's reload, and what an edit wrote.
void ReloadConfigNow(HWND window);
// The retry timer's tick.
void OnConfigApplyTimer(HWND window);
// The main window's end: a reading still waiting is dropped.
void DropWaitingConfig(HWND window);
