#pragma once
// What one toast shows and plays, taken from its achievement when it unlocks and carried with
// the toast while it waits for its turn. Portable.

#include <string>

#include "model/achievement.h"

struct ToastContent {
    std::u16string title;
    // The achievement's own files in bin\ when their names are usable; empty for the defaults
    // (adv_sound.*, adv_back.png). A refused name counts as none.
    std::u16string sound;
    std::u16string picture;
    friend bool operator==(const ToastContent&, const ToastContent&) = default;
};

ToastContent ToastContentOf(const Achievement& achievement);

// The picture a toast of this content loads, beside the executable in `directory`: its own
// when the file exists, else bin\adv_back.png.
std::u16string ToastPicturePath(const std::u16string& directory, const ToastContent& toast);
