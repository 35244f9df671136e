#pragma once
// The unlock sound: bin\adv_sound.wav if present, else bin\adv_sound.mp3 through MCI
// (sound/mci_sound.h), else the default beep.

#include <string>

// Plays the sound found beside the running executable.
void PlayUnlockSound();
// The same choice for the files under directory + "\bin\".
void PlayUnlockSoundIn(const std::u16string& directory);
