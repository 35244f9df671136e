#include "sound/unlock_sound.h"

#include "model/data_paths.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "sound/mci_sound.h"

void PlayUnlockSound() {
    PlayUnlockSoundIn(ExecutableDirectory(platform::ModulePath()));
}

void PlayUnlockSoundIn(const std::u16string& directory) {
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
