#include "notify/toast_slide.h"

std::int32_t SlidePosition(SlideDirection direction, std::int32_t from, std::int32_t to, int step) {
    const float p = static_cast<float>(step) / 20.0f;
    float eased;
    if (direction == SlideDirection::In) {
        const float rest = 1.0f - p;
        eased = 1.0f - (rest * rest) * rest;
    } else {
        eased = (p * p) * p;
    }
    const float distance = static_cast<float>(to - from);
    return from + static_cast<std::int32_t>(eased * distance);
}
