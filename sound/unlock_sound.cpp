#include "sound/unlock_sound.h"

#include "config/bin_file_name.h"
#include "model/data_paths.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "sound/mci_sound.h"

namespace {

// A file that exists is played like the default of its kind; true when it was handed on.
bool PlayOwnSound(const std::u16string& directory, const std::u16string& sound) {
    if (sound.empty()) return false;
    const std::u16string path = BinFilePath(directory, sound);
    if (!platform::FileExists(path)) return false;
    if (IsWaveName(sound)) {
        platform::PlayWaveFileAsync(path);
    } else {
        PlayMciSound(path);
    }
    return true;
}

}  // namespace

void PlayUnlockSound(const std::u16string& sound) {
    PlayUnlockSoundIn(ExecutableDirectory(platform::ModulePath()), sound);
}

void PlayUnlockSoundIn(const std::u16string& directory, const std::u16string& sound) {
    if (PlayOwnSound(directory, sound)) return;
    const DataPaths paths = DataPathsIn(directory);
    if (platform::FileExists(paths.wave_path)) {
        platform::PlayWaveFileAsync(paths.wave_path);
        return;
    }
    if (platform::FileExists(paths.mp3_path)) {
        PlayMciSound(paths.mp3_path);
        return;
    }
    platform::DefaultBeep();
}
