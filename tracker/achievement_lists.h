#pragma once
// Text of one item in the completed and pending achievement lists.

#include <string>

#include "model/achievement.h"

// title + " - " + description + "\n触发方式: " + trigger_description
std::u16string ItemText(const Achievement& achievement);
