#pragma once
// The files an achievement names for its own toast ("sound", "picture"): a plain file name in
// bin\ beside adv.json. A name that could reach outside bin\ or name a device is refused, and
// the toast keeps the default file.

#include <cstdint>
#include <string_view>

enum class BinNameProblem : std::uint8_t {
    None,
    Folder,              // a '\' or '/', a drive ("D:"), or only dots and spaces ("..")
    ForbiddenCharacter,  // < > : " | ? * or a control character
    DeviceName,          // CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, with any ending
    NotSoundFile,        // a sound whose name ends in neither .wav nor .mp3
};

// Why the name cannot be used as a picture; None for a usable name and for no name at all.
BinNameProblem PictureNameProblem(std::u16string_view name);
// The same for a sound, which must also end in .wav or .mp3 (any letter case).
BinNameProblem SoundNameProblem(std::u16string_view name);

// Whether the usable sound name is a WAV, played as one; otherwise it is an MP3.
bool IsWaveName(std::u16string_view name);
