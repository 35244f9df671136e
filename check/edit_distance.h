#pragma once
// How far apart two names are in single-character edits (insert, delete, replace), for the
// hints that name a likely typing mistake.

#include <cstddef>
#include <string_view>

// The edits that still count as a slip of the keyboard in a name of `length` units: none
// below 4 (too many short names lie that close), one up to 7, two from 8 on.
std::size_t TypoLimit(std::size_t length);

// The edit distance of `a` and `b`, or `limit` + 1 for any distance beyond `limit`.
std::size_t EditDistance(std::u16string_view a, std::u16string_view b, std::size_t limit);

// The part of `text` that `pattern` becomes in the fewest edits; the earliest of equals.
struct NearestPart {
    std::size_t distance = 0;  // `limit` + 1 when no part is within `limit`
    std::size_t begin = 0;
    std::size_t end = 0;
};
NearestPart FindNearestPart(std::u16string_view text, std::u16string_view pattern,
                            std::size_t limit);
