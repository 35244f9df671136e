#pragma once
// What one entry's values must be for the line layout to hold them, and for the achievement to
// work: the rules the achievement dialog checks as the user types and laurelight-check applies
// before it writes. Also the id and the trigger description a new entry gets by default.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/achievement.h"

enum class EntryField : std::uint8_t {
    Id,
    Title,
    Description,
    TriggerDescription,
    TriggerValue,
    TriggerGoal,
    Other,  // "hidden" and any later member
};

struct ValueProblem {
    EntryField field;
    std::u16string reason;  // Chinese, for the dialog ("不能包含 ]：它会结束整个成就列表")
    std::u16string suggestion;  // Chinese, may be empty ("请改用「」")
    std::string reason_en;      // English, for laurelight-check
    std::string_view key;       // the member (a CONFIG_KEYS name) the problem is about
};

// Every problem of the entry's values, in CONFIG_KEYS order; empty when the entry can be
// written and works.
//
// Every member's text must stay on its line and read back as written: no ']' (it ends the
// list), no '}' (it ends the entry), no double quote or backslash (the scanner keeps escapes
// as written), no line break or other control character, no lone surrogate. Beyond that:
// - the id is not empty and only ASCII letters, digits, '_', '-' and '.' (so never '=', which
//   adv_save.txt cannot hold);
// - the title is not empty and fits the toast (TitleFitsToast);
// - a process trigger names one file without a folder or '|'; a window trigger has a title
//   fragment; neither is empty;
// - a goal reads (GoalOf).
std::vector<ValueProblem> CheckEntryValues(const Achievement& entry);

// Whether the toast shows the whole title: it draws it in a 28 px bold font on one line of a
// 600 px box (at 96 DPI) and cuts the rest. The width is estimated portably, on the wide side
// of common fonts at that size: 28 px for a full-width character (CJK, kana, Hangul, full-width
// forms, characters beyond U+FFFF such as emoji), 22 px for an ASCII capital, 'm', 'w', '@',
// '%' and any other character beyond ASCII, 15 px for the rest of ASCII. So 21 Chinese
// characters fit, or 40 lower-case Latin letters.
bool TitleFitsToast(std::u16string_view title);

// An id for a new entry, made from its trigger value (process name without ".exe", else the
// title's ASCII letters and digits), lower-case ASCII, '_' between words, at most 32 letters and
// digits, never '=', and not the id of any of `taken` (a "_2", "_3" suffix when needed;
// "achievement" when nothing ASCII is left).
std::u16string MakeEntryId(const Achievement& draft, const std::vector<Achievement>& taken);

// The trigger description a dialog fills in while the user leaves it empty:
// "运行 notepad.exe", "窗口标题包含 记事本" (several fragments: "窗口标题包含 A 或 B"), empty for
// None or an empty value.
std::u16string DefaultTriggerDescription(TriggerType type, std::u16string_view value);
