#include "selftest/flight_path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace selftest {

namespace {

constexpr float kStartX = 8.0f, kStartZ = 29.0f;  // the spawn point
constexpr float kStartYaw = -std::numbers::pi_v<float> / 2.0f;
constexpr float kPitch = -0.24f;
// Half a turn over as many frames as the straight part.
constexpr float kTurnRate = std::numbers::pi_v<float> / static_cast<float>(kStraightFrames);

}  // namespace

FlightPose flightPose(uint32_t frame) {
    const float straight = kFlightSpeed * static_cast<float>(std::min(frame, kStraightFrames));
    const float turnStartX = kStartX + straight * std::cos(kStartYaw);
    const float turnStartZ = kStartZ + straight * std::sin(kStartYaw);
    if (frame <= kStraightFrames) return {turnStartX, kFlightHeight, turnStartZ, kStartYaw, kPitch};
    // Along a circle: the heading turns at a constant rate while the speed stays the same.
    const float yaw = kStartYaw + kTurnRate * static_cast<float>(frame - kStraightFrames);
    const float radius = kFlightSpeed / kTurnRate;
    return {turnStartX + radius * (std::sin(yaw) - std::sin(kStartYaw)), kFlightHeight,
            turnStartZ - radius * (std::cos(yaw) - std::cos(kStartYaw)), yaw, kPitch};
}

}  // namespace selftest
