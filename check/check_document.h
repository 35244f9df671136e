#pragma once
// The JSON documents of laurelight-check: what they share (UTF-8 text, one way to dump, the
// members of an achievement) and the check document itself: the paths, every loaded
// achievement, the two lists as the main window would show them, and the findings.

#include <initializer_list>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "config/scan_report.h"
#include "text/utf8.h"
#include "tracker/tracker.h"

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

Json CheckDocument(const AchievementTracker& tracker, const ScanReport& report);

// The text of the findings for a terminal: "line N: [code] message", one per line.
std::string FindingsText(const ScanReport& report);
