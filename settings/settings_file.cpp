#include "settings/settings_file.h"

#include "model/data_paths.h"
#include "platform/folder_state_lock.h"

namespace {

// The program is the only writer of the file; the lock only keeps its temporary files apart
// from those of a copy that is still closing, so it is not waited for long.
constexpr unsigned SETTINGS_LOCK_WAIT_MS = 200;

}  // namespace

SettingsReading LoadSettingsFile(const std::u16string& path) {
    return ReadSettings(platform::TryReadFileBytes(path).value_or(std::string()));
}

// A file that exists but cannot be read now is not written over: what it holds would be lost.
platform::FileError SaveSettingsFile(const std::u16string& path, const AppSettings& settings) {
    const platform::FolderStateLock lock(ExecutableDirectory(path), SETTINGS_LOCK_WAIT_MS);
    const platform::FileFacts facts = platform::QueryFile(platform::LinkTarget(path));
    std::optional<std::string> previous = std::string();
    if (facts.exists && !facts.directory) previous = platform::TryReadFileBytes(path);
    if (!previous) return platform::FileError::Unreadable;
    if (lock.Held()) platform::RemoveLeftTemporaries(platform::LinkTarget(path));
    return platform::ReplaceFileSafely(path, SerializeSettings(settings, *previous)).error;
}
