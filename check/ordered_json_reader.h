#pragma once
// Reads JSON text into an ordered value in time linear in its size. The library's own reader
// searches an object's members for each new key, which made one entry with 300,000 members
// take minutes; this one keeps an index of each open object's keys instead.

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

struct OrderedJsonRead {
    nlohmann::ordered_json value;
    std::string error;  // the parser's message with line and column; empty when read
};

// As nlohmann's parse: members keep the order of the text, and a repeated key keeps its first
// place with its last value. Nesting beyond `max_depth` objects and arrays is an error.
OrderedJsonRead ReadOrderedJson(std::string_view text, std::size_t max_depth);
