#pragma once
// Edits of bin\adv.json that change only the lines they are asked to change.
//
// An addition goes before the line that closes the achievements list, right after the last
// entry; an edit replaces, adds or removes only the member lines it changes; a removal takes
// out the entry's lines. Every other byte stays as the user wrote it (byte-order mark, line
// ends, indentation, a "$schema" line, members Laurelight ignores); new lines take their
// indentation and line end from the neighbouring entry or member, and the commas follow the
// file's own style, so that adding an entry and removing it again gives the file back byte for
// byte. Entries are found as the scanner finds them (config_scan.h), and an edit is refused
// where a JSON reader would see the entry it touches, or the end of the list, differently.
// Every result is scanned again and must load exactly the old achievements with the one
// intended change.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "config/entry_rules.h"
#include "model/achievement.h"
#include "platform/files.h"

enum class EditRefusal : std::uint8_t {
    None,
    NoList,       // no "achievements": [ line, or no line that closes the list
    Layout,       // an entry the writer cannot locate safely (a member on its '{' line, several
                  // entries or members on one line, ...): laurelight-check --format --write first
    NoSuchId,     // edit or remove: no entry has this id (any more)
    DuplicateId,  // add: an entry has this id already; edit or remove: several entries have it
    BadValue,     // a value the line layout cannot hold (CheckEntryValues says which and why)
    IdChange,     // edit: the id cannot change (its progress would be orphaned)
};

struct ConfigEdit {
    EditRefusal refusal = EditRefusal::None;
    std::size_t line = 0;                // 1-based line a refusal is about; 0 when none
    std::string bytes;                   // the whole new file; empty when refused
    std::vector<ValueProblem> problems;  // BadValue: the problems of the members it sets
};

// One member an edit sets: a CONFIG_KEYS key and its new text ("trigger_type" takes
// "process_name", "window_title" or "none"). An empty text removes an optional member
// (trigger_goal, hidden and any later key) and empties one of the first six.
struct MemberChange {
    std::string_view key;
    std::u16string value;
};

ConfigEdit AddEntry(std::string_view file, const Achievement& entry);
ConfigEdit ChangeEntry(std::string_view file, std::u16string_view id,
                       const std::vector<MemberChange>& changes);
ConfigEdit RemoveEntry(std::string_view file, std::u16string_view id);

// The member changes that turn `before` into `after` (the dialog's edit), in CONFIG_KEYS order;
// an id change gives a change of "id", which ChangeEntry refuses.
std::vector<MemberChange> ChangesBetween(const Achievement& before, const Achievement& after);

// Why an edit was refused, for the user: Chinese for the dialog, English for laurelight-check
// (which prints "English / 中文" like its other lines). Names the line where there is one and
// points at laurelight-check --format --write for Layout. Empty for None.
struct EditRefusalText {
    std::string english;
    std::u16string chinese;
};
EditRefusalText DescribeRefusal(EditRefusal refusal, std::size_t line);

// The whole write: reads the file as it is now, applies `edit` to those bytes, and puts the
// result in the file's place through platform::ReplaceFileSafely under the folder's state lock
// (the folder of adv_save.txt, the parent of bin\), the previous file kept as bin\adv.json.bak.
// Refused edits and failed writes leave the file untouched. A file that changed since a dialog
// read it is thus edited as it is now.
struct ConfigWrite {
    EditRefusal refusal = EditRefusal::None;
    std::size_t line = 0;
    platform::FileError error = platform::FileError::None;  // of the write, when not refused
    std::vector<ValueProblem> problems;                     // as ConfigEdit's
};
ConfigWrite ApplyConfigEdit(const std::u16string& config_path,
                            const std::function<ConfigEdit(std::string_view file)>& edit);
