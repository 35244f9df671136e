#pragma once
// Conversions between UTF-16 text and bytes: plain UTF-8, which never fails (ill-formed input
// becomes U+FFFD), and the progress file's WTF-8, UTF-8 that also carries lone surrogates, so
// that any sequence of UTF-16 code units survives a trip through bytes unchanged.

#include <optional>
#include <string>
#include <string_view>

// Each maximal ill-formed subpart of the input gives one U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes);

// A lone surrogate gives U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// False when a surrogate stands without its partner.
bool IsWellFormedUtf16(std::u16string_view text);

// The text as UTF-8 between double quotes, as messages name a value.
std::string Quoted(std::u16string_view text);

// One code point up to U+10FFFF; surrogate values are written as they are.
void AppendUtf8(std::string& out, char32_t code_point);

// A surrogate pair becomes one four-byte sequence; a surrogate without its partner becomes
// the three-byte form of its own value.
std::string EncodeWtf8(std::u16string_view text);

// Nothing when the bytes are not well formed: overlong forms, values above U+10FFFF, stray or
// missing continuation bytes. Three-byte surrogate forms are accepted and kept as code units.
std::optional<std::u16string> DecodeWtf8(std::string_view bytes);
