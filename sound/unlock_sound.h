#pragma once
// The unlock sound: an achievement's own sound in bin\ when it names one that exists (a .wav
// played as bin\adv_sound.wav is, an .mp3 as bin\adv_sound.mp3), else bin\adv_sound.wav if
// present, else bin\adv_sound.mp3 through MCI (sound/mci_sound.h), else the default beep.

#include <string>

// Plays the sound found beside the running executable. `sound` is a usable name from the
// achievement's configuration (config/bin_file_name.h), or empty for the default choice.
void PlayUnlockSound(const std::u16string& sound = {});
// The same choice for the files under directory + "\bin\".
void PlayUnlockSoundIn(const std::u16string& directory, const std::u16string& sound = {});
