#pragma once
// What a Windows editor saved the configuration as: UTF-8, or UTF-16 as Notepad's "Unicode"
// (little-endian) and "Unicode big endian" write it.

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::string_view UTF8_BYTE_ORDER_MARK = "\xEF\xBB\xBF";

enum class TextEncoding { Utf8, Utf16Le, Utf16Be };

struct DetectedEncoding {
    TextEncoding encoding = TextEncoding::Utf8;
    bool byte_order_mark = false;
};

// From the first bytes. JSON starts with an ASCII character, so a zero byte among the first
// two tells UTF-16 apart even without a byte-order mark.
DetectedEncoding DetectEncoding(std::string_view bytes);

// The text as UTF-8 without a byte-order mark; ill-formed UTF-16 gives U+FFFD.
std::string TextAsUtf8(std::string_view bytes);

// 1-based number of the first line that is not well-formed UTF-8, or 0 when every line is.
std::size_t FirstLineNotUtf8(std::string_view bytes);
