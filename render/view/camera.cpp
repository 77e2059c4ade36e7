#include "render/view/camera.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

constexpr std::array<float, 3> kFieldOfViewAngles{0.95f, 1.309f, 1.571f};
// Samples along the pull-back ray: t = 0.15, 0.20, ... 1.0.
constexpr int32_t kFirstStep = 3;
constexpr int32_t kLastStep = 20;
constexpr float kStep = 0.05f;

constexpr float kNearDepthScale = -1.0001f;
constexpr float kNearDepthOffset = -0.10001f;

Vec3 forward(float yaw, float pitch) {
    return {std::cos(pitch) * std::cos(yaw), std::sin(pitch), std::cos(pitch) * std::sin(yaw)};
}

float dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 rightOf(float yaw) { return {-std::sin(yaw), 0.0f, std::cos(yaw)}; }

Vec3 upOf(float yaw, float pitch) {
    return {-std::sin(pitch) * std::cos(yaw), std::cos(pitch), -std::sin(pitch) * std::sin(yaw)};
}

void setRow(Matrix4& m, int row, const Vec3& axis, float w, float scale) {
    m[0 + row] = axis.x * scale;
    m[4 + row] = axis.y * scale;
    m[8 + row] = axis.z * scale;
    m[12 + row] = w * scale;
}

}  // namespace

float fieldOfViewAngle(int32_t setting) {
    return kFieldOfViewAngles[static_cast<std::size_t>(std::clamp(setting, 0, 2))];
}

float thirdPersonDistance(const Vec3& player, float yaw, float pitch, const SolidTest& solidAt) {
    const Vec3 f = forward(yaw, pitch);
    const Vec3 ray{-kThirdPersonReach * f.x, 0.55f - kThirdPersonReach * std::sin(pitch), -kThirdPersonReach * f.z};
    for (int32_t step = kFirstStep; step <= kLastStep; ++step) {
        const float t = static_cast<float>(step) * kStep;
        const auto cell = [t](float p, float d) { return static_cast<int32_t>(std::floor(p + t * d)); };
        if (solidAt(cell(player.x, ray.x), cell(player.y, ray.y), cell(player.z, ray.z)))
            return std::max(t - 0.08f, 0.0f) * kThirdPersonReach;
    }
    return kThirdPersonReach;
}

Vec3 pulledBackEye(const Vec3& player, float yaw, float pitch, float distance) {
    const Vec3 f = forward(yaw, pitch);
    return {player.x - distance * f.x, player.y - distance * std::sin(pitch) + 0.1375f * distance,
            player.z - distance * f.z};
}

Matrix4 viewProjection(const Vec3& eye, float yaw, float pitch, float fov, float aspect) {
    const Vec3 f = forward(yaw, pitch);
    const Vec3 right = rightOf(yaw);
    const Vec3 up = upOf(yaw, pitch);
    const Vec3 back{-f.x, -f.y, -f.z};
    const float g = 1.0f / std::tan(fov / 2.0f);
    // The projection has one entry per row but the third, so each row of the product is a scaled
    // row of the view matrix.
    Matrix4 m{};
    setRow(m, 0, right, -dot(right, eye), g / aspect);
    setRow(m, 1, up, -dot(up, eye), -g);
    setRow(m, 2, back, -dot(back, eye), kNearDepthScale);
    m[14] += kNearDepthOffset;
    setRow(m, 3, back, -dot(back, eye), -1.0f);
    return m;
}

std::array<Vec3, 4> nearPlaneCorners(const Vec3& eye, float yaw, float pitch, float fov, float aspect) {
    const Vec3 f = forward(yaw, pitch), right = rightOf(yaw), up = upOf(yaw, pitch);
    const float halfHeight = kNearDistance * std::tan(fov / 2.0f), halfWidth = halfHeight * aspect;
    std::array<Vec3, 4> corners{};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const float across = (i & 1) != 0 ? halfWidth : -halfWidth;
        const float along = (i & 2) != 0 ? halfHeight : -halfHeight;
        corners[i] = {eye.x + kNearDistance * f.x + across * right.x + along * up.x,
                      eye.y + kNearDistance * f.y + across * right.y + along * up.y,
                      eye.z + kNearDistance * f.z + across * right.z + along * up.z};
    }
    return corners;
}

}  // namespace render
