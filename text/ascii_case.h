#pragma once
// Letter case as Windows compares file and process names without a locale: only A-Z and a-z
// fold together, everything else stays as it is.

#include <string>
#include <string_view>

char16_t LowerAscii(char16_t unit);
char16_t UpperAscii(char16_t unit);
// The whole text with LowerAscii applied, for comparing without case.
std::u16string LowerAsciiText(std::u16string_view text);

// What _wcsicmp does without a locale.
bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);
