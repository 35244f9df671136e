#pragma once
// What the main window says about bin\adv.json after it was read again while the program runs.

#include <cstddef>
#include <string>
#include <string_view>

// In Chinese: why the file did not load (the program goes on with the achievements it has),
// given the loader's message; else how many findings it loaded with, which laurelight-check
// explains. Empty for a file that loaded without findings.
std::u16string ConfigStatusLine(std::u16string_view failure, std::size_t findings);
