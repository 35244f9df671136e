#pragma once
// What runs now, offered in the achievement dialog as triggers to pick, and the dialog's line
// that says whether a draft's trigger is met right now.

#include <string>
#include <string_view>
#include <vector>

#include "model/achievement.h"

struct TriggerChoice {
    TriggerType type = TriggerType::None;  // ProcessName for a program, WindowTitle for a window
    // What the trigger value becomes: the executable's file name, or the window's title (as
    // much of it as a title trigger can see).
    std::u16string value;
    std::u16string detail;     // a program's main window title; a window's program name
    std::u16string icon_path;  // the program's executable, for the icon; empty when unknown
    friend bool operator==(const TriggerChoice&, const TriggerChoice&) = default;
};

// The running programs, one per file name, those with a window first, each group by name
// (ASCII letters folded); then the visible windows on screen, top first. A program's window is
// the topmost one of any of its processes. This program's own windows are left out.
std::vector<TriggerChoice> RunningChoices();

// Whether the choice's value or detail holds the filter, ASCII letters folded; an empty
// filter keeps every choice.
bool ChoiceMatches(const TriggerChoice& choice, std::u16string_view filter);

// Whether the draft's trigger is met right now, by the test of the check pass, in Chinese.
std::u16string MetNowLine(const Achievement& draft);
