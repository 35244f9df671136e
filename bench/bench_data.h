#pragma once
// Inputs the benchmarks share: configurations of a chosen size and achievement lists with a
// chosen mix of triggers (their scratch folder is the tests' ProgressTestFolder). Texts mix
// ASCII and CJK, as real configurations do, so the UTF-8 conversion takes its longer paths too.

#include <cstddef>
#include <string>
#include <vector>

#include "model/achievement.h"

namespace bench {

// adv.json in the usual one-member-per-line layout with `count` entries, ids "a0", "a1", ...
std::string ConfigText(std::size_t count);

// `count` achievements whose triggers never meet the facts of ServeDesktopFacts: even
// positions test a process name, odd ones two window-title fragments.
std::vector<Achievement> OpenAchievements(std::size_t count);

// The progress file for achievements "a0" .. "a<count-1>", all completed.
std::string ProgressText(std::size_t count);

// Gives the test double `processes` process names and `windows` window titles, none of
// which an achievement of OpenAchievements matches.
void ServeDesktopFacts(std::size_t processes, std::size_t windows);

}  // namespace bench
