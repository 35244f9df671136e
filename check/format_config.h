#pragma once
// laurelight-check --format: reads a configuration with a JSON parser and writes the same
// achievements in the one layout that Laurelight's line scanner reads: the marker line, one
// entry per brace pair, one member per line in the scanner's key order, four-space
// indentation, CR LF line ends.

#include <string>
#include <string_view>
#include <vector>

#include "model/achievement.h"

struct FormattedConfig {
    // The parser's message, or that no entry has an id; nothing else is set then.
    std::string error;
    std::string text;                    // UTF-8 without a byte-order mark
    std::vector<std::string> lost;       // values the layout cannot carry, by entry and key
    std::size_t extra_members_lost = 0;  // of those, members that are not one of the six keys
    // What the JSON holds, less what was lost (left out): the entries with a non-empty id.
    std::vector<Achievement> achievements;
};

// `json` is UTF-8 text. Every member line is tried with the scanner's own functions, so a
// value is counted as carried only if Laurelight reads it back exactly.
FormattedConfig FormatConfig(std::string_view json);
