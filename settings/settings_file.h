#pragma once
// adv_settings.txt on disk. Read once at start; written only when the user changes a setting.

#include <string>

#include "platform/files.h"
#include "settings/app_settings.h"

// The file's settings; the defaults when it is missing or cannot be read.
SettingsReading LoadSettingsFile(const std::u16string& path);

// Writes the settings over the file as it is now (so lines another version added survive)
// through the safe replacement. Returns why it failed, or FileError::None.
platform::FileError SaveSettingsFile(const std::u16string& path, const AppSettings& settings);
