#pragma once
// Every pixel figure of the program is written for 96 DPI (100 % scaling) and passes through
// here on its way to the screen, so a high-DPI screen gets the same layout in more pixels and
// 96 DPI gets exactly the written figures.

#include <cstdint>

namespace platform {

constexpr int BASE_DPI = 96;

// value * to_dpi / from_dpi, rounded half away from zero as MulDiv rounds.
constexpr int ScaleBetween(int value, int to_dpi, int from_dpi) {
    const std::int64_t product = static_cast<std::int64_t>(value) * to_dpi;
    const std::int64_t half = from_dpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / from_dpi
                                         : (product - half) / from_dpi);
}

// A figure written for 96 DPI, in pixels of a screen at `dpi`.
constexpr int Scale(int value, int dpi) {
    return ScaleBetween(value, dpi, BASE_DPI);
}

}  // namespace platform
