#pragma once
// Daylight and the sky's clear colour follow the time of day through the sun's sine,
// s = sin(2 pi x day fraction).
#include <array>
#include <cstdint>

namespace render {

// Time of day in ticks (0..47,999) as a fraction of the day.
float dayFraction(int32_t timeOfDay);
// clamp(1.35 s + 0.18, 0.09, 1.0): never fully dark.
float daylight(float dayFraction);
// The frame's clear colour, opaque: brightness b = clamp(1.35 s + 0.18, 0.05, 1), plus a warm tint
// k = clamp(1 - 4 |s|, 0, 1) around sunrise and sunset.
std::array<float, 4> clearColour(float dayFraction);
// True when the sky shader's star strength, clamp(1 - 2.2 x daylight, 0, 1), is 0 whatever the
// device's rounding: from daylight 0.5 up, where it is -0.1 before clamping. Such frames draw the sky
// without the stars' code.
bool starsHidden(float daylight);

}  // namespace render
