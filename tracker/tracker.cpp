#include "tracker/tracker.h"

#include "platform/files.h"

std::u16string ExecutableDirectory(std::u16string_view module_path) {
    const size_t separator = module_path.find_last_of(u"\\/");
    return std::u16string(
        separator == std::u16string_view::npos ? module_path : module_path.substr(0, separator));
}

DataPaths DeriveDataPaths(std::u16string_view module_path) {
    const std::u16string directory = ExecutableDirectory(module_path);
    return {directory + u"\\adv_save.txt", directory + u"\\bin\\adv.json"};
}

AchievementTracker::AchievementTracker(void* window)
    : AchievementTracker(window, platform::ModulePath()) {}

AchievementTracker::AchievementTracker(void* window, std::u16string_view module_path)
    : main_window(window) {
    DataPaths paths = DeriveDataPaths(module_path);
    save_path = std::move(paths.save_path);
    config_path = std::move(paths.config_path);
}

AchievementTracker::~AchievementTracker() {
    StopMonitoring();
    if (save_pending) SaveProgress();  // last chance for an unlock that could not be saved yet
}
