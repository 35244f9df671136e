#include "check/progress_findings.h"

#include <algorithm>
#include <set>

#include "check/edit_distance.h"
#include "platform/files.h"
#include "progress/progress_format.h"
#include "text/utf8.h"

namespace {

// Beyond this many id comparisons the rename hint is left out, so that a hostile pair of
// files cannot hold the check up.
constexpr std::size_t MAX_RENAME_COMPARISONS = 1'000'000;

// The configured id nearest to `id` within a slip of the keyboard, the first of equals.
const std::u16string* LikelyRename(const std::u16string& id,
                                   const std::vector<Achievement>& achievements) {
    const std::u16string* nearest = nullptr;
    std::size_t limit = TypoLimit(id.size());
    for (const Achievement& achievement : achievements) {
        const std::size_t distance = EditDistance(id, achievement.id, limit);
        if (distance > limit || (nearest != nullptr && distance == limit)) continue;
        nearest = &achievement.id;
        limit = distance;
    }
    return nearest;
}

void ReportOrphanLine(ScanReport& report, const ProgressFileLine& line,
                      const std::u16string* rename) {
    std::string hint;
    std::string hint_zh;
    if (rename != nullptr) {
        hint = " (renamed? " + Quoted(*rename) + " is close)";
        hint_zh = "（是否已改名？与 " + Quoted(*rename) + " 相近）";
    }
    const std::string id = Quoted(line.id);
    report.findings.push_back(
        {line.number, "progress-without-achievement",
         "adv_save.txt completes id " + id + ", which no achievement has" + hint +
             "; the line is kept, and the progress comes back when an achievement has that "
             "id again",
         "adv_save.txt 中的 id " + id + " 已完成，但没有任何成就使用此 id" + hint_zh +
             "；该行会被保留，当有成就再次使用此 id 时，进度即恢复",
         "adv_save.txt"});
}

void ReportOrphanLines(const AchievementTracker& tracker, std::string_view bytes,
                       ScanReport& report) {
    std::set<std::u16string_view> configured;
    for (const Achievement& achievement : tracker.achievements) configured.insert(achievement.id);
    std::size_t comparisons = 0;
    for (const ProgressFileLine& line : ReadProgressFileLines(bytes)) {
        if (!line.done || configured.contains(line.id)) continue;
        comparisons += tracker.achievements.size();
        ReportOrphanLine(report, line,
                         comparisons <= MAX_RENAME_COMPARISONS
                             ? LikelyRename(line.id, tracker.achievements)
                             : nullptr);
    }
}

void ReportUnreadTail(std::string_view bytes, ScanReport& report) {
    const std::size_t line = UnreadTailLine(bytes);
    if (line == 0) return;
    report.findings.push_back(
        {line, "progress-end-of-text-byte",
         "adv_save.txt holds the byte 0x1A (end of text) here, and Laurelight reads nothing "
         "after it: the lines that follow never load. Saves keep those bytes unchanged after "
         "the lines they write; remove the byte to load them",
         "adv_save.txt 在此处含有字节 0x1A（文本结束符），Laurelight 不会读取其后的任何内容："
         "之后的各行永远不会载入。保存时会原样保留这些字节并置于写入的各行之后；删除该字节即可载入"
         "它们",
         "adv_save.txt"});
}

void ReportUnsavableIds(const AchievementTracker& tracker, ScanReport& report) {
    std::set<std::u16string_view> reported;
    for (const Achievement& achievement : tracker.achievements) {
        if (ProgressCanHold(achievement.id) || !reported.insert(achievement.id).second) continue;
        const auto line = report.id_lines.find(achievement.id);
        const std::string id = Quoted(achievement.id);
        report.findings.push_back(
            {line != report.id_lines.end() ? line->second : 0, "id-cannot-be-saved",
             "id " + id +
                 " holds '=' or U+001A, which adv_save.txt cannot hold: the achievement's "
                 "progress is never saved, and it unlocks again, with its toast, at every start; "
                 "remove the character from the id",
             "id " + id +
                 " 含有 '=' 或 U+001A，adv_save.txt 无法保存：此成就的进度永远不会被保存，"
                 "每次启动都会再次解锁并弹出提示；请从 id 中去掉该字符",
             ""});
    }
}

}  // namespace

void ReportProgressFindings(const AchievementTracker& tracker, ScanReport& report) {
    ReportUnsavableIds(tracker, report);
    // The configuration's findings stay in line order, those about adv_save.txt follow.
    std::stable_sort(report.findings.begin(), report.findings.end(),
                     [](const ConfigFinding& a, const ConfigFinding& b) {
                         return std::pair(a.file, a.line) < std::pair(b.file, b.line);
                     });
    if (!platform::FileExists(tracker.save_path)) return;
    const std::string bytes = platform::ReadFileBytes(tracker.save_path);
    ReportOrphanLines(tracker, bytes, report);
    ReportUnreadTail(bytes, report);
}

std::string UnsavableIdLine(const std::u16string& save_path) {
    const std::string file = Utf16ToUtf8(save_path);
    return "progress not saved (adv_save.txt cannot hold an id with '=' or U+001A): " + file +
           " / 进度未能保存（adv_save.txt 无法保存含 '=' 或 U+001A 的 id）：" + file;
}
