#include "render/frame/animation_clock.h"

#include <cmath>

namespace render {

double animationSeconds(std::optional<double> fixedSeconds, double wallSeconds) {
    return fixedSeconds.value_or(wallSeconds);
}

float wrappedAnimationSeconds(double seconds) {
    return static_cast<float>(std::fmod(std::fabs(seconds), kAnimationPeriod));
}

}  // namespace render
