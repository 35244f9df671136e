#pragma once
// The user's settings for this run of the program: read from adv_settings.txt once at start,
// written back each time the user changes one. UI thread only.

#include "settings/app_settings.h"

// Reads the file beside the running executable; the defaults when there is none.
void LoadUserSettings();

// The settings in force. A change the user makes is written with SaveUserSettings.
AppSettings& UserSettings();

// Writes the settings over the file as it is now. A failure says nothing: the setting holds
// for this run, and the next change writes it again.
void SaveUserSettings();
