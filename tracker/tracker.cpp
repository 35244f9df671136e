#include "tracker/tracker.h"

#include "config/config_loader.h"
#include "platform/desktop.h"
#include "platform/files.h"

AchievementTracker::AchievementTracker(platform::WindowRef window)
    : AchievementTracker(window, platform::ModulePath()) {}

AchievementTracker::AchievementTracker(platform::WindowRef window, std::u16string_view module_path)
    : main_window(window) {
    DataPaths paths = DeriveDataPaths(module_path);
    save_path = std::move(paths.save_path);
    config_path = std::move(paths.config_path);
    stats_path = std::move(paths.stats_path);
}

AchievementTracker::~AchievementTracker() {
    StopMonitoring();
    if (save_pending) SaveProgress();  // last chance for an unlock that could not be saved yet
    if (stats_changed) SaveStats();
}

// The file's facts first: a change made while it is read is read again by the check pass.
bool AchievementTracker::LoadConfig() {
    config_stamp = platform::QueryFile(platform::LinkTarget(config_path));
    config_seen = config_stamp;
    const std::u16string failure = LoadAchievements(config_path, achievements);
    if (failure.empty()) return true;
    platform::ShowErrorMessage(main_window, failure, ERROR_CAPTION);
    return false;
}
