#include "config/config_edit.h"

#include <algorithm>

#include "config/config_lines.h"
#include "config/config_scan.h"
#include "text/utf8.h"

namespace {

// The six classic keys are written in every entry; later ones only when they hold a text.
constexpr std::size_t ALWAYS_WRITTEN_KEYS = TRIGGER_TYPE_KEY + 1;
constexpr std::string_view DEFAULT_INDENT_UNIT = "    ";

ConfigEdit Refused(LineRefusal refusal) {
    return {refusal.refusal, refusal.line, {}, {}};
}

ConfigEdit Refused(EditRefusal refusal, std::size_t line) {
    return Refused(LineRefusal{refusal, line});
}

std::vector<Achievement> Loaded(const ConfigLines& file) {
    std::vector<Achievement> loaded;
    ScanAchievements(JoinLines(file), loaded);
    return loaded;
}

// The new file, if it loads exactly the achievements it should; else a Layout refusal of
// `line`: the file holds something the writer did not foresee.
ConfigEdit Verified(const ConfigLines& file, const std::vector<Achievement>& expected,
                    std::size_t line) {
    if (Loaded(file) != expected) return Refused(EditRefusal::Layout, line);
    return {EditRefusal::None, 0, file.byte_order_mark + JoinLines(file), {}};
}

std::u16string MemberText(const Achievement& entry, std::size_t key) {
    if (CONFIG_KEYS[key].text_field == nullptr) {
        return Utf8ToUtf16(TriggerTypeName(entry.trigger_type));
    }
    return entry.*CONFIG_KEYS[key].text_field;
}

std::string MemberLineText(std::string_view indent, std::string_view key, std::u16string_view value,
                           bool comma, std::string_view end) {
    return std::string(indent) + '"' + std::string(key) + "\": \"" + Utf16ToUtf8(value) + '"' +
           (comma ? "," : "") + std::string(end);
}

// One level of indentation: what the entries add to the marker line's, else the marker line's
// own, else four spaces.
std::string IndentUnit(const ConfigLines& file, const ListLines& list) {
    const std::string_view marker = Indentation(file.lines[list.marker]);
    if (!list.entries.empty()) {
        const std::string_view entry = Indentation(file.lines[list.entries.front().open]);
        if (entry.size() > marker.size() && entry.starts_with(marker)) {
            return std::string(entry.substr(marker.size()));
        }
    }
    return std::string(marker.empty() ? DEFAULT_INDENT_UNIT : marker);
}

// The indentation of the entry's first member, else one level more than its '{'.
std::string MemberIndent(const ConfigLines& file, const EntryLines& entry,
                         const std::string& unit) {
    for (std::size_t line = entry.open + 1; line < entry.close; ++line) {
        if (!IsBlankLine(file.lines[line])) return std::string(Indentation(file.lines[line]));
    }
    return std::string(Indentation(file.lines[entry.open])) + unit;
}

// The last line in [from, to) that is not blank.
std::optional<std::size_t> LastFilledLine(const ConfigLines& file, std::size_t from,
                                          std::size_t to) {
    for (std::size_t line = to; line > from; --line) {
        if (!IsBlankLine(file.lines[line - 1])) return line - 1;
    }
    return std::nullopt;
}

// The new entry's lines, to follow the list's last entry: its indentation and line end (else
// the marker line's, one level in), and a comma on its closing line when the last entry keeps
// one although it is the last.
std::vector<std::string> NewEntryLines(const ConfigLines& file, const ListLines& list,
                                       const Achievement& entry) {
    const std::string unit = IndentUnit(file, list);
    const EntryLines* previous = list.entries.empty() ? nullptr : &list.entries.back();
    const std::string indent = previous ? std::string(Indentation(file.lines[previous->open]))
                                        : std::string(Indentation(file.lines[list.marker])) + unit;
    const std::string end(LineEnd(file.lines[previous ? previous->close : list.marker]));
    const std::string member_indent =
        previous ? MemberIndent(file, *previous, unit) : indent + unit;
    std::vector<std::size_t> keys;
    for (std::size_t key = 0; key < CONFIG_KEYS.size(); ++key) {
        if (key < ALWAYS_WRITTEN_KEYS || !MemberText(entry, key).empty()) keys.push_back(key);
    }
    std::vector<std::string> lines{indent + "{" + end};
    for (std::size_t index = 0; index < keys.size(); ++index) {
        lines.push_back(MemberLineText(member_indent, CONFIG_KEYS[keys[index]].name,
                                       MemberText(entry, keys[index]), index + 1 < keys.size(),
                                       end));
    }
    const bool trailing_comma = previous && EndsWithComma(file.lines[previous->close]);
    lines.push_back(indent + (trailing_comma ? "}," : "}") + end);
    return lines;
}

// Inserts a member line in the entry after the line of the nearest key before it in
// CONFIG_KEYS order (else after the '{'), with the commas the lines around it need.
void InsertMember(ConfigLines& file, EntryLines& entry, std::size_t key, std::u16string_view text,
                  const std::string& unit) {
    std::size_t at = entry.open + 1;
    for (std::size_t earlier = 0; earlier < key; ++earlier) {
        if (const auto line = MemberLine(file, entry, CONFIG_KEYS[earlier].name)) {
            at = std::max(at, *line + 1);
        }
    }
    const std::optional<std::size_t> before = LastFilledLine(file, entry.open + 1, at);
    const bool last = !LastFilledLine(file, at, entry.close);
    bool comma = !last;
    if (last && before) {
        comma = EndsWithComma(file.lines[*before]);  // the entry's own trailing-comma style
        if (!comma) AddComma(file.lines[*before]);
    }
    const std::string line = MemberLineText(MemberIndent(file, entry, unit), CONFIG_KEYS[key].name,
                                            text, comma, LineEnd(file.lines[entry.open]));
    file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(at), line);
    ++entry.close;
}

// Removes a member line and the comma that the line before it needs no more.
void RemoveMember(ConfigLines& file, EntryLines& entry, std::size_t line) {
    const bool last = !LastFilledLine(file, line + 1, entry.close);
    if (last && !EndsWithComma(file.lines[line])) {
        const auto before = LastFilledLine(file, entry.open + 1, line);
        if (before) RemoveComma(file.lines[*before]);
    }
    file.lines.erase(file.lines.begin() + static_cast<std::ptrdiff_t>(line));
    --entry.close;
}

void SetMember(ConfigLines& file, EntryLines& entry, std::size_t key, std::u16string_view text,
               const std::string& unit) {
    const std::optional<std::size_t> line = MemberLine(file, entry, CONFIG_KEYS[key].name);
    if (!line) {
        if (!text.empty() || key < ALWAYS_WRITTEN_KEYS) InsertMember(file, entry, key, text, unit);
    } else if (text.empty() && key >= ALWAYS_WRITTEN_KEYS) {
        RemoveMember(file, entry, *line);
    } else {
        std::string& old = file.lines[*line];
        old = MemberLineText(Indentation(old), CONFIG_KEYS[key].name, text, EndsWithComma(old),
                             LineEnd(old));
    }
}

// What a change may set "trigger_type" to: a type's name, or nothing.
bool IsTypeText(std::u16string_view text) {
    return text.empty() || text == u"none" ||
           TriggerTypeFromText(std::u16string(text)) != TriggerType::None;
}

// The entry as the changes leave it, or the refusal of a change that cannot be made.
LineRefusal ApplyChanges(Achievement& entry, const std::vector<MemberChange>& changes,
                         const EntryLines& lines) {
    for (const MemberChange& change : changes) {
        const int key = ConfigKeyIndex(change.key);
        if (key < 0) return {EditRefusal::BadValue, 0};
        if (key == 0 && change.value != entry.id) return {EditRefusal::IdChange, lines.open + 1};
        if (key == static_cast<int>(TRIGGER_TYPE_KEY) && !IsTypeText(change.value)) {
            return {EditRefusal::BadValue, 0};
        }
        ApplyConfigValue(entry, CONFIG_KEYS[static_cast<std::size_t>(key)], change.value);
    }
    return {};
}

// The problems of the members the changes set; a new trigger type sets the value's and the
// goal's meaning too.
std::vector<ValueProblem> ProblemsOfChanges(const Achievement& entry,
                                            const std::vector<MemberChange>& changes) {
    const auto changed = [&changes](std::string_view key) {
        return std::any_of(changes.begin(), changes.end(),
                           [key](const MemberChange& change) { return change.key == key; });
    };
    const bool type_changed = changed(CONFIG_KEYS[TRIGGER_TYPE_KEY].name);
    std::vector<ValueProblem> problems = CheckEntryValues(entry);
    std::erase_if(problems, [&](const ValueProblem& problem) {
        const bool follows_type =
            problem.field == EntryField::TriggerValue || problem.field == EntryField::TriggerGoal;
        return !changed(problem.key) && !(type_changed && follows_type);
    });
    return problems;
}

}  // namespace

ConfigEdit AddEntry(std::string_view file, const Achievement& entry) {
    std::vector<ValueProblem> problems = CheckEntryValues(entry);
    if (!problems.empty()) return {EditRefusal::BadValue, 0, {}, std::move(problems)};
    ConfigLines lines = SplitConfigLines(file);
    ListLines list;
    if (const LineRefusal refusal = LocateList(lines, list); refusal.refusal != EditRefusal::None) {
        return Refused(refusal);
    }
    for (const EntryLines& other : list.entries) {
        if (other.loaded && other.loaded->id == entry.id) {
            return Refused(EditRefusal::DuplicateId, other.open + 1);
        }
    }
    const EntryLines* previous = list.entries.empty() ? nullptr : &list.entries.back();
    const std::size_t at = previous ? previous->close + 1 : list.end;
    if (previous && !IsClosingLine(lines.lines[previous->close])) {
        return Refused(EditRefusal::Layout, previous->close + 1);
    }
    // What stands between the last entry and the ']' would end up before the new entry.
    const std::size_t after_last = previous ? previous->close + 1 : list.marker + 1;
    if (const auto filled = LastFilledLine(lines, after_last, list.end)) {
        return Refused(EditRefusal::Layout, *filled + 1);
    }
    std::vector<Achievement> expected = Loaded(lines);
    expected.push_back(entry);
    expected.back().completed = false;
    const std::vector<std::string> added = NewEntryLines(lines, list, entry);
    if (previous && !EndsWithComma(lines.lines[previous->close])) {
        AddComma(lines.lines[previous->close]);
    }
    lines.lines.insert(lines.lines.begin() + static_cast<std::ptrdiff_t>(at), added.begin(),
                       added.end());
    return Verified(lines, expected, list.end + 1);
}

ConfigEdit ChangeEntry(std::string_view file, std::u16string_view id,
                       const std::vector<MemberChange>& changes) {
    ConfigLines lines = SplitConfigLines(file);
    ListLines list;
    std::size_t index = 0;
    LineRefusal refusal = LocateList(lines, list);
    if (refusal.refusal == EditRefusal::None) refusal = FindEntry(list, id, index);
    if (refusal.refusal != EditRefusal::None) return Refused(refusal);
    EntryLines entry = list.entries[index];
    const Achievement before = *entry.loaded;
    Achievement after = before;
    if (refusal = ApplyChanges(after, changes, entry); refusal.refusal != EditRefusal::None) {
        return Refused(refusal);
    }
    std::vector<ValueProblem> problems = ProblemsOfChanges(after, changes);
    if (!problems.empty()) return {EditRefusal::BadValue, 0, {}, std::move(problems)};
    if (refusal = CheckEntryLines(lines, entry); refusal.refusal != EditRefusal::None) {
        return Refused(refusal);
    }
    std::vector<Achievement> expected = Loaded(lines);
    std::replace(expected.begin(), expected.end(), before, after);
    const std::string unit = IndentUnit(lines, list);
    for (std::size_t key = 0; key < CONFIG_KEYS.size(); ++key) {
        if (MemberText(after, key) == MemberText(before, key)) continue;  // loads the same
        const auto change = std::find_if(changes.rbegin(), changes.rend(), [key](const auto& c) {
            return c.key == CONFIG_KEYS[key].name;
        });
        SetMember(lines, entry, key, change->value, unit);
    }
    return Verified(lines, expected, entry.open + 1);
}

ConfigEdit RemoveEntry(std::string_view file, std::u16string_view id) {
    ConfigLines lines = SplitConfigLines(file);
    ListLines list;
    std::size_t index = 0;
    LineRefusal refusal = LocateList(lines, list);
    if (refusal.refusal == EditRefusal::None) refusal = FindEntry(list, id, index);
    if (refusal.refusal == EditRefusal::None) refusal = CheckEntryLines(lines, list.entries[index]);
    if (refusal.refusal != EditRefusal::None) return Refused(refusal);
    const EntryLines& entry = list.entries[index];
    std::vector<Achievement> expected = Loaded(lines);
    const auto removed = std::find(expected.begin(), expected.end(), *entry.loaded);
    if (removed == expected.end()) return Refused(EditRefusal::Layout, entry.open + 1);
    expected.erase(removed);
    // The last entry goes: the one before it becomes the last and needs its comma no more,
    // unless the file keeps a comma after its last entry.
    const bool last = index + 1 == list.entries.size();
    if (last && index > 0 && !EndsWithComma(lines.lines[entry.close])) {
        std::string& previous = lines.lines[list.entries[index - 1].close];
        if (!IsClosingLine(previous)) {
            return Refused(EditRefusal::Layout, list.entries[index - 1].close + 1);
        }
        RemoveComma(previous);
    }
    lines.lines.erase(lines.lines.begin() + static_cast<std::ptrdiff_t>(entry.open),
                      lines.lines.begin() + static_cast<std::ptrdiff_t>(entry.close + 1));
    return Verified(lines, expected, entry.open + 1);
}

std::vector<MemberChange> ChangesBetween(const Achievement& before, const Achievement& after) {
    std::vector<MemberChange> changes;
    for (std::size_t key = 0; key < CONFIG_KEYS.size(); ++key) {
        std::u16string text = MemberText(after, key);
        if (text != MemberText(before, key)) changes.push_back({CONFIG_KEYS[key].name, text});
    }
    return changes;
}
