#include "notify/toast_content.h"

#include "config/bin_file_name.h"
#include "model/data_paths.h"
#include "platform/files.h"

ToastContent ToastContentOf(const Achievement& achievement) {
    ToastContent toast;
    toast.title = achievement.title;
    if (SoundNameProblem(achievement.sound) == BinNameProblem::None)
        toast.sound = achievement.sound;
    if (PictureNameProblem(achievement.picture) == BinNameProblem::None) {
        toast.picture = achievement.picture;
    }
    return toast;
}

std::u16string ToastPicturePath(const std::u16string& directory, const ToastContent& toast) {
    if (!toast.picture.empty()) {
        std::u16string own = BinFilePath(directory, toast.picture);
        if (platform::FileExists(own)) return own;
    }
    return DataPathsIn(directory).picture_path;
}
