#include "render/figures/hand_placement.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace render {

namespace {

constexpr double kEyeHeight = 1.62;
constexpr double kUseTicks = 32.0;

bool isGripTool(const voxel::BlockDef& def) {
    return !def.tool.empty() && def.behavior != "bow" && def.behavior != "shield";
}

}  // namespace

float swingAmount(const SwingInputs& in) {
    if (in.chargeRemaining > 0) {
        const double a = std::clamp(in.accumulator / 0.05, 0.0, 1.0);
        const double p = 1.0 - (in.chargeRemaining - a) / std::max(in.chargeLength, 1);
        return static_cast<float>(-p * (in.heavy ? 0.85 : 0.35));
    }
    const float t = std::clamp(in.swingProgress, 0.0f, 1.0f);
    if (t <= 0.0f) return 0.0f;
    const float v = std::sin(std::numbers::pi_v<float> * t);
    if (!in.combatSwing) return v;
    return in.heavy ? 1.6f * v - (1.0f - t) * 0.85f : 1.15f * v - (1.0f - t) * 0.35f;
}

HeldAction heldAction(const ActionInputs& in) {
    if (in.bowDrawing || in.bowRelease > 0.0f) return kHeldBow;
    if (in.usingItem || in.blocking) return kHeldUse;
    if (in.swingProgress > 0.0f || in.charging || in.combatSwing) return kHeldAttack;
    if (in.walkSpeed > 0.1f) return kHeldWalk;
    return kHeldIdle;
}

void advanceHeldClock(HeldClock& clock, int32_t heldId, HeldAction action, float swingProgress, double worldSeconds) {
    const bool newSwing = action == kHeldAttack && clock.lastAction == kHeldAttack && swingProgress > 0.0f &&
                          swingProgress < clock.lastSwing;
    if (heldId != clock.lastId || action != clock.lastAction || newSwing) clock.start = worldSeconds;
    clock.lastId = heldId;
    clock.lastAction = action;
    clock.lastSwing = swingProgress;
}

float useFraction(const std::array<TimedUse, 2>& uses, uint64_t tick) {
    const TimedUse* use = uses[1].active ? &uses[1] : uses[0].active ? &uses[0] : nullptr;
    if (!use) return 0.0f;
    const double ticks = static_cast<double>(tick) - static_cast<double>(use->startTick);
    return static_cast<float>(std::clamp(ticks / kUseTicks, 0.0, 1.0));
}

content::Float3 heldGripPoint(const voxel::BlockDef& def) {
    const std::array<float, 6>& b = def.modelBounds;
    const float share = isGripTool(def) ? 0.18f : 0.5f;
    return {(b[0] + b[3]) / 2.0f, b[1] + (b[4] - b[1]) * share, (b[2] + b[5]) / 2.0f};
}

Double3 firstPersonHandOffset(const HandOffsetInputs& in) {
    double bob = 0.0, sway = 0.0, swing = 0.0;
    if (!in.hasClip) {
        const double w = std::sin(in.walkPhase), s = in.walkSpeed;
        bob = std::abs(w) * s * 0.012;
        sway = w * s * 0.015;
        swing = in.swing;
    }
    const double base = in.authoredFirstPerson ? -0.519875 : -0.34;
    const double pull = in.holdingBow && !in.hasClip ? in.bowPull * 0.13 : 0.0;
    const double raise = in.holdingShield ? in.shieldRaise : 0.0;
    const double block = in.holdingShield ? in.blockTimer * 0.008 : 0.0;
    return {0.5649375 - sway - swing * 0.08 - pull - raise * 0.13, base + bob - swing * 0.1 + raise * 0.15,
            0.725 - swing * 0.15 + block + in.bowRelease * 0.02};
}

ViewBasis viewBasis(double yaw, double pitch) {
    const double sy = std::sin(yaw), cy = std::cos(yaw), sp = std::sin(pitch), cp = std::cos(pitch);
    return {{-sy, 0.0, cy}, {-sp * cy, cp, -sp * sy}, {cp * cy, sp, cp * sy}};
}

Double3 viewToWorld(const ViewBasis& b, const Double3& eye, const Double3& l) {
    Double3 world{};
    for (int k = 0; k < 3; ++k) world[k] = eye[k] + b.right[k] * l[0] + b.up[k] * l[1] + b.forward[k] * l[2];
    return world;
}

ArmBounds holdingArmBounds(const std::vector<VxmVertex>& mesh) {
    float lo[3] = {1e30f, 1e30f, 1e30f}, hi[3] = {-1e30f, -1e30f, -1e30f};
    const VxmVertex* last = nullptr;
    for (const VxmVertex& v : mesh) {
        if (v.part != 2) continue;
        const float p[3] = {v.x, v.y, v.z};
        for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], p[k]), hi[k] = std::max(hi[k], p[k]);
        last = &v;
    }
    ArmBounds arm;
    if (!last || hi[1] - lo[1] <= 0.0f) return arm;
    arm.cx = (lo[0] + hi[0]) / 2.0;
    arm.cz = (lo[2] + hi[2]) / 2.0;
    arm.handY = lo[1] + (hi[1] - lo[1]) * 0.12;
    arm.top = hi[1];
    arm.pivotY = last->pivotY;
    arm.pivotZ = last->pivotZ;
    return arm;
}

Double3 handWorldPosition(const ArmBounds& arm, const HandPoseInputs& in, const Double3& eye, double yaw) {
    double pivotY = arm.pivotY, angle = 0.0;
    if (in.raised) {
        pivotY = arm.top;
        angle = in.pitch + std::numbers::pi / 2.0;
    } else {
        angle = in.swing * 0.85 - std::sin(in.walkPhase) * in.walkSpeed * 0.55;
    }
    const double dy = arm.handY - pivotY, dz = arm.cz - arm.pivotZ;
    const double z = arm.pivotZ + std::sin(angle) * dy + std::cos(angle) * dz;
    const double y = pivotY + std::cos(angle) * dy - std::sin(angle) * dz;
    const double sy = std::sin(yaw), cy = std::cos(yaw);
    return {eye[0] - sy * arm.cx - cy * z, eye[1] - kEyeHeight + y, eye[2] + cy * arm.cx - sy * z};
}

}  // namespace render
