#pragma once
// The bytes of adv_save.txt: one line per completed achievement, "<id>=done" and CR LF.
//
// Ids made only of U+0000..U+00FF are stored one byte per character, exactly as files
// from earlier versions hold them. An id with any character above U+00FF cannot be stored
// that way; its line carries the id as UTF-8 (lone surrogates kept, see text/utf8.h) and the
// value "done-utf8" instead of "done". A reader that knows only "done" sees a value other
// than "done" on such a line and completes nothing, so it never mistakes the UTF-8 bytes
// for a different single-byte id; and no earlier file ever held that value.

#include <string>
#include <string_view>
#include <vector>

#include "model/achievement.h"

inline constexpr std::string_view DONE_VALUE = "done";
inline constexpr std::string_view DONE_UTF8_VALUE = "done-utf8";

// One line of the file that names an id, and whether it completes that id.
struct ProgressFileLine {
    std::size_t number = 0;  // 1-based
    std::u16string id;
    bool done = false;  // "done", or "done-utf8" for an id stored as UTF-8
    std::string text;   // the line as the file holds it, without its line end
};

// Reads the bytes as the platform's text mode would (CR LF and LF end a line, 0x1A ends the
// text, a byte is the character of the same value): every line with an id, in file order.
std::vector<ProgressFileLine> ReadProgressFileLines(std::string_view bytes);

// Maps each id of ReadProgressFileLines to its flag. A later line for the same id wins.
CompletedMap ParseProgress(std::string_view bytes);

// For each id that the bytes leave completed, the first line that completes it, in the
// file's order.
std::vector<ProgressLine> DoneLines(std::string_view bytes);

// False for an id with '=' or U+001A: its line could never read back as that id.
bool ProgressCanHold(std::u16string_view id);

// The bytes from the first 0x1A on, which reading never reaches; empty without one.
std::string_view UnreadTail(std::string_view bytes);
// The 1-based line that holds the first 0x1A byte; 0 without one.
std::size_t UnreadTailLine(std::string_view bytes);

// The line that completes `id`, as a save writes it (without its line end).
ProgressLine DoneLine(const std::u16string& id);

// The whole file for the completed achievements, in their order, then the kept lines whose id
// no achievement has, in theirs; each line ended by CR LF; then the unread tail, unchanged, so
// that a save never destroys what it could not read. An achievement whose id holds '=' or
// U+001A is left out: its line could never read back, and would spoil the reading of another
// achievement's line.
std::string SerializeProgress(const std::vector<Achievement>& achievements,
                              const std::vector<ProgressLine>& kept_lines = {},
                              std::string_view unread_tail = {});
