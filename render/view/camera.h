#pragma once
// render/view: what the eye sees: camera, view test and chunk draw order. Pure maths.
// The camera of the frame: where the eye stands (at the player, or pulled back behind it in third
// person) and the view-projection matrix the world shaders receive.
#include <array>
#include <cstdint>
#include <functional>

namespace render {

// Column-major: element (row r, column c) at [4 c + r].
using Matrix4 = std::array<float, 16>;

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

// The narrower view of the first-person hand, drawn after the depth clear.
inline constexpr float kHandFieldOfView = 1.542871f;
inline constexpr float kThirdPersonReach = 4.0f;
inline constexpr float kNearDistance = 0.1f;

// Radians for the field-of-view setting 0, 1 or 2 (outside values take the nearest).
float fieldOfViewAngle(int32_t setting);

// Whether the cell is solid; an unloaded chunk reads as air.
using SolidTest = std::function<bool(int32_t x, int32_t y, int32_t z)>;

// How far the third-person eye stands back, 0..4 blocks: short of the first solid cell on the way.
float thirdPersonDistance(const Vec3& player, float yaw, float pitch, const SolidTest& solidAt);
// The eye `distance` blocks back along the view, raised a little so it looks over the head.
Vec3 pulledBackEye(const Vec3& player, float yaw, float pitch, float distance);

// Projection x view: the camera looks along -z of view space, y points down the screen (Vulkan),
// depth runs 0..1 from kNearDistance to 1,000 blocks.
Matrix4 viewProjection(const Vec3& eye, float yaw, float pitch, float fov, float aspect);

// The corners of the near-plane rectangle of that camera: nothing nearer than it is drawn.
std::array<Vec3, 4> nearPlaneCorners(const Vec3& eye, float yaw, float pitch, float fov, float aspect);

}  // namespace render
