// The writer of bin\adv.json and the rules of an entry's values: edits change only the lines
// they are asked to change, in the file's own style, and every refusal leaves the file as it was.

#include <gtest/gtest.h>

#include <functional>

#include "config/config_edit.h"
#include "config/entry_rules.h"
#include "tests/core/check_fixture.h"
#include "tests/core/config_samples.h"
#include "text/text_encoding.h"

namespace {

// How a hand-written file may look.
struct Style {
    bool byte_order_mark;
    std::string end;
    std::string unit;
    bool schema;
    bool comma_after_last;
};

std::string Line(const Style& style, int depth, const std::string& text) {
    std::string indent;
    for (int level = 0; level < depth; ++level) indent += style.unit;
    return indent + text + style.end;
}

// Two entries; the first holds a member Laurelight ignores.
std::string ConfigText(const Style& style) {
    std::string text = style.byte_order_mark ? std::string(UTF8_BYTE_ORDER_MARK) : "";
    text += Line(style, 0, "{");
    if (style.schema) text += Line(style, 1, R"("$schema": "./adv.schema.json",)");
    const std::vector<std::pair<int, std::string>> lines = {
        {1, R"("achievements": [)"},
        {2, "{"},
        {3, R"("id": "a",)"},
        {3, R"("title": "记事本新手",)"},
        {3, R"("tags": 7,)"},
        {3, R"("trigger_value": "notepad.exe",)"},
        {3, R"("trigger_type": "process_name")"},
        {2, "},"},
        {2, "{"},
        {3, R"("id": "b",)"},
        {3, R"("title": "Beta",)"},
        {3, R"("trigger_value": "Beta|测试",)"},
        {3, R"("trigger_type": "window_title")"},
        {2, style.comma_after_last ? "}," : "}"},
        {1, "]"},
        {0, "}"}};
    for (const auto& [depth, line] : lines) text += Line(style, depth, line);
    return text;
}

// Every line of the bytes ends with `end`.
bool EveryLineEndsWith(const std::string& bytes, const std::string& end) {
    std::size_t lines = 0;
    for (std::size_t pos = bytes.find(end); pos != std::string::npos;
         pos = bytes.find(end, pos + 1))
        ++lines;
    return lines == static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

using Edit = std::function<ConfigEdit(std::string_view)>;

Edit Add(Achievement entry) {
    return [entry](std::string_view file) { return AddEntry(file, entry); };
}
Edit Change(std::u16string id, std::vector<MemberChange> changes) {
    return [id, changes](std::string_view file) { return ChangeEntry(file, id, changes); };
}
Edit Remove(std::u16string id) {
    return [id](std::string_view file) { return RemoveEntry(file, id); };
}

Achievement Calculator() {
    Achievement entry = Record(u"calc", u"计算器", TriggerType::WindowTitle, u"Calculator|计算器");
    entry.trigger_goal = u"3 次";
    entry.hidden = u"true";
    return entry;
}

}  // namespace

TEST(ConfigEdit, AddChangeAndRemoveTouchOnlyTheirLinesInTheFilesOwnStyle) {
    const std::vector<Style> styles = {{true, "\r\n", "    ", false, false},
                                       {false, "\n", "\t", true, false},
                                       {false, "\n", "  ", true, true}};
    for (const Style& style : styles) {
        SCOPED_TRACE(style.unit.size() + style.end.size());
        const std::string file = ConfigText(style);
        const std::vector<Achievement> old = Scan(file);
        ASSERT_EQ(old.size(), 2u);

        const ConfigEdit added = AddEntry(file, Calculator());
        ASSERT_EQ(added.refusal, EditRefusal::None);
        EXPECT_EQ(Scan(added.bytes), (std::vector<Achievement>{old[0], old[1], Calculator()}));
        const std::string last = style.comma_after_last ? "}," : "}";
        EXPECT_NE(added.bytes.find(Line(style, 2, "},") + Line(style, 2, "{") +
                                   Line(style, 3, R"("id": "calc",)")),
                  std::string::npos);
        EXPECT_NE(added.bytes.find(Line(style, 3, R"("trigger_goal": "3 次",)") +
                                   Line(style, 3, R"("hidden": "true")") + Line(style, 2, last) +
                                   Line(style, 1, "]")),
                  std::string::npos);
        EXPECT_TRUE(EveryLineEndsWith(added.bytes, style.end));
        EXPECT_EQ(RemoveEntry(added.bytes, u"calc").bytes, file);

        // The dialog's edit: a new title replaces its line, a goal goes after the trigger type.
        Achievement renamed = old[0];
        renamed.title = u"Note Taker";
        renamed.trigger_goal = u"2 days";
        const ConfigEdit changed = ChangeEntry(file, u"a", ChangesBetween(old[0], renamed));
        ASSERT_EQ(changed.refusal, EditRefusal::None);
        EXPECT_EQ(Scan(changed.bytes), (std::vector<Achievement>{renamed, old[1]}));
        EXPECT_NE(changed.bytes.find(Line(style, 3, R"("title": "Note Taker",)") +
                                     Line(style, 3, R"("tags": 7,)")),
                  std::string::npos);
        EXPECT_EQ(ChangeEntry(changed.bytes, u"a", ChangesBetween(renamed, old[0])).bytes, file);

        const ConfigEdit removed = RemoveEntry(file, u"b");
        EXPECT_EQ(Scan(removed.bytes), std::vector<Achievement>{old[0]});
        EXPECT_TRUE(removed.bytes.ends_with(Line(style, 2, last) + Line(style, 1, "]") +
                                            Line(style, 0, "}")));
        EXPECT_EQ(removed.bytes.starts_with(UTF8_BYTE_ORDER_MARK), style.byte_order_mark);
    }
}

TEST(ConfigEdit, EveryRefusalLeavesTheFileAsItIs) {
    Achievement bracketed = Calculator();
    bracketed.title = u"[Beta]";
    const std::u16string_view worked = u"first_note";
    struct Case {
        std::string_view file;
        Edit edit;
        EditRefusal refusal;
        std::size_t line;
    };
    const std::vector<Case> cases = {
        {"{\n}\n", Add(Calculator()), EditRefusal::NoList, 0},
        {samples::OPEN_AT_END, Add(Calculator()), EditRefusal::NoList, 0},
        {samples::COMPACT_ONE_LINE, Add(Calculator()), EditRefusal::Layout, 1},
        {samples::BRACKET_IN_VALUE, Change(u"a", {{"title", u"A"}}), EditRefusal::Layout, 7},
        {samples::NESTED_OBJECT, Remove(u"outer"), EditRefusal::Layout, 4},
        {samples::SHARED_BRACE_LINE, Change(u"a", {{"title", u"A"}}), EditRefusal::Layout, 4},
        {samples::OPENING_AND_CLOSING_LINES, Remove(u"b"), EditRefusal::Layout, 7},
        {samples::KEY_ORDER, Change(u"a", {{"hidden", u"true"}}), EditRefusal::Layout, 3},
        {"{\n\"achievements\": [\n{\n\"id\": \"a\",\n\"title\": \"A\" \"B\"\n}\n]\n}\n",
         Change(u"a", {{"title", u"T"}}), EditRefusal::Layout, 5},
        {samples::DUPLICATE_IDS, Remove(u"same"), EditRefusal::DuplicateId, 6},
        {samples::WORKED_EXAMPLE, Add(Record(std::u16string(worked), u"T", {}, u"")),
         EditRefusal::DuplicateId, 3},
        {samples::WORKED_EXAMPLE, Change(u"gone", {{"title", u"T"}}), EditRefusal::NoSuchId, 0},
        {samples::WORKED_EXAMPLE, Remove(u"gone"), EditRefusal::NoSuchId, 0},
        {samples::WORKED_EXAMPLE, Change(std::u16string(worked), {{"id", u"renamed"}}),
         EditRefusal::IdChange, 3},
        {samples::WORKED_EXAMPLE, Add(bracketed), EditRefusal::BadValue, 0},
        {samples::WORKED_EXAMPLE, Change(std::u16string(worked), {{"title", u"say \"hi\""}}),
         EditRefusal::BadValue, 0},
    };
    ProgressTestFolder folder;
    const std::u16string path = folder.File("bin/adv.json").u16string();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file.substr(0, 40)));
        folder.Write("bin/adv.json", std::string(c.file));
        const ConfigWrite write = ApplyConfigEdit(path, c.edit);
        EXPECT_EQ(write.refusal, c.refusal);
        EXPECT_EQ(write.line, c.line);
        EXPECT_EQ(write.problems.empty(), c.refusal != EditRefusal::BadValue);
        EXPECT_EQ(folder.Read("bin/adv.json"), c.file);
        EXPECT_FALSE(folder.Exists("bin/adv.json.bak"));
    }
    // The one write that is not refused keeps the old file beside the new one.
    const ConfigWrite write = ApplyConfigEdit(path, Remove(u"first_note"));
    EXPECT_EQ(write.refusal, EditRefusal::None);
    EXPECT_EQ(write.error, platform::FileError::None);
    EXPECT_EQ(folder.Read("bin/adv.json.bak"), samples::WORKED_EXAMPLE);
    EXPECT_EQ(Scan(folder.Read("bin/adv.json")).size(), 1u);
    EXPECT_FALSE(folder.HasTemporaryFile());
    // Nothing to read: nothing is written.
    const std::u16string missing = folder.File("none/bin/adv.json").u16string();
    EXPECT_EQ(ApplyConfigEdit(missing, Add(Calculator())).error, platform::FileError::Unreadable);
    EXPECT_FALSE(folder.Exists("none/bin/adv.json"));
}

// Whatever a hand-written file holds, an addition is refused or comes off again without a trace.
TEST(ConfigEdit, AnAdditionToAnySampleIsRefusedOrUndoneByItsRemoval) {
    for (const std::string_view file : samples::All()) {
        const ConfigEdit added = AddEntry(file, Calculator());
        if (added.refusal != EditRefusal::None) continue;
        EXPECT_EQ(RemoveEntry(added.bytes, u"calc").bytes, file);
    }
}

TEST(EntryRules, EveryProblemNamesItsMemberAndWhy) {
    using Change = std::function<void(Achievement&)>;
    const std::vector<std::pair<Change, std::vector<std::string_view>>> cases = {
        {[](Achievement&) {}, {}},
        {[](Achievement& a) { a.id.clear(); }, {"id"}},
        {[](Achievement& a) { a.id = u"a=b"; }, {"id"}},
        {[](Achievement& a) { a.id = u"笔记"; }, {"id"}},
        {[](Achievement& a) { a.title = u"[Beta] }"; }, {"title", "title"}},
        {[](Achievement& a) { a.title.clear(); }, {"title"}},
        {[](Achievement& a) { a.title = std::u16string(22, u'字'); }, {"title"}},
        {[](Achievement& a) { a.title = u"bad \xD800"; }, {"title"}},
        {[](Achievement& a) { a.description = u"say \"hi\""; }, {"description"}},
        {[](Achievement& a) { a.trigger_description = u"line\nbreak"; }, {"trigger_description"}},
        {[](Achievement& a) { a.trigger_value = u"C:\\Windows\\notepad.exe"; },
         {"trigger_value", "trigger_value"}},
        {[](Achievement& a) { a.trigger_value = u"a.exe|b.exe"; }, {"trigger_value"}},
        {[](Achievement& a) { a.trigger_value.clear(); }, {"trigger_value"}},
        {[](Achievement& a) { a.trigger_type = TriggerType::WindowTitle, a.trigger_value = u"||"; },
         {"trigger_value"}},
        {[](Achievement& a) { a.trigger_goal = u"3 weeks"; }, {"trigger_goal"}},
        {[](Achievement& a) { a.trigger_type = TriggerType::None, a.trigger_goal = u"3 次"; },
         {"trigger_goal"}},
        {[](Achievement& a) { a.hidden = u"tr]ue"; }, {"hidden"}},
    };
    for (const auto& [change, keys] : cases) {
        Achievement entry =
            Record(u"first_note", u"记事本新手", TriggerType::ProcessName, u"notepad.exe");
        change(entry);
        std::vector<std::string_view> found;
        for (const ValueProblem& problem : CheckEntryValues(entry)) {
            found.push_back(problem.key);
            EXPECT_FALSE(problem.reason.empty() || problem.reason_en.empty());
        }
        EXPECT_EQ(found, keys) << Utf16ToUtf8(entry.id + u" " + entry.title);
    }
    Achievement quoted = Calculator();
    quoted.title = u"\"";
    EXPECT_EQ(CheckEntryValues(quoted).front().suggestion, u"请改用「」");
    EXPECT_EQ(CheckEntryValues(quoted).front().field, EntryField::Title);
    Achievement fraction = Calculator();
    fraction.trigger_goal = u"1.5 minutes";
    EXPECT_NE(CheckEntryValues(fraction).front().reason_en.find("not whole"), std::string::npos);
    EXPECT_TRUE(TitleFitsToast(std::u16string(21, u'字')));
    EXPECT_TRUE(TitleFitsToast(std::u16string(40, u'a')));
    EXPECT_FALSE(TitleFitsToast(std::u16string(41, u'a')));
    EXPECT_FALSE(TitleFitsToast(std::u16string(28, u'W')));
}

TEST(EntryRules, NewIdsAndDefaultTriggerDescriptions) {
    const Achievement notepad = Record(u"", u"记事本", TriggerType::ProcessName, u"Note Pad.EXE");
    EXPECT_EQ(MakeEntryId(notepad, {}), u"note_pad");
    std::vector<Achievement> taken = {Record(u"note_pad", u"", {}, u"")};
    EXPECT_EQ(MakeEntryId(notepad, taken), u"note_pad_2");
    taken.push_back(Record(u"note_pad_2", u"", {}, u""));
    EXPECT_EQ(MakeEntryId(notepad, taken), u"note_pad_3");
    EXPECT_EQ(MakeEntryId(Record(u"", u"Blank Page!", TriggerType::WindowTitle, u"x"), {}),
              u"blank_page");
    EXPECT_EQ(MakeEntryId(Record(u"", u"记事本", TriggerType::ProcessName, u"记事本.exe"), {}),
              u"achievement");

    EXPECT_EQ(DefaultTriggerDescription(TriggerType::ProcessName, u"notepad.exe"),
              u"运行 notepad.exe");
    EXPECT_EQ(DefaultTriggerDescription(TriggerType::WindowTitle, u"记事本"),
              u"窗口标题包含 记事本");
    EXPECT_EQ(DefaultTriggerDescription(TriggerType::WindowTitle, u"|A||B|"),
              u"窗口标题包含 A 或 B");
    EXPECT_EQ(DefaultTriggerDescription(TriggerType::None, u"x"), u"");
}
