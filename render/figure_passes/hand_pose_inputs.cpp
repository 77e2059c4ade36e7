// The App's view of the player's hands: it gathers the player state into the inputs of the pure
// hand placement functions and keeps the held-clip clock.
#include <algorithm>

#include "app/app.h"
#include "models/display_settings.h"
#include "models/held_animations.h"
#include "render/figures/held_item.h"

namespace {

constexpr double kTickSeconds = 0.05;
constexpr int32_t kThirdPersonClips = 1;

// Whole-tick seconds since the draw began; a start after the counter (reset) counts as now.
double drawSeconds(uint64_t tick, uint64_t start) {
    return std::max(static_cast<double>(tick) - static_cast<double>(start), 0.0) * kTickSeconds;
}

}  // namespace

const InventorySlot& App::selectedSlot() const {
    return inventory.hotbar[static_cast<std::size_t>(std::clamp(inventory.selected, 0, 8))];
}

float App::swingAmount() const {
    return render::swingAmount({player.swingPhase, actions.chargeRemaining, actions.chargeLength,
                                actions.chargeHeavy, actions.combatSwing, clock.accumulator});
}

const HeldClip* App::armPose() {
    const InventorySlot& slot = selectedSlot();
    if (slot.id == 0 || slot.count <= 0) return nullptr;
    const render::HeldAction action = render::heldAction(
        {actions.bowDrawing, actions.bowRelease, actions.uses[0].active || actions.uses[1].active, actions.blocking,
         player.swingPhase, actions.chargeRemaining > 0, actions.combatSwing, actions.walkSpeed});
    render::advanceHeldClock(body.heldClock, slot.id, action, player.swingPhase,
                             static_cast<double>(clock.tick) * kTickSeconds + clock.accumulator);
    const HeldClip& clip = voxel::blockDef(slot.id).heldClips[player.thirdPerson ? kThirdPersonClips : 0][action];
    return clip.keys.empty() ? nullptr : &clip;
}

float App::useFraction() const {
    return render::useFraction(actions.uses, clock.tick);
}

float App::bowDrawProgress() const {
    return actions.bowDrawing ? static_cast<float>(drawSeconds(clock.tick, actions.bowDrawStartTick)) : 0.0f;
}

bool App::isHoldingBow() const {
    const InventorySlot& slot = selectedSlot();
    return slot.count > 0 && voxel::blockDef(slot.id).behavior == "bow";
}

bool App::isHoldingShield() const {
    const InventorySlot& slot = selectedSlot();
    return slot.count > 0 && voxel::blockDef(slot.id).behavior == "shield";
}

int32_t App::countItem(uint8_t id) const {
    int32_t total = 0;
    for (const InventorySlot& slot : inventory.hotbar)
        if (slot.id == id) total += std::max(slot.count, 0);
    for (const InventorySlot& slot : inventory.main)
        if (slot.id == id) total += std::max(slot.count, 0);
    return total;
}

content::Float3 App::heldGripPoint(uint8_t item) const {
    return render::heldGripPoint(voxel::blockDef(item));
}

content::Float3 App::heldItemAnchor(const content::Float3& point, uint8_t item, bool thirdPerson) {
    const voxel::BlockDef& def = voxel::blockDef(item);
    const content::Float3 grip = heldGripPoint(item);
    const content::Float3 pivot = thirdPerson ? content::thirdPersonPoint(def, grip) : content::firstPersonPoint(def, grip);
    bbanim::HeldPose pose;
    if (const HeldClip* clip = armPose()) {
        double t = static_cast<double>(clock.tick) * kTickSeconds + clock.accumulator - body.heldClock.start;
        const bool using_ = actions.uses[0].active || actions.uses[1].active;
        if (body.heldClock.lastAction == render::kHeldUse && using_) t = useFraction() * clip->duration;
        // The draw is in seconds; a full draw plays the clip to its end.
        if (body.heldClock.lastAction == render::kHeldBow)
            t = (actions.bowDrawing ? std::min(bowDrawProgress(), 1.0f) : actions.bowRelease) * clip->duration;
        pose = bbanim::sampleHeldClip(*clip, t);
    }
    return bbanim::transformPoint(point, pivot, pose);
}

render::Double3 App::heldModelPoint(const content::Float3& point, uint8_t item) {
    const voxel::BlockDef& def = voxel::blockDef(item);
    content::Float3 q = content::firstPersonPoint(def, point);
    if (armPose()) {
        q = heldItemAnchor(q, item, false);
    } else if (!def.tool.empty()) {
        const content::Float3 grip = content::firstPersonPoint(def, heldGripPoint(item));
        q = render::turnXY(q, grip[0], grip[1], swingAmount() * 0.8);
    }
    return {q[0], q[1], -q[2]};
}

render::Double3 App::firstPersonHandOffset() {
    const InventorySlot& slot = selectedSlot();
    const bool authored = slot.count > 0 && voxel::blockDef(slot.id).firstPersonDisplay.authored;
    const bool bow = isHoldingBow(), shield = isHoldingShield();
    return render::firstPersonHandOffset({armPose() != nullptr, actions.walkPhase, actions.walkSpeed, swingAmount(),
                                          authored, bow, std::min(bowDrawProgress(), 1.0f), shield,
                                          actions.shieldRaise, actions.blockTimer, actions.bowRelease});
}

render::Double3 App::viewToWorld(const render::Double3& local) const {
    return render::viewToWorld(render::viewBasis(player.yaw, player.pitch), {player.x, player.y, player.z}, local);
}

render::Double3 App::handWorldPosition() {
    if (body.armMeshSize != playerMesh.size()) {
        body.arm = render::holdingArmBounds(playerMesh);
        body.armMeshSize = playerMesh.size();
    }
    const bool raised = (isHoldingBow() && actions.bowDrawing) || (isHoldingShield() && actions.blocking);
    return render::handWorldPosition(body.arm, {raised, player.pitch, swingAmount(), actions.walkPhase, actions.walkSpeed},
                                     {player.x, player.y, player.z}, player.yaw);
}
