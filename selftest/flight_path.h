#pragma once
// The frame benchmark's camera path: from the spawn point a straight flight over the terrain, then
// a steady turn, at a fixed speed per frame, so that every run sees the same frames.
#include <cstdint>

namespace selftest {

inline constexpr float kFlightSpeed = 0.4f;       // blocks per frame
inline constexpr uint32_t kStraightFrames = 150;  // then the turn begins
inline constexpr float kFlightHeight = 92.0f;     // eye height, above the hills near spawn

struct FlightPose {
    float x, y, z, yaw, pitch;
};

FlightPose flightPose(uint32_t frame);

}  // namespace selftest
