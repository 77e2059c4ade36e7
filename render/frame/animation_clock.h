#pragma once
// The animation clock of the shaders: a small per-frame record in the overlay part of the content
// meta buffer, from which water waves, swaying plants and the sun's course are drawn.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace render {

// Byte offset of the record in the content meta buffer: f32 seconds, f32 day fraction, u32 1.
inline constexpr std::size_t kAnimationClockOffset = 180224;
inline constexpr std::size_t kAnimationClockBytes = 12;
// Seconds wrap at this period, so that a float keeps the motion smooth however long the game runs.
inline constexpr double kAnimationPeriod = 3600.0;

// The seconds a frame shows: the fixed value when one is set, else the wall clock.
double animationSeconds(std::optional<double> fixedSeconds, double wallSeconds);

// The seconds as the shaders get them: wrapped at the period, as a float.
float wrappedAnimationSeconds(double seconds);

// Writes the record at its offset of `meta` (the whole content meta buffer).
void writeAnimationClock(uint8_t* meta, double seconds, float dayFraction);

}  // namespace render
