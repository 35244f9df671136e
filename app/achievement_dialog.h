#pragma once
// The achievement dialog (IDD_ACHIEVEMENT): a new achievement, or a configured one edited.
// Every value is checked as the user types, with laurelight-check's rules; OK writes
// bin\adv.json through the one writer (config/config_edit.h) and applies the file at once.
// Windows only; UI thread only.

#include "platform/win32/win32.h"

#include <string>

struct ConfigWrite;

// Modal over the main window: a new achievement for an empty id, else the one with this id.
void OpenAchievementDialog(HWND main_window, const std::u16string& id);

// Tells the user why adv.json was not written (a refused edit, a failed write); false when it
// was.
bool ShowConfigWriteFailure(HWND owner, const ConfigWrite& written);
