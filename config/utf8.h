#pragma once
// UTF-8 <-> UTF-16 conversion that never fails: ill-formed input becomes U+FFFD.

#include <string>
#include <string_view>

// Each maximal ill-formed subpart of the input gives one U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes);

// A lone surrogate gives U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// One code point (up to U+10FFFF; surrogate values are written as they are).
void AppendUtf8(std::string& out, char32_t code_point);
void AppendUtf16(std::u16string& out, char32_t code_point);
