#pragma once
// bin\adv.json as its writer sees it: lines that keep their own line ends, where the scanner
// finds the list and its entries, and whether an entry is laid out so that the scanner and a
// JSON reader agree about it line by line.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_edit.h"
#include "model/achievement.h"

struct ConfigLines {
    std::string byte_order_mark;     // as the file starts with it, or empty
    std::vector<std::string> lines;  // each with its LF; the last one may have none
};
ConfigLines SplitConfigLines(std::string_view file);
// The lines after the byte-order mark, as the scanner reads them.
std::string JoinLines(const ConfigLines& file);

// The line without its LF and a CR before it.
std::string_view LineBody(std::string_view line);
// "\r\n", "\n" or "".
std::string_view LineEnd(std::string_view line);
// The spaces and tabs the line starts with.
std::string_view Indentation(std::string_view line);
bool IsBlankLine(std::string_view line);
// Whether the line's last character other than a space, tab or line end is a comma.
bool EndsWithComma(std::string_view line);
// Puts a comma after the line's last character other than a space, tab or line end.
void AddComma(std::string& line);
// Takes away the comma that EndsWithComma found.
void RemoveComma(std::string& line);

// One entry as the scanner reads it; lines are 0-based indices into ConfigLines::lines.
struct EntryLines {
    std::size_t open = 0;
    std::size_t close = 0;
    std::optional<Achievement> loaded;  // none when the entry has no id and does not load
};
struct ListLines {
    std::size_t marker = 0;
    std::size_t end = 0;  // the line whose ']' closes the list
    std::vector<EntryLines> entries;
};
// A refusal and its 1-based line; None when there is nothing to refuse.
struct LineRefusal {
    EditRefusal refusal = EditRefusal::None;
    std::size_t line = 0;
};

// Finds the list and its entries as the scanner does. NoList without a marker line or a line
// that closes the list; Layout where the scanner and a JSON reader would disagree about which
// entries the list holds or where it ends (text after the marker, a ']' inside an entry, a
// closing line that holds more than the ']').
LineRefusal LocateList(const ConfigLines& file, ListLines& list);

// Layout when the entry is not one '{' line, lines of one member each (or blank) and one '}'
// or '},' line: a member on either brace line, several members on one line, a nested object or
// array, a key of CONFIG_KEYS given twice or with a blank before its colon.
LineRefusal CheckEntryLines(const ConfigLines& file, const EntryLines& entry);
// Whether the line closes an entry and holds nothing else but a comma.
bool IsClosingLine(std::string_view line);

// The index into list.entries of the one entry that loads with this id; NoSuchId or
// DuplicateId when not exactly one does.
LineRefusal FindEntry(const ListLines& list, std::u16string_view id, std::size_t& index);

// The line of the entry whose one member has this key.
std::optional<std::size_t> MemberLine(const ConfigLines& file, const EntryLines& entry,
                                      std::string_view key);
