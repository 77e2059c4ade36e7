#include "render/frame/animation_clock.h"

#include <cmath>
#include <cstring>

namespace render {

double animationSeconds(std::optional<double> fixedSeconds, double wallSeconds) {
    return fixedSeconds.value_or(wallSeconds);
}

float wrappedAnimationSeconds(double seconds) {
    return static_cast<float>(std::fmod(std::fabs(seconds), kAnimationPeriod));
}

void writeAnimationClock(uint8_t* meta, double seconds, float dayFraction) {
    const float wrapped = wrappedAnimationSeconds(seconds);
    const uint32_t written = 1;
    uint8_t* record = meta + kAnimationClockOffset;
    std::memcpy(record, &wrapped, 4);
    std::memcpy(record + 4, &dayFraction, 4);
    std::memcpy(record + 8, &written, 4);
}

}  // namespace render
