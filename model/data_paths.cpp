#include "model/data_paths.h"

std::u16string ExecutableDirectory(std::u16string_view module_path) {
    const size_t separator = module_path.find_last_of(u"\\/");
    return std::u16string(
        separator == std::u16string_view::npos ? module_path : module_path.substr(0, separator));
}

DataPaths DataPathsIn(const std::u16string& directory) {
    return {directory + u"\\adv_save.txt",       directory + u"\\bin\\adv.json",
            directory + u"\\bin\\adv_back.png",  directory + u"\\bin\\adv_sound.wav",
            directory + u"\\bin\\adv_sound.mp3", directory + u"\\adv_stats.txt",
            directory + u"\\adv_settings.txt"};
}

DataPaths DeriveDataPaths(std::u16string_view module_path) {
    return DataPathsIn(ExecutableDirectory(module_path));
}
