#include "check/edit_command.h"

#include <utility>

#include "check/console.h"
#include "check/exit_codes.h"
#include "check/output_file.h"
#include "config/config_edit.h"
#include "config/config_scan.h"
#include "text/utf8.h"

namespace {

// The new achievement of --add; without a trigger description, the one its trigger gives.
Achievement NewEntry(const Options& options) {
    const EntryOptions& given = options.entry;
    Achievement entry;
    entry.id = options.entry_id;
    entry.title = given.title.value_or(u"");
    entry.description = given.description.value_or(u"");
    entry.trigger_type = given.process ? TriggerType::ProcessName : TriggerType::WindowTitle;
    entry.trigger_value = given.process ? *given.process : given.window.value_or(u"");
    entry.trigger_goal = given.goal.value_or(u"");
    entry.hidden = given.hidden == true ? u"true" : u"";
    entry.trigger_description = given.trigger_description.value_or(u"");
    if (entry.trigger_description.empty()) {
        entry.trigger_description =
            DefaultTriggerDescription(entry.trigger_type, entry.trigger_value);
    }
    return entry;
}

// The trigger description an empty --trigger-description stands for: the one the entry's
// trigger gives after the other changes, as `file` holds the entry now.
std::u16string DefaultDescription(std::string_view file, const std::u16string& id,
                                  const std::vector<MemberChange>& changes) {
    std::vector<Achievement> loaded;
    ScanAchievements(file, loaded);
    for (Achievement& entry : loaded) {
        if (entry.id != id) continue;
        for (const MemberChange& change : changes) {
            const int key = ConfigKeyIndex(change.key);
            ApplyConfigValue(entry, CONFIG_KEYS[static_cast<std::size_t>(key)], change.value);
        }
        return DefaultTriggerDescription(entry.trigger_type, entry.trigger_value);
    }
    return {};
}

// The members --edit names, as the file holds the entry now.
std::vector<MemberChange> EditChanges(const Options& options, std::string_view file) {
    const EntryOptions& given = options.entry;
    std::vector<MemberChange> changes;
    const auto set = [&changes](std::string_view key, const std::optional<std::u16string>& text) {
        if (text) changes.push_back({key, *text});
    };
    set("title", given.title);
    set("description", given.description);
    if (given.process || given.window) {
        changes.push_back({"trigger_type", given.process ? u"process_name" : u"window_title"});
        set("trigger_value", given.process ? given.process : given.window);
    }
    set("trigger_goal", given.goal);
    if (given.hidden) changes.push_back({"hidden", *given.hidden ? u"true" : u""});
    if (given.trigger_description) {
        std::u16string text = *given.trigger_description;
        if (text.empty()) text = DefaultDescription(file, options.entry_id, changes);
        changes.push_back({"trigger_description", std::move(text)});
    }
    return changes;
}

int ExitCodeOf(EditRefusal refusal) {
    switch (refusal) {
        case EditRefusal::NoList:
            return EXIT_NO_LIST;
        case EditRefusal::Layout:
            return EXIT_LAYOUT;
        case EditRefusal::NoSuchId:
            return EXIT_NO_SUCH_ID;
        case EditRefusal::DuplicateId:
            return EXIT_DUPLICATE_ID;
        default:
            return EXIT_BAD_VALUE;
    }
}

int Refused(const ConfigWrite& write) {
    const EditRefusalText text = DescribeRefusal(write.refusal, write.line);
    std::string lines = text.english + " / " + Utf16ToUtf8(text.chinese) + "\n";
    for (const ValueProblem& problem : write.problems) {
        const std::string key(problem.key);
        const std::u16string suggestion =
            problem.suggestion.empty() ? u"" : u"，" + problem.suggestion;
        lines += "  " + key + ": " + problem.reason_en + " / " + key + "：" +
                 Utf16ToUtf8(problem.reason + suggestion) + "\n";
    }
    WriteStderr(lines);
    return ExitCodeOf(write.refusal);
}

// What the command did, in English and Chinese.
std::pair<std::string, std::string> DoneWords(Mode mode) {
    if (mode == Mode::Add) return {"added", "已添加"};
    if (mode == Mode::Remove) return {"removed", "已删除"};
    return {"changed", "已修改"};
}

ConfigWrite Write(const std::u16string& config_path, const Options& options) {
    const std::u16string& id = options.entry_id;
    switch (options.mode) {
        case Mode::Add:
            return ApplyConfigEdit(config_path, [entry = NewEntry(options)](std::string_view file) {
                return AddEntry(file, entry);
            });
        case Mode::Edit:
            return ApplyConfigEdit(config_path, [&](std::string_view file) {
                return ChangeEntry(file, id, EditChanges(options, file));
            });
        default:
            return ApplyConfigEdit(config_path,
                                   [&id](std::string_view file) { return RemoveEntry(file, id); });
    }
}

}  // namespace

int RunEdit(const std::u16string& config_path, const Options& options) {
    const ConfigWrite write = Write(config_path, options);
    if (write.refusal != EditRefusal::None) return Refused(write);
    const std::string path = Utf16ToUtf8(config_path);
    if (write.error == platform::FileError::Unreadable) {
        WriteStderr("cannot read " + path + " / 无法读取 " + path + "\n");
        return EXIT_LOAD_FAILED;
    }
    if (ReportCannotWrite(config_path, write.error)) return EXIT_CANNOT_WRITE;
    const std::string id = Quoted(options.entry_id);
    const auto [english, chinese] = DoneWords(options.mode);
    WriteStderr(english + (" " + id) + " in " + path + "; the previous file is adv.json.bak / " +
                chinese + " " + id + "，原文件保存为 adv.json.bak\n");
    return 0;
}
