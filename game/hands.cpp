// The player's hands in play: the view ray's target, mining with the left button, using and placing
// with the right, eating held food (drinking: game/potion_drinking.cpp), and using doors, trapdoors,
// beds and the blocks with screens.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "app/app.h"
#include "game/hand_rules.h"
#include "game/mob_rules.h"
#include "world/block_registry.h"
#include "world/shapes.h"

namespace {

constexpr float kMaxHandDelta = 0.25f;  // seconds: a stalled frame digs no further than this
constexpr int32_t kFullFood = 20;
constexpr int32_t kMeleeMode = 0;

double nowOf(const App& app) {
    return app.gpu.win ? glfwGetTime() : 0.0;
}

std::size_t selectedIndex(const App& app) {
    return static_cast<std::size_t>(std::clamp(app.inventory.selected, 0, 8));
}

const voxel::BlockDef* heldDef(const InventorySlot& slot) {
    return slot.count > 0 && voxel::isValidBlockId(slot.id) ? &voxel::blockDef(slot.id) : nullptr;
}

// The screen a block opens when used, if any.
std::optional<ContainerKind> containerKind(const voxel::BlockDef& def) {
    if (def.behavior == "chest") return ContainerKind::Chest;
    if (def.behavior == "furnace") return ContainerKind::Furnace;
    if (def.behavior == "workbench") return ContainerKind::Workbench;
    if (def.behavior == "alchemy") return ContainerKind::Alchemy;
    return std::nullopt;
}

// What a broken block leaves: a ripe crop its yield and seeds, an unripe one its seed, any other
// block its own drop.
std::vector<InventorySlot> dropsOf(const App& app, uint8_t id) {
    for (const content::CropRule& crop : app.rules.crops) {
        const auto stage = std::find(crop.stages.begin(), crop.stages.end(), id);
        if (stage == crop.stages.end()) continue;
        if (stage + 1 != crop.stages.end()) return {{crop.seed, 1, 0}};
        return {{crop.yield, crop.yieldCount, 0}, {crop.seed, crop.seedCount, 0}};
    }
    return {{game::blockDrop(id), 1, 0}};
}

// The cells of a two-part block other than its anchor.
std::vector<CellKey> otherHalves(const App& app, const CellKey& anchor, int32_t kind) {
    const auto [x, y, z] = anchor;
    if (kind == voxel::shapeDoor) return {{x, y + 1, z}};
    if (kind != voxel::shapeBed) return {};
    const voxel::CellStep second = voxel::bedStep(app.findBlockEntity(x, y, z) & voxel::stateFacing);
    return {{x + second.dx, y, z + second.dz}};
}

}  // namespace

game::RayCell App::aimedCell() const {
    const double origin[3] = {player.x, player.y, player.z};
    const double dir[3] = {std::cos(player.yaw) * std::cos(player.pitch), std::sin(player.pitch),
                           std::sin(player.yaw) * std::cos(player.pitch)};
    return game::castRay(origin, dir, game::kHandReach, [this](int32_t x, int32_t y, int32_t z) {
        const uint8_t id = blockAt(x, y, z);
        return id != voxel::airId && id != voxel::waterId;
    });
}

void App::handleUseInput() {
    // The open inventory takes the mouse for its slots.
    if (ui.inventoryOpen) {
        hands.target.mining = false;
        hands.target.progress = 0.0f;
        actions.uses[0].active = actions.uses[1].active = false;
        // Clicks meant for the slots never reach the world, nor does a button held as it closes.
        ui::clearPresses(ui.buttonPresses);
        ui.mouseLeftLatched = ui.mouseRightLatched = true;
        return;
    }
    // A button released since the last screen change frees its latch; until then it does nothing.
    if (!hands.leftHeld) ui.mouseLeftLatched = false;
    if (!hands.rightHeld) ui.mouseRightLatched = false;
    const bool leftClicked = ui::takePresses(ui.buttonPresses, GLFW_MOUSE_BUTTON_LEFT) > 0;
    const bool rightClicked = ui::takePresses(ui.buttonPresses, GLFW_MOUSE_BUTTON_RIGHT) > 0;
    const bool left = (hands.leftHeld && !ui.mouseLeftLatched) || leftClicked;
    const bool right = hands.rightHeld && !ui.mouseRightLatched;
    const float dt = std::clamp(player.frameDelta, 0.0f, kMaxHandDelta);
    const game::RayCell aim = aimedCell();
    mineStep(left, aim, dt);
    const bool rightPressed = rightClicked || (right && !hands.rightWasActive);
    hands.rightWasActive = right;
    if (rightPressed && aim.hit && game::isUsableBlock(blockAt(aim.x, aim.y, aim.z))) {
        useBlock(aim.x, aim.y, aim.z);
        return;
    }
    eatStep(rightPressed, right || rightClicked);
    drinkStep(rightPressed, right || rightClicked);
    if (rightPressed && !actions.uses[0].active && !actions.uses[1].active) placeHeldBlock(aim);
}

void App::mineStep(bool active, const game::RayCell& aim, float dt) {
    MiningTarget& target = hands.target;
    target.aimed = aim.hit;
    if (aim.hit && (target.x != aim.x || target.y != aim.y || target.z != aim.z)) {
        target.x = aim.x, target.y = aim.y, target.z = aim.z;
        target.progress = 0.0f;
    }
    // A mob in reach takes the swing before the block behind it, or with no block in view at all.
    if (!active || meleeRayHit(true, kMeleeMode) || !aim.hit) {
        target.mining = false;
        target.progress = 0.0f;
        return;
    }
    target.mining = true;
    if (player.swingPhase <= 0.0f) player.swingPhase = 0.001f;  // the arm swings while it digs
    const double seconds = game::breakSeconds(blockAt(aim.x, aim.y, aim.z), heldDef(selectedSlot()));
    if (seconds < 0.0) return;
    target.progress += static_cast<float>(dt / std::max(seconds, 0.001));
    if (target.progress < 1.0f) return;
    target.progress = 0.0f;
    breakBlock(aim.x, aim.y, aim.z);
}

void App::breakBlock(int32_t x, int32_t y, int32_t z) {
    const uint8_t id = blockAt(x, y, z);
    if (id == voxel::airId || !voxel::isValidBlockId(id)) return;
    const int32_t kind = voxel::shapeKind(voxel::blockDef(id));
    const CellKey anchor = twoPartAnchor(x, y, z);
    const std::vector<CellKey> halves = otherHalves(*this, anchor, kind);
    // A non-air cell of a loaded chunk always breaks, so the wear is never taken for nothing.
    InventorySlot& held = inventory.hotbar[selectedIndex(*this)];
    const voxel::BlockDef* tool = heldDef(held);
    if (tool && !tool->tool.empty() && game::wearTool(held, tool->durability))
        showToast(U"ИНСТРУМЕНТ СЛОМАН");
    applyEdit(std::get<0>(anchor), std::get<1>(anchor), std::get<2>(anchor), voxel::airId, 0);
    for (const auto& [hx, hy, hz] : halves) {
        if (blockAt(hx, hy, hz) == id) applyEdit(hx, hy, hz, voxel::airId, 0);
    }
    if (blockAt(x, y, z) == voxel::airId) {
        adventure::noteMinedBlock(adventureState.standing.quests, id);
        for (const InventorySlot& drop : dropsOf(*this, id))
            dropItem(drop.id, drop.count, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.25f,
                     static_cast<float>(z) + 0.5f);
    }
    // One save for the halves, the worn tool, the block's item and the quests that counted it: a
    // crash right after never keeps the dug block without its item.
    saveActionFiles({.blocks = true, .quests = true});
}

bool App::placeHeldBlock(const game::RayCell& aim) {
    InventorySlot& slot = inventory.hotbar[selectedIndex(*this)];
    const voxel::BlockDef* def = heldDef(slot);
    if (!aim.hit || !def || !def->isBlock) return false;
    // Taken from the slot before the edit saves the inventory, and given back when nothing was placed,
    // so that the saved files never hold the block twice.
    const InventorySlot before = slot;
    if (--slot.count <= 0) slot = InventorySlot{};
    if (placeBlock(aim.px, aim.py, aim.pz, before.id, aim.x, aim.y, aim.z, aim.hitHeight)) return true;
    slot = before;
    return false;
}

void App::eatStep(bool pressed, bool held) {
    TimedUse& use = actions.uses[0];
    const auto selected = static_cast<int32_t>(selectedIndex(*this));
    const InventorySlot& slot = selectedSlot();
    const auto food = rules.food.find(slot.id);
    const bool edible = slot.count > 0 && food != rules.food.end();
    if (!held || !edible || (use.active && use.slot != selected)) {
        use.active = false;
        return;
    }
    if (pressed && !use.active && player.food[0] < kFullFood) use = {true, selected, clock.tick};
    if (!use.active || useFraction() < 1.0f) return;
    player.food[0] = std::min(kFullFood, player.food[0] + food->second);
    InventorySlot& eaten = inventory.hotbar[static_cast<std::size_t>(use.slot)];
    if (--eaten.count <= 0) eaten = InventorySlot{};
    use.active = false;
    saveActionFiles({.player = true});
}

bool App::useBlock(int32_t x, int32_t y, int32_t z) {
    const uint8_t id = blockAt(x, y, z);
    if (!voxel::isValidBlockId(id)) return false;
    const voxel::BlockDef& def = voxel::blockDef(id);
    const int32_t kind = voxel::shapeKind(def);
    const CellKey anchor = twoPartAnchor(x, y, z);
    if (kind == voxel::shapeDoor || kind == voxel::shapeTrapdoor) {
        toggleDoor(anchor);
        return true;
    }
    if (kind == voxel::shapeBed) return sleepInBed(anchor);
    const std::optional<ContainerKind> container = containerKind(def);
    if (!container) return false;
    if (*container == ContainerKind::Chest) fillStructureChest({x, y, z});
    openContainerScreen(*container, {x, y, z});
    return true;
}

void App::toggleDoor(const CellKey& anchor) {
    const auto [x, y, z] = anchor;
    // The swing starts from where the door is now, even mid-swing.
    const float angle = doorAngle(anchor);
    const auto state = static_cast<uint8_t>(findBlockEntity(x, y, z) ^ voxel::stateOpen);
    // An edit like any other: undone, shared with the peers and saved; a door's upper half follows.
    editBlock(x, y, z, blockAt(x, y, z), state);
    world.movingDoors[anchor] = angle;
}

bool App::sleepInBed(const CellKey& anchor) {
    // Asked again at the wake-up mark: the bed still standing is all that counts then.
    if (sleepStart >= 0.0) return true;
    if (!game::isNight(clock.timeOfDay)) {
        showToast(U"СПАТЬ МОЖНО ТОЛЬКО НОЧЬЮ");
        return false;
    }
    hasBed = true;
    std::tie(bedX, bedY, bedZ) = anchor;
    woken = false;
    sleepStart = nowOf(*this);
    hands.target = MiningTarget{};
    actions.uses[0].active = actions.uses[1].active = false;
    return true;
}

