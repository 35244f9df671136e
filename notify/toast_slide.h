#pragma once
// The toast's slide positions: ease-out cubic in, ease-in cubic out, 21 steps each.

#include <cstdint>

constexpr int SLIDE_LAST_STEP = 20;

enum class SlideDirection { In, Out };

// x of the toast at `step` (0..20) of a slide from `from` to `to`, in single precision
// exactly as the animation has always computed it.
std::int32_t SlidePosition(SlideDirection direction, std::int32_t from, std::int32_t to, int step);
