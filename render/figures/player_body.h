#pragma once
// The player's body mesh turned into drawable vertices: the first-person holding arm, the posed
// third-person body with armour shells and a glider, and the players of a LAN session. Light is
// stamped afterwards; these functions read nothing but their arguments.
#include <array>
#include <cstdint>
#include <vector>

#include "models/vxm.h"
#include "render/chunks/mesh_vertex.h"
#include "render/figures/hand_placement.h"
#include "world/block_registry.h"

namespace render {

inline constexpr float kSkinMaterial = 100000.0f;
inline constexpr float kArmourMaterial = 200000.0f;

// The vertex turned about its pivot by its rotation about x, then y, then z.
Double3 poseAboutPivot(const VxmVertex& v);
// Normalised (b - a) x (c - a); (1, 0, 0) for a degenerate triangle.
Double3 triangleNormal(const Double3& a, const Double3& b, const Double3& c);

// Armour slot of a triangle by body part and average height: 0 head, 1 body, 2 legs, 3 feet.
int32_t armourSlotOf(uint32_t part, double averageY);
// Slots that hold armour (a count above 0 and no glider).
using ArmourWorn = std::array<bool, 4>;
// A helmet leaves faces turned towards -z (the face) uncovered.
bool isArmoured(const ArmourWorn& worn, int32_t slot, double normalZ);
// The shell colour of a slot at a shade: legs and feet darker than head and body.
std::array<float, 3> armourColour(int32_t slot, float shade);

// The holding arm (part 2) in first person, in view space (right, up, forward), running from the
// anchor along a fixed arm axis for 0.65 blocks; positions are turned into the world by `basis`.
void appendFirstPersonArm(std::vector<MeshVertex>& out, const std::vector<VxmVertex>& mesh, const Double3& anchor,
                          const ViewBasis& basis, const Double3& eye);

struct BodyPose {
    Double3 eye{};
    double yaw = 0.0;
    double pitch = 0.0;
    double limb = 0.0;   // sin(walk phase) x walk speed x 0.55
    double swing = 0.0;  // swingAmount
    bool raised = false; // drawing a bow or blocking with a shield
};
// Local limb angle of a body part: 1 and 4 forward, 3 back; the holding arm follows the swing.
double localLimbAngle(uint32_t part, const BodyPose& pose);
void appendThirdPersonBody(std::vector<MeshVertex>& out, const std::vector<VxmVertex>& mesh, const BodyPose& pose,
                           const ArmourWorn& worn);

// A worn glider on the back, at 0.28 of its width, or full width when spread.
void appendGlider(std::vector<MeshVertex>& out, const voxel::BlockDef& glider, uint8_t gliderId, const Double3& eye,
                  double yaw, bool spread);

// Remote limbs swing in opposite pairs: parts 1 and 4 by +angle, 2 and 3 by -angle.
double remoteLimbAngle(uint32_t part, double angle);
// A pose record: x, eye y, z, yaw, spare, walk amount, walk phase. False (nothing appended) when
// any value the drawing reads is not finite.
bool appendRemotePlayer(std::vector<MeshVertex>& out, const std::vector<VxmVertex>& mesh,
                        const std::array<float, 7>& pose);

}  // namespace render
