#pragma once
// Where the player's hand and held item are: the melee swing curve, the held action and its clip
// clock, the grip point, the first-person hand offset, view-to-world conversion and the hand of the
// third-person body. Pure functions of plain inputs; the App gathers the inputs each frame.
#include <array>
#include <cstdint>
#include <vector>

#include "game/player_state.h"
#include "models/float3.h"
#include "models/vxm.h"
#include "world/block_registry.h"

namespace render {

using Double3 = std::array<double, 3>;

struct SwingInputs {
    float swingProgress = 0.0f;  // 0..1
    int32_t chargeRemaining = 0;
    int32_t chargeLength = 0;
    bool heavy = false;
    bool combatSwing = false;
    double accumulator = 0.0;  // seconds into the current world step
};
float swingAmount(const SwingInputs& in);

// Held actions in the order of the clip table; the third-person view adds 5.
enum HeldAction : int32_t { kHeldIdle = 0, kHeldWalk = 1, kHeldAttack = 2, kHeldUse = 3, kHeldBow = 4 };

struct ActionInputs {
    bool bowDrawing = false;
    float bowRelease = 0.0f;
    bool usingItem = false;  // a timed use action runs
    bool blocking = false;
    float swingProgress = 0.0f;
    bool charging = false;
    bool combatSwing = false;
    float walkSpeed = 0.0f;
};
HeldAction heldAction(const ActionInputs& in);

// When the current held clip started; kept between frames.
struct HeldClock {
    int32_t lastId = -1;
    int32_t lastAction = -1;
    double start = 0.0;  // world seconds
    float lastSwing = 0.0f;
};
// Restarts the clip on a new item or action, or on a new swing of the same attack.
void advanceHeldClock(HeldClock& clock, int32_t heldId, HeldAction action, float swingProgress, double worldSeconds);

// The later active use of the two, as min(ticks / 32, 1); 0 when none runs. A start after the
// current tick (the counter was reset) counts as just begun.
float useFraction(const std::array<TimedUse, 2>& uses, uint64_t tick);

// Middle of the bounds; tools other than bows and shields are held 18 % up their height.
content::Float3 heldGripPoint(const voxel::BlockDef& def);

struct HandOffsetInputs {
    bool hasClip = false;
    float walkPhase = 0.0f;
    float walkSpeed = 0.0f;
    float swing = 0.0f;  // swingAmount
    bool authoredFirstPerson = false;
    bool holdingBow = false;
    float bowPull = 0.0f;  // 0..1
    bool holdingShield = false;
    float shieldRaise = 0.0f;
    int32_t blockTimer = 0;
    float bowRelease = 0.0f;
};
// Right, up, forward in view space.
Double3 firstPersonHandOffset(const HandOffsetInputs& in);

struct ViewBasis {
    Double3 right, up, forward;
};
ViewBasis viewBasis(double yaw, double pitch);
Double3 viewToWorld(const ViewBasis& basis, const Double3& eye, const Double3& local);

// The holding arm (body part 2) of the player mesh, or the defaults when the mesh has none.
struct ArmBounds {
    double cx = 0.35, cz = 0.0, handY = 0.8, top = 1.4, pivotY = 0.93, pivotZ = 0.0;
};
ArmBounds holdingArmBounds(const std::vector<VxmVertex>& mesh);

struct HandPoseInputs {
    bool raised = false;  // drawing a bow or blocking with a shield
    float pitch = 0.0f;
    float swing = 0.0f;
    float walkPhase = 0.0f;
    float walkSpeed = 0.0f;
};
Double3 handWorldPosition(const ArmBounds& arm, const HandPoseInputs& in, const Double3& eye, double yaw);

}  // namespace render
