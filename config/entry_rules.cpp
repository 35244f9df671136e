#include "config/entry_rules.h"

#include <algorithm>
#include <array>

#include "config/config_scan.h"
#include "config/goal.h"
#include "text/ascii_case.h"
#include "text/utf8.h"

namespace {

struct ProblemText {
    const char16_t* reason;
    const char16_t* suggestion;
    const char* reason_en;
};

// What the line layout cannot hold, in the order they are told.
struct LayoutRule {
    bool (*holds)(std::u16string_view text);
    ProblemText text;
};

bool HoldsControl(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c < 0x20 || c == 0x7F; });
}

constexpr std::array<LayoutRule, 6> LAYOUT_RULES = {{
    {[](std::u16string_view t) { return t.find(u']') != t.npos; },
     {u"不能包含 ]：它会结束整个成就列表", u"请改用全角的 ］ 或 】",
      "holds ']', which ends the whole achievement list"}},
    {[](std::u16string_view t) { return t.find(u'}') != t.npos; },
     {u"不能包含 }：它会结束这个成就", u"请改用全角的 ｝", "holds '}', which ends the entry"}},
    {[](std::u16string_view t) { return t.find(u'"') != t.npos; },
     {u"不能包含双引号 \"：文件中无法原样保存它", u"请改用「」",
      "holds a double quote, which the file cannot hold as written"}},
    {[](std::u16string_view t) { return t.find(u'\\') != t.npos; },
     {u"不能包含反斜杠 \\：它会被当作转义原样显示", u"请改用 / 或全角的 ＼",
      "holds a backslash, which Laurelight would show as an escape"}},
    {HoldsControl,
     {u"不能包含换行、制表符或其他控制字符", u"请写在一行内",
      "holds a line break, tab or other control character"}},
    {[](std::u16string_view t) { return !IsWellFormedUtf16(t); },
     {u"包含无效的字符", u"", "holds a lone surrogate, which is not text"}},
}};

constexpr ProblemText EMPTY = {u"不能为空", u"", "is empty"};
constexpr ProblemText ID_EQUALS = {u"不能包含 =：adv_save.txt 无法保存它的进度", u"",
                                   "holds '=', which adv_save.txt cannot hold"};
constexpr ProblemText ID_CHARACTERS = {u"只能包含英文字母、数字、_、- 和 .", u"例如 first_note",
                                       "may hold only ASCII letters, digits, '_', '-' and '.'"};
constexpr ProblemText TITLE_TOO_WIDE = {
    u"太长，通知中显示不全", u"请缩短到约 20 个汉字或 40 个英文字母以内",
    "is wider than the toast shows (about 21 Chinese characters or 40 Latin letters)"};
constexpr ProblemText PROCESS_FOLDER = {
    u"进程名不能带文件夹：只比较文件名本身", u"例如 notepad.exe",
    "names a folder; a process trigger compares the bare file name, so it never matches"};
constexpr ProblemText PROCESS_BAR = {
    u"进程名只能有一个，'|' 在这里不分隔多个选项", u"每个程序请各建一个成就",
    "holds '|'; a process trigger takes one file name, so it never matches"};
constexpr ProblemText BARS_ONLY = {u"只有 '|'，没有任何标题片段，永远不会触发", u"",
                                   "holds only '|' and so no title fragment; it never fires"};

ProblemText GoalText(GoalRefusal refusal) {
    switch (refusal) {
        case GoalRefusal::NoNumber:
            return {u"应以整数开头", u"例如 3 次、60 分钟、5 天",
                    "does not start with a whole number"};
        case GoalRefusal::NotWhole:
            return {u"数字应为整数", u"例如 2 分钟，而不是 1.5 分钟",
                    "has a number that is not whole; goals count whole starts, minutes and days"};
        case GoalRefusal::Zero:
            return {u"数字不能为 0", u"", "has the number 0"};
        case GoalRefusal::TooLarge:
            return {u"数字不能大于 1000000", u"", "has a number above 1000000"};
        case GoalRefusal::UnknownUnit:
            return {u"单位应为 次、分钟 或 天", u"例如 3 次、60 分钟、5 天",
                    "has a unit other than starts, minutes, days, 次, 分钟, 天"};
        default:
            return {u"只有运行程序或窗口标题触发才能计数", u"",
                    "stands on a trigger that cannot count (only process_name and "
                    "window_title can)"};
    }
}

constexpr std::array<EntryField, 7> FIELDS_BY_KEY = {
    EntryField::Id,           EntryField::Title,
    EntryField::Description,  EntryField::TriggerDescription,
    EntryField::TriggerValue, EntryField::Other,
    EntryField::TriggerGoal};

EntryField FieldOf(std::size_t key) {
    return key < FIELDS_BY_KEY.size() ? FIELDS_BY_KEY[key] : EntryField::Other;
}

void Add(std::vector<ValueProblem>& problems, std::size_t key, const ProblemText& text) {
    problems.push_back(
        {FieldOf(key), text.reason, text.suggestion, text.reason_en, CONFIG_KEYS[key].name});
}

bool IsIdCharacter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_' || c == u'-' || c == u'.';
}

void CheckId(std::vector<ValueProblem>& problems, std::u16string_view id) {
    if (id.empty()) return Add(problems, 0, EMPTY);
    if (id.find(u'=') != id.npos) return Add(problems, 0, ID_EQUALS);
    if (!std::all_of(id.begin(), id.end(), IsIdCharacter)) Add(problems, 0, ID_CHARACTERS);
}

void CheckTriggerValue(std::vector<ValueProblem>& problems, const Achievement& entry) {
    const std::u16string& value = entry.trigger_value;
    if (entry.trigger_type == TriggerType::None) return;
    if (value.empty()) return Add(problems, TRIGGER_VALUE_KEY, EMPTY);
    if (entry.trigger_type == TriggerType::WindowTitle) {
        if (SplitTitleFragments(value).empty()) Add(problems, TRIGGER_VALUE_KEY, BARS_ONLY);
    } else if (value.find_first_of(u"\\/") != value.npos) {
        Add(problems, TRIGGER_VALUE_KEY, PROCESS_FOLDER);
    } else if (value.find(u'|') != value.npos) {
        Add(problems, TRIGGER_VALUE_KEY, PROCESS_BAR);
    }
}

// The checks of one member beyond what the layout holds.
void CheckMember(std::vector<ValueProblem>& problems, std::size_t key, const Achievement& entry) {
    const std::u16string& text = entry.*CONFIG_KEYS[key].text_field;
    switch (FieldOf(key)) {
        case EntryField::Title:
            if (text.empty()) Add(problems, key, EMPTY);
            if (!TitleFitsToast(text)) Add(problems, key, TITLE_TOO_WIDE);
            break;
        case EntryField::TriggerValue:
            CheckTriggerValue(problems, entry);
            break;
        case EntryField::TriggerGoal:
            if (const GoalRefusal refusal = GoalOf(entry).refusal; refusal != GoalRefusal::None) {
                Add(problems, key, GoalText(refusal));
            }
            break;
        default:
            break;
    }
}

bool IsWide(char16_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6);
}

int EstimatedWidth(char16_t c) {
    constexpr int FULL_WIDTH = 28;
    constexpr int BROAD = 22;
    constexpr int NARROW = 15;
    if (IsWide(c) || (c >= 0xD800 && c <= 0xDBFF)) return FULL_WIDTH;  // a pair counts once
    if (c >= 0xDC00 && c <= 0xDFFF) return 0;
    if (c > 0x7F || (c >= u'A' && c <= u'Z')) return BROAD;
    return std::u16string_view(u"mw@%").find(c) != std::u16string_view::npos ? BROAD : NARROW;
}

// Lower-case ASCII letters and digits of the text, '_' between runs of them.
std::u16string Words(std::u16string_view text) {
    constexpr std::size_t MAX_ID_LENGTH = 32;
    std::u16string words;
    bool gap = false;
    for (const char16_t c : text) {
        const char16_t lower = LowerAscii(c);
        if (!((lower >= u'a' && lower <= u'z') || (lower >= u'0' && lower <= u'9'))) {
            gap = true;
            continue;
        }
        if (words.size() >= MAX_ID_LENGTH) break;
        if (gap && !words.empty()) words += u'_';
        words += lower;
        gap = false;
    }
    while (!words.empty() && words.back() == u'_') words.pop_back();
    return words;
}

}  // namespace

std::vector<ValueProblem> CheckEntryValues(const Achievement& entry) {
    std::vector<ValueProblem> problems;
    CheckId(problems, entry.id);
    for (std::size_t key = 1; key < CONFIG_KEYS.size(); ++key) {
        if (CONFIG_KEYS[key].text_field == nullptr) continue;
        const std::u16string& text = entry.*CONFIG_KEYS[key].text_field;
        for (const LayoutRule& rule : LAYOUT_RULES) {
            if (rule.holds(text)) Add(problems, key, rule.text);
        }
        CheckMember(problems, key, entry);
    }
    return problems;
}

bool TitleFitsToast(std::u16string_view title) {
    constexpr int TOAST_TITLE_WIDTH = 600;
    int width = 0;
    for (const char16_t c : title) width += EstimatedWidth(c);
    return width <= TOAST_TITLE_WIDTH;
}

std::u16string MakeEntryId(const Achievement& draft, const std::vector<Achievement>& taken) {
    std::u16string base;
    if (draft.trigger_type == TriggerType::ProcessName) {
        std::u16string_view name = draft.trigger_value;
        if (name.size() >= 4 && EqualIgnoringAsciiCase(name.substr(name.size() - 4), u".exe")) {
            name.remove_suffix(4);
        }
        base = Words(name);
    }
    if (base.empty()) base = Words(draft.title);
    if (base.empty()) base = u"achievement";
    const auto used = [&taken](const std::u16string& id) {
        return std::any_of(taken.begin(), taken.end(),
                           [&id](const Achievement& other) { return other.id == id; });
    };
    std::u16string id = base;
    for (int suffix = 2; used(id); ++suffix) id = base + u"_" + Utf8ToUtf16(std::to_string(suffix));
    return id;
}

std::u16string DefaultTriggerDescription(TriggerType type, std::u16string_view value) {
    if (type == TriggerType::ProcessName) {
        return value.empty() ? std::u16string() : u"运行 " + std::u16string(value);
    }
    if (type != TriggerType::WindowTitle) return {};
    std::u16string text;
    for (const std::u16string_view fragment : SplitTitleFragments(value)) {
        text += text.empty() ? u"窗口标题包含 " : u" 或 ";
        text += fragment;
    }
    return text;
}
