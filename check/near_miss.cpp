#include "check/near_miss.h"

#include <optional>

#include "check/edit_distance.h"
#include "platform/desktop.h"
#include "text/utf8.h"
#include "tracker/tracker.h"

namespace {

// Simple lower-case mapping of the letters most names and titles use: ASCII, Latin-1,
// Latin Extended-A and Additional, Greek, Cyrillic and the full-width forms. One unit in,
// one unit out, so positions keep.
char16_t FoldCase(char16_t c) {
    const auto plus = [c](int offset) { return static_cast<char16_t>(c + offset); };
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return plus(0x20);
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return plus(0x20);
    if (c >= 0x410 && c <= 0x42F) return plus(0x20);
    if (c >= 0x400 && c <= 0x40F) return plus(0x50);
    if (c >= 0xFF21 && c <= 0xFF3A) return plus(0x20);
    if (c == 0x178) return 0xFF;
    const bool even_pairs = (c >= 0x100 && c <= 0x137 && c != 0x130) ||
                            (c >= 0x14A && c <= 0x177) || (c >= 0x1E00 && c <= 0x1E95) ||
                            (c >= 0x1EA0 && c <= 0x1EFF);
    const bool odd_pairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((even_pairs && c % 2 == 0) || (odd_pairs && c % 2 == 1)) return plus(1);
    return c;
}

std::u16string Folded(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& unit : folded) unit = FoldCase(unit);
    return folded;
}

std::u16string_view WithoutExe(std::u16string_view name) {
    if (name.size() >= 4 && Folded(name.substr(name.size() - 4)) == u".exe") {
        name.remove_suffix(4);
    }
    return name;
}

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == 0xA0 || c == 0x3000;
}

std::optional<std::u16string> RunningAs(const DesktopFacts& facts, std::u16string_view name) {
    for (const std::u16string& process : facts.processes) {
        if (Folded(process) == Folded(name)) return process;
    }
    return std::nullopt;
}

// Running processes a slip of the keyboard away from the value, letter case and ".exe" aside;
// the nearest ones only.
void ProcessSpellingNearMisses(std::u16string_view value, const DesktopFacts& facts,
                               std::vector<NearMiss>& out) {
    const std::u16string wanted = Folded(WithoutExe(value));
    std::size_t nearest = TypoLimit(wanted.size());
    std::vector<std::u16string> processes;
    for (const std::u16string& process : facts.processes) {
        const std::size_t distance = EditDistance(Folded(WithoutExe(process)), wanted, nearest);
        if (distance == 0 || distance > nearest) continue;
        if (distance < nearest) processes.clear();
        nearest = distance;
        processes.push_back(process);
    }
    for (const std::u16string& process : processes) {
        const std::string count = std::to_string(nearest);
        out.push_back({"process-spelling", process, u"", u"",
                       "the running process " + Quoted(process) + " differs from the value in " +
                           count + " letter(s); if it is the one meant, write " + Quoted(process),
                       "正在运行的进程 " + Quoted(process) + " 与该值相差 " + count +
                           " 个字母；若指的是它，请写 " + Quoted(process)});
    }
}

// Longer fragments are not searched for: the search costs the fragment's length times the
// title's for every window.
constexpr std::size_t MAX_SPELLING_FRAGMENT = 64;

// The window whose title holds the fragment but for one or two characters (letter case aside),
// the nearest of all; titles that hold it in any case are left to the other near misses.
void TitleSpellingNearMiss(std::u16string_view fragment, const DesktopFacts& facts,
                           std::vector<NearMiss>& out) {
    const std::u16string folded = Folded(fragment);
    const std::size_t limit = TypoLimit(folded.size());
    if (limit == 0 || folded.size() > MAX_SPELLING_FRAGMENT) return;
    NearestPart nearest{limit + 1, 0, 0};
    std::u16string window;
    for (const DesktopWindow& candidate : facts.windows) {
        const std::u16string seen = SeenTitle(candidate);
        const std::u16string title = Folded(seen);
        if (title.find(folded) != std::u16string::npos) continue;
        const NearestPart part = FindNearestPart(title, folded, limit);
        if (part.distance >= nearest.distance) continue;
        nearest = part;
        window = seen;
    }
    if (window.empty()) return;
    const std::u16string_view part =
        std::u16string_view(window).substr(nearest.begin, nearest.end - nearest.begin);
    const std::string count = std::to_string(nearest.distance);
    out.push_back({"title-spelling", u"", window, std::u16string(fragment),
                   "this window's title holds " + Quoted(part) + ", which differs from " +
                       Quoted(fragment) + " in " + count +
                       " character(s); a title must contain the fragment exactly",
                   "此窗口的标题中有 " + Quoted(part) + "，与 " + Quoted(fragment) + " 相差 " +
                       count + " 个字符；标题必须完全包含该片段"});
}

void ProcessNearMisses(std::u16string_view value, const DesktopFacts& facts,
                       std::vector<NearMiss>& out) {
    if (value.empty()) return;
    const std::size_t folder = value.find_last_of(u"\\/");
    if (folder != std::u16string_view::npos) {
        const std::u16string_view file = value.substr(folder + 1);
        out.push_back(
            {"value-has-folder", RunningAs(facts, file).value_or(u""), u"", u"",
             "the value holds a folder, but only the file name is compared: write " + Quoted(file),
             "该值含有文件夹，但只比较文件名：请写 " + Quoted(file)});
        return;
    }
    if (value.find(u'|') != std::u16string_view::npos) {
        std::u16string running;
        for (std::u16string_view part : SplitTitleFragments(value)) {
            if (running.empty()) running = RunningAs(facts, part).value_or(u"");
        }
        std::string message =
            "\"|\" separates window title fragments only; a process name is compared whole, so "
            "this value never matches";
        std::string message_zh = "\"|\" 只用于分隔窗口标题片段；进程名按整体比较，此值永远不会匹配";
        if (!running.empty()) {
            message += ": write " + Quoted(running) + ", which runs now";
            message_zh += "：请写正在运行的 " + Quoted(running);
        }
        out.push_back({"value-has-bar", running, u"", u"", message, message_zh});
        return;
    }
    const std::size_t found = out.size();
    for (const std::u16string& process : facts.processes) {
        if (Folded(process) == Folded(value)) {
            out.push_back({"process-case", process, u"", u"",
                           "the running process " + Quoted(process) +
                               " differs only in the case of letters outside A-Z, which must be "
                               "identical: write " +
                               Quoted(process),
                           "正在运行的进程 " + Quoted(process) +
                               " 只在 A-Z 以外字母的大小写上不同，这些字母必须完全一致：请写 " +
                               Quoted(process)});
        } else if (Folded(WithoutExe(process)) == Folded(WithoutExe(value))) {
            out.push_back({"exe-suffix", process, u"", u"",
                           "the running process " + Quoted(process) +
                               " differs only by \".exe\"; the value is the whole file name: "
                               "write " +
                               Quoted(process),
                           "正在运行的进程 " + Quoted(process) +
                               " 只差 \".exe\"；该值须是完整的文件名：请写 " + Quoted(process)});
        }
    }
    // What runs under the name but for case or ".exe" is the one meant; others are noise.
    if (out.size() == found) ProcessSpellingNearMisses(value, facts, out);
}

void FragmentNearMisses(std::u16string_view fragment, const DesktopFacts& facts,
                        std::vector<NearMiss>& out) {
    const std::u16string folded = Folded(fragment);
    bool case_found = false;
    bool tail_found = false;
    for (const DesktopWindow& window : facts.windows) {
        const std::u16string seen = SeenTitle(window);
        if (!case_found && Folded(seen).find(folded) != std::u16string::npos) {
            case_found = true;
            out.push_back(
                {"title-case", u"", seen, std::u16string(fragment),
                 "this window's title contains " + Quoted(fragment) +
                     " only in other letter case; fragments are compared with case",
                 "此窗口的标题只以不同的大小写包含 " + Quoted(fragment) + "；片段区分大小写"});
        }
        if (!tail_found && seen.find(fragment) == std::u16string::npos &&
            window.title.find(fragment) != std::u16string::npos) {
            tail_found = true;
            const std::string units = std::to_string(platform::MAX_TITLE_UNITS);
            out.push_back({"title-beyond-" + units, u"", seen, std::u16string(fragment),
                           "this window's title contains " + Quoted(fragment) + " only after its " +
                               units + "th character, and no more is read",
                           "此窗口的标题只在第 " + units + " 个字符之后才包含 " + Quoted(fragment) +
                               "，而标题只读取前 " + units + " 个字符"});
        }
    }
}

void TitleNearMisses(std::u16string_view value, const DesktopFacts& facts,
                     std::vector<NearMiss>& out) {
    for (std::u16string_view fragment : SplitTitleFragments(value)) {
        if (IsSpace(fragment.front()) || IsSpace(fragment.back())) {
            out.push_back(
                {"fragment-spaces", u"", u"", std::u16string(fragment),
                 "the fragment " + Quoted(fragment) +
                     " begins or ends with spaces, which a title must contain too",
                 "片段 " + Quoted(fragment) + " 的开头或结尾有空格，标题中也必须有这些空格"});
        }
        FragmentNearMisses(fragment, facts, out);
        TitleSpellingNearMiss(fragment, facts, out);
    }
}

}  // namespace

std::vector<NearMiss> FindNearMisses(const Achievement& achievement, const DesktopFacts& facts) {
    std::vector<NearMiss> misses;
    if (achievement.trigger_type == TriggerType::ProcessName) {
        ProcessNearMisses(achievement.trigger_value, facts, misses);
    } else if (achievement.trigger_type == TriggerType::WindowTitle) {
        TitleNearMisses(achievement.trigger_value, facts, misses);
    }
    return misses;
}
