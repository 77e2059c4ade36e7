#pragma once
// The animation clock of the shaders, from which water waves and swaying plants are drawn; the frame
// pushes it with its other values (FrameValuesBlock).
#include <optional>

namespace render {

// Seconds wrap at this period, so that a float keeps the motion smooth however long the game runs.
inline constexpr double kAnimationPeriod = 3600.0;

// The seconds a frame shows: the fixed value when one is set, else the wall clock.
double animationSeconds(std::optional<double> fixedSeconds, double wallSeconds);

// The seconds as the shaders get them: wrapped at the period, as a float.
float wrappedAnimationSeconds(double seconds);

}  // namespace render
