#include "app/user_settings.h"

#include "model/data_paths.h"
#include "platform/files.h"
#include "settings/settings_file.h"

namespace {

AppSettings g_settings;

std::u16string SettingsPath() {
    return DeriveDataPaths(platform::ModulePath()).settings_path;
}

}  // namespace

void LoadUserSettings() {
    g_settings = LoadSettingsFile(SettingsPath()).settings;
}

AppSettings& UserSettings() {
    return g_settings;
}

void SaveUserSettings() {
    SaveSettingsFile(SettingsPath(), g_settings);
}
