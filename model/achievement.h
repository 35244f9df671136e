#pragma once
// One configured achievement and the types shared by every part of the tracker.

#include <cstdint>
#include <map>
#include <string>

enum class TriggerType : std::int32_t {
    None = 0,
    WindowTitle = 1,
    ProcessName = 2,
};

// A value type: copies are deep and independent of their source.
struct Achievement {
    std::u16string id;
    std::u16string title;
    std::u16string description;
    std::u16string trigger_description;
    std::u16string trigger_value;
    TriggerType trigger_type = TriggerType::None;
    bool completed = false;
    // What a met trigger adds up to before it unlocks ("10 starts", "600 分钟", "5 天"); empty
    // for an achievement that unlocks at the first met trigger. See config/goal.h.
    std::u16string trigger_goal;
    // "true" keeps the open achievement's texts secret; any other text shows them.
    std::u16string hidden;
    // The achievement's own unlock sound and toast picture: file names in bin\, in place of
    // adv_sound.* and adv_back.png; empty for those. See config/bin_file_name.h.
    std::u16string sound;
    std::u16string picture;

    friend bool operator==(const Achievement&, const Achievement&) = default;
};

// std::u16string compares code units as unsigned 16-bit numbers, a prefix first.
using CompletedMap = std::map<std::u16string, bool>;

// A line of adv_save.txt that completes `id`, as the file holds it (without its line end).
struct ProgressLine {
    std::u16string id;
    std::string bytes;
};
