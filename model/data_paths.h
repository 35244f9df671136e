#pragma once
// Where the program's files are: the executable's directory followed by a fixed suffix.

#include <string>
#include <string_view>

struct DataPaths {
    std::u16string save_path;      // \adv_save.txt
    std::u16string config_path;    // \bin\adv.json
    std::u16string picture_path;   // \bin\adv_back.png
    std::u16string wave_path;      // \bin\adv_sound.wav
    std::u16string mp3_path;       // \bin\adv_sound.mp3
    std::u16string stats_path;     // \adv_stats.txt
    std::u16string settings_path;  // \adv_settings.txt
};

// The module path cut just before its last '\' or '/', or the whole path without either.
std::u16string ExecutableDirectory(std::u16string_view module_path);

// Every path for an executable that stands in `directory`.
DataPaths DataPathsIn(const std::u16string& directory);

// The same for the executable at module_path.
DataPaths DeriveDataPaths(std::u16string_view module_path);
