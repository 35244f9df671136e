#pragma once
// Finds "key": pairs on one line the way a JSON reader would, for the findings report.

#include <string>
#include <string_view>
#include <vector>

// A "key": pair as a JSON reader would see it on one line.
struct MemberToken {
    std::string key;
    bool space_before_colon = false;
    bool string_value = false;   // the value starts with a double quote
    bool empty_value = false;    // the value is ""
    bool escaped_value = false;  // the value holds a backslash
    bool escaped_quote = false;  // the value holds \"
    // What follows the value's closing quote on the line other than a ',', '}' or ']' that
    // ends it: the rest of a value that held a plain '"'.
    std::string after_value;
};
std::vector<MemberToken> FindMembers(std::string_view line);
