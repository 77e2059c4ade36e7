#include "render/frame/daylight.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace render {

namespace {

constexpr int32_t kDayTicks = 48000;

float sunSine(float dayFraction) { return std::sin(2.0f * std::numbers::pi_v<float> * dayFraction); }

}  // namespace

float dayFraction(int32_t timeOfDay) { return static_cast<float>(timeOfDay) / static_cast<float>(kDayTicks); }

float daylight(float dayFraction) { return std::clamp(sunSine(dayFraction) * 1.35f + 0.18f, 0.09f, 1.0f); }

std::array<float, 4> clearColour(float dayFraction) {
    const float s = sunSine(dayFraction);
    const float b = std::clamp(1.35f * s + 0.18f, 0.05f, 1.0f);
    const float k = std::clamp(1.0f - 4.0f * std::fabs(s), 0.0f, 1.0f);
    return {0.37f * b + 0.012f + 0.15f * k, 0.61f * b + 0.018f + 0.07f * k, 0.8f * b + 0.055f, 1.0f};
}

bool starsHidden(float daylight) {
    return daylight >= 0.5f;
}

}  // namespace render
