// The bytes of the progress file, read with the text-mode rules applied here rather than by
// the runtime, so that every platform reads a file the same way.

#include "progress/progress_format.h"

#include <algorithm>
#include <optional>
#include <set>

#include "text/utf8.h"

namespace {

constexpr char END_OF_TEXT = 0x1A;

bool FitsOneByte(std::u16string_view id) {
    for (const char16_t unit : id) {
        if (unit > 0xFF) return false;
    }
    return true;
}

std::u16string FromLatin1(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (const char byte : bytes) text.push_back(static_cast<unsigned char>(byte));
    return text;
}

// A line for an id with '=' would be read as the key before that '=', and could overturn
// the flag of the achievement with that id; a 0x1A byte would end the text for every line
// after it. Neither id can ever read back as completed, so its line is left out.
bool CanReadBack(std::u16string_view id) {
    return id.find(u'=') == std::u16string_view::npos &&
           id.find(static_cast<char16_t>(END_OF_TEXT)) == std::u16string_view::npos;
}

void AppendLatin1(std::string& out, std::u16string_view id) {
    for (const char16_t unit : id)
        out.push_back(static_cast<char>(static_cast<unsigned char>(unit)));
}

// A line without '=' names no id; nor does a UTF-8 key that is not well-formed: this program
// never wrote it.
void ParseLine(std::size_t number, std::string_view line, std::vector<ProgressFileLine>& out) {
    const size_t separator = line.find('=');
    if (separator == std::string_view::npos) return;
    const std::string_view key = line.substr(0, separator);
    const std::string_view value = line.substr(separator + 1);
    if (value != DONE_UTF8_VALUE) {
        out.push_back({number, FromLatin1(key), value == DONE_VALUE, std::string(line)});
    } else if (std::optional<std::u16string> id = DecodeWtf8(key)) {
        out.push_back({number, std::move(*id), true, std::string(line)});
    }
}

}  // namespace

std::vector<ProgressFileLine> ReadProgressFileLines(std::string_view bytes) {
    const size_t end_of_text = bytes.find(END_OF_TEXT);
    if (end_of_text != std::string_view::npos) bytes = bytes.substr(0, end_of_text);
    std::vector<ProgressFileLine> lines;
    for (std::size_t number = 1; !bytes.empty(); ++number) {
        const size_t line_feed = bytes.find('\n');
        std::string_view line = bytes.substr(0, line_feed);
        if (line_feed == std::string_view::npos) {
            bytes = {};  // last line without a line end; a lone CR at its end stays in it
        } else {
            bytes.remove_prefix(line_feed + 1);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        }
        ParseLine(number, line, lines);
    }
    return lines;
}

CompletedMap ParseProgress(std::string_view bytes) {
    CompletedMap map;
    for (ProgressFileLine& line : ReadProgressFileLines(bytes)) map[std::move(line.id)] = line.done;
    return map;
}

// A later line for the same id may take its completion back; then no line of it is kept.
std::vector<ProgressLine> DoneLines(std::string_view bytes) {
    std::vector<ProgressFileLine> lines = ReadProgressFileLines(bytes);
    CompletedMap map;
    for (const ProgressFileLine& line : lines) map[line.id] = line.done;
    std::vector<ProgressLine> done;
    std::set<std::u16string> seen;
    for (ProgressFileLine& line : lines) {
        if (!line.done || !map[line.id] || !seen.insert(line.id).second) continue;
        done.push_back({std::move(line.id), std::move(line.text)});
    }
    return done;
}

bool ProgressCanHold(std::u16string_view id) {
    return CanReadBack(id);
}

std::string_view UnreadTail(std::string_view bytes) {
    const size_t end_of_text = bytes.find(END_OF_TEXT);
    return end_of_text == std::string_view::npos ? std::string_view() : bytes.substr(end_of_text);
}

std::size_t UnreadTailLine(std::string_view bytes) {
    const size_t end_of_text = bytes.find(END_OF_TEXT);
    if (end_of_text == std::string_view::npos) return 0;
    const std::string_view before = bytes.substr(0, end_of_text);
    return 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
}

ProgressLine DoneLine(const std::u16string& id) {
    ProgressLine line{id, {}};
    if (FitsOneByte(id)) {
        AppendLatin1(line.bytes, id);
        line.bytes += '=';
        line.bytes += DONE_VALUE;
    } else {
        line.bytes = EncodeWtf8(id);
        line.bytes += '=';
        line.bytes += DONE_UTF8_VALUE;
    }
    return line;
}

std::string SerializeProgress(const std::vector<Achievement>& achievements,
                              const std::vector<ProgressLine>& kept_lines,
                              std::string_view unread_tail) {
    std::string out;
    std::set<std::u16string_view> configured;
    for (const Achievement& achievement : achievements) {
        configured.insert(achievement.id);
        if (!achievement.completed || !CanReadBack(achievement.id)) continue;
        out += DoneLine(achievement.id).bytes;
        out += "\r\n";
    }
    // Progress of an id the configuration lacks now (an entry removed for a while, a typo
    // being fixed) comes back with the id.
    for (const ProgressLine& line : kept_lines) {
        if (!configured.contains(line.id)) out += line.bytes + "\r\n";
    }
    out += unread_tail;
    return out;
}
