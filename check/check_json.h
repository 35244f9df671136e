#pragma once
// What the JSON documents of laurelight-check share: UTF-8 text, one way to dump, and the
// members of an achievement.

#include <initializer_list>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "model/achievement.h"
#include "text/utf8.h"

using Json = nlohmann::ordered_json;

inline std::string Text(std::u16string_view text) {
    return Utf16ToUtf8(text);
}

// Indented by `indent` spaces, or on one line for -1; text that is not UTF-8 becomes U+FFFD.
inline std::string Dump(const Json& json, int indent = -1) {
    return json.dump(indent, ' ', false, Json::error_handler_t::replace);
}

// The achievement's members named by `keys`, in that order: a configuration key with the
// text it loaded (trigger_type by name), or "completed".
Json AchievementJson(const Achievement& achievement, std::initializer_list<std::string_view> keys);
