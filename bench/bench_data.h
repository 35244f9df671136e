#pragma once
// Inputs the benchmarks share: a scratch folder, configurations of a chosen size and
// achievement lists with a chosen mix of triggers. Texts mix ASCII and CJK, as real
// configurations do, so the UTF-8 conversion takes its longer paths too.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "tracker/achievement.h"

namespace bench {

// A fresh folder in the temp directory, removed again at the end.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Where a tracker would think its executable lies, with the '\' the program uses.
    std::u16string ModulePath() const;
    void Write(const std::string& relative, const std::string& bytes) const;

  private:
    std::filesystem::path path_;
};

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
