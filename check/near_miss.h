#pragma once
// Why an open achievement's trigger is not met although the user likely meant something
// that runs or shows now: the usual mistakes in a trigger value, found in the desktop facts.

#include <string>
#include <vector>

#include "check/desktop_facts.h"
#include "model/achievement.h"

struct NearMiss {
    std::string code;
    std::u16string process;   // the running process it concerns, if any
    std::u16string window;    // the window title (as read) it concerns, if any
    std::u16string fragment;  // the title fragment it concerns, if any
    std::string message;
    std::string message_zh;
};

std::vector<NearMiss> FindNearMisses(const Achievement& achievement, const DesktopFacts& facts);
