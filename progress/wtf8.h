#pragma once
// UTF-8 that also carries lone surrogates (the "WTF-8" form), so that any sequence of UTF-16
// code units survives a trip through bytes unchanged. A surrogate pair becomes one four-byte
// sequence; a surrogate without its partner becomes the three-byte form of its own value.

#include <optional>
#include <string>
#include <string_view>

std::string EncodeWtf8(std::u16string_view text);

// Nothing when the bytes are not well formed: overlong forms, values above U+10FFFF, stray or
// missing continuation bytes. Three-byte surrogate forms are accepted and kept as code units.
std::optional<std::u16string> DecodeWtf8(std::string_view bytes);
