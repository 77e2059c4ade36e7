#include "selftest/flight_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

TEST(FlightPath, StraightFromSpawnThenHalfATurn) {
    // The turn's radius: 0.4 blocks a frame at pi / 150 radians a frame.
    const float diameter = 2.0f * 0.4f * 150.0f / kPi;
    const struct {
        uint32_t frame;
        selftest::FlightPose pose;
    } cases[] = {
        {0, {8.0f, 92.0f, 29.0f, -kPi / 2, -0.24f}},
        {150, {8.0f, 92.0f, -31.0f, -kPi / 2, -0.24f}},
        {225, {8.0f + diameter / 2, 92.0f, -31.0f - diameter / 2, 0.0f, -0.24f}},
        {300, {8.0f + diameter, 92.0f, -31.0f, kPi / 2, -0.24f}},
    };
    for (const auto& c : cases) {
        const selftest::FlightPose got = selftest::flightPose(c.frame);
        EXPECT_NEAR(std::hypot(got.x - c.pose.x, got.y - c.pose.y, got.z - c.pose.z), 0.0f, 1e-3) << c.frame;
        EXPECT_NEAR(got.yaw, c.pose.yaw, 1e-5) << "frame " << c.frame;
        EXPECT_FLOAT_EQ(got.pitch, c.pose.pitch) << "frame " << c.frame;
    }
}

TEST(FlightPath, NoJumpBetweenFrames) {
    for (uint32_t frame = 0; frame < 400; ++frame) {
        const selftest::FlightPose a = selftest::flightPose(frame), b = selftest::flightPose(frame + 1);
        EXPECT_NEAR(std::hypot(b.x - a.x, b.z - a.z), 0.4f, 0.01f) << "frame " << frame;
    }
}

}  // namespace
