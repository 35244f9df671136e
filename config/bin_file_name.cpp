#include "config/bin_file_name.h"

#include <array>

#include "text/ascii_case.h"

namespace {

// Windows opens these names as devices in every folder, whatever ending follows.
constexpr std::array<std::u16string_view, 6> DEVICE_NAMES = {u"CON", u"PRN",    u"AUX",
                                                             u"NUL", u"CONIN$", u"CONOUT$"};
constexpr std::u16string_view NUMBERED_DEVICE_DIGITS = u"0123456789\u00b9\u00b2\u00b3";

bool IsDrive(std::u16string_view name) {
    return name.size() >= 2 && name[1] == u':' && LowerAscii(name[0]) >= u'a' &&
           LowerAscii(name[0]) <= u'z';
}

// Windows drops dots and spaces at the end of a name: "..", "." and " " name folders or nothing.
bool OnlyDotsAndSpaces(std::u16string_view name) {
    return name.find_first_not_of(u". ") == std::u16string_view::npos;
}

bool IsForbidden(char16_t unit) {
    return unit < 0x20 || std::u16string_view(u"<>:\"|?*").find(unit) != std::u16string_view::npos;
}

// The part before the first dot, without the spaces Windows drops at its end.
std::u16string_view BaseName(std::u16string_view name) {
    std::u16string_view base = name.substr(0, name.find(u'.'));
    while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
    return base;
}

bool IsDeviceName(std::u16string_view name) {
    const std::u16string_view base = BaseName(name);
    for (std::u16string_view device : DEVICE_NAMES) {
        if (EqualIgnoringAsciiCase(base, device)) return true;
    }
    if (base.size() != 4 || NUMBERED_DEVICE_DIGITS.find(base[3]) == std::u16string_view::npos) {
        return false;
    }
    return EqualIgnoringAsciiCase(base.substr(0, 3), u"COM") ||
           EqualIgnoringAsciiCase(base.substr(0, 3), u"LPT");
}

bool EndsWith(std::u16string_view name, std::u16string_view ending) {
    return name.size() >= ending.size() &&
           EqualIgnoringAsciiCase(name.substr(name.size() - ending.size()), ending);
}

}  // namespace

BinNameProblem PictureNameProblem(std::u16string_view name) {
    if (name.empty()) return BinNameProblem::None;
    if (name.find_first_of(u"\\/") != std::u16string_view::npos || IsDrive(name) ||
        OnlyDotsAndSpaces(name)) {
        return BinNameProblem::Folder;
    }
    for (char16_t unit : name) {
        if (IsForbidden(unit)) return BinNameProblem::ForbiddenCharacter;
    }
    if (IsDeviceName(name)) return BinNameProblem::DeviceName;
    return BinNameProblem::None;
}

BinNameProblem SoundNameProblem(std::u16string_view name) {
    const BinNameProblem problem = PictureNameProblem(name);
    if (problem != BinNameProblem::None || name.empty()) return problem;
    if (!IsWaveName(name) && !EndsWith(name, u".mp3")) return BinNameProblem::NotSoundFile;
    return BinNameProblem::None;
}

bool IsWaveName(std::u16string_view name) {
    return EndsWith(name, u".wav");
}
