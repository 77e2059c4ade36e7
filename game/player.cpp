#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "app/chunk_window.h"
#include "game/movement.h"
#include "world/block_registry.h"
#include "world/terrain_columns.h"
#include "world/shapes.h"

namespace {

constexpr float kMouseSensitivity = 0.0025f;  // radians per pixel
constexpr float kPitchLimit = 1.55f;
constexpr float kMaxFrameDelta = 0.25f;  // a long stall must not fling the player

voxel::Box shifted(const voxel::Box& box, int32_t x, int32_t y, int32_t z) {
    return {{box.min.x + x, box.min.y + y, box.min.z + z}, {box.max.x + x, box.max.y + y, box.max.z + z}};
}

voxel::Box clippedToCell(const voxel::Box& box, int32_t x, int32_t y, int32_t z) {
    const voxel::Box cell = voxel::cellBox(x, y, z);
    return {
        {std::max(box.min.x, cell.min.x), std::max(box.min.y, cell.min.y), std::max(box.min.z, cell.min.z)},
        {std::min(box.max.x, cell.max.x), std::min(box.max.y, cell.max.y), std::min(box.max.z, cell.max.z)}};
}

// A shaped block's part by its state and swing angle. A door's panel spans both of its cells and
// belongs to the lower half, so the upper half shows its part of the lower half's panel.
voxel::Box shapedBox(const App& app, const voxel::BlockDef& def, int32_t kind, int32_t x, int32_t y,
                     int32_t z) {
    int32_t anchorY = y;
    if (kind == voxel::shapeDoor && (app.findBlockEntity(x, y, z) & voxel::stateUpper)) anchorY = y - 1;
    const uint8_t state = app.findBlockEntity(x, anchorY, z);
    const bool swings = kind == voxel::shapeDoor || kind == voxel::shapeTrapdoor;
    const double angle = swings ? app.doorAngle({x, anchorY, z}) : 0.0;
    const voxel::Box part = game::shapeCollisionBounds(kind, state, angle, def.door_thickness);
    return clippedToCell(shifted(part, x, anchorY, z), x, y, z);
}

void setBox(game::MoveCell& cell, const voxel::Box& box) {
    cell.hasBox = box.min.x < box.max.x && box.min.y < box.max.y && box.min.z < box.max.z;
    cell.box = box;
}

// The movement view of a cell. Cells of chunks that are not loaded yet, and those below the world,
// are solid, so the player never falls out of the world while chunks stream in.
game::MoveCell movementCell(const App& app, int32_t x, int32_t y, int32_t z) {
    game::MoveCell cell;
    if (y >= voxel::chunkHeight) return cell;
    const uint8_t id = y < 0 ? voxel::airId : app.blockAt(x, y, z);
    const bool loaded = app.findChunk(voxel::floorDiv(x, 16), voxel::floorDiv(z, 16)) != nullptr;
    if (y < 0 || !loaded || !voxel::isValidBlockId(id)) {
        setBox(cell, voxel::cellBox(x, y, z));
        cell.liftsOut = loaded;
        return cell;
    }
    if (id == voxel::waterId) {
        cell.water = true;
        return cell;
    }
    const voxel::BlockDef& def = voxel::blockDef(id);
    const int32_t kind = voxel::shapeKind(def);
    cell.ladder = kind == voxel::shapeLadder;
    if (def.behavior == "updraft") cell.updraftLift = def.updraft_lift;
    if (!def.solid) return cell;
    cell.liftsOut = kind == voxel::shapeNone;
    setBox(cell, cell.liftsOut ? shifted(game::blockCollisionBounds(def), x, y, z)
                               : shapedBox(app, def, kind, x, y, z));
    return cell;
}

// Keys to a wish direction: forward follows the yaw.
game::MoveInput readMoveInput(const App& app, bool flying) {
    // The keys typed into the open chat entry move nobody.
    const bool typing = app.ui.textEntryActive;
    const auto held = [&](GLFWwindow* win, int key) { return win && !typing && glfwGetKey(win, key) == GLFW_PRESS; };
    GLFWwindow* win = app.gpu.win;
    const double forwardX = std::cos(app.player.yaw), forwardZ = std::sin(app.player.yaw);
    double moveX = 0.0, moveZ = 0.0;
    if (held(win, GLFW_KEY_W)) moveX += forwardX, moveZ += forwardZ;
    if (held(win, GLFW_KEY_S)) moveX -= forwardX, moveZ -= forwardZ;
    if (held(win, GLFW_KEY_D)) moveX -= forwardZ, moveZ += forwardX;
    if (held(win, GLFW_KEY_A)) moveX += forwardZ, moveZ -= forwardX;
    const double length = std::hypot(moveX, moveZ);
    game::MoveInput input;
    if (length > 0.0) input.wishX = moveX / length, input.wishZ = moveZ / length;
    input.jump = held(win, GLFW_KEY_SPACE);
    input.sneak = held(win, GLFW_KEY_LEFT_SHIFT);
    input.fast = held(win, GLFW_KEY_LEFT_CONTROL);
    input.flying = flying;
    input.walkFactor = game::walkSpeedFactor(app.potionEffects);
    if (const voxel::BlockDef* glider = app.hasGliderEquipped()) {
        input.glider = true;
        input.glideSpeed = glider->glide_speed;
        input.glideSink = glider->glide_sink;
    }
    return input;
}

// A coordinate moved by other code since the last step replaces the body's; otherwise the body's
// own double keeps the exact resting height that the float eye position would round away.
double followed(double own, float shown) {
    return static_cast<float>(own) == shown ? own : static_cast<double>(shown);
}

}  // namespace

void App::updatePlayer() {
    const double now = glfwGetTime();
    player.frameDelta = static_cast<float>(now - player.inputClock);
    player.inputClock = now;
    const float dt = std::clamp(player.frameDelta, 0.0f, kMaxFrameDelta);

    double mouseX = 0.0, mouseY = 0.0;
    glfwGetCursorPos(gpu.win, &mouseX, &mouseY);
    if (player.resetMouseLook) {
        player.resetMouseLook = false;
    } else {
        player.yaw += static_cast<float>(mouseX - player.lastMouseX) * kMouseSensitivity;
        player.pitch =
            std::clamp(player.pitch - static_cast<float>(mouseY - player.lastMouseY) * kMouseSensitivity,
                       -kPitchLimit, kPitchLimit);
    }
    player.lastMouseX = mouseX;
    player.lastMouseY = mouseY;

    movePlayer(takeMoveInput(), dt);
    updatePlayerChunk();
}

game::MoveInput App::takeMoveInput() {
    if (game::takeDoubleTaps(motion.flightTap) % 2 == 1) motion.flying = !motion.flying;
    game::MoveInput input = readMoveInput(*this, motion.flying);
    // At a few frames a second a quick tap of Space is over before the frame reads the key.
    const bool tapped = ui::takePresses(ui.keyPresses, GLFW_KEY_SPACE) > 0;
    input.jump = input.jump || (tapped && !ui.textEntryActive);
    return input;
}

void App::movePlayer(const game::MoveInput& input, double dt) {
    // While the ground under the player is still streaming in, the body waits in the air.
    if (!findChunk(core::chunkOf(player.x), core::chunkOf(player.z))) {
        player.velocityX = player.velocityY = player.velocityZ = 0.0f;
        return;
    }
    game::Body body = motion.body;
    body.x = followed(body.x, player.x);
    body.y = followed(body.y + game::kEyeHeight, player.y) - game::kEyeHeight;
    body.z = followed(body.z, player.z);
    body.vx = followed(body.vx, player.velocityX);
    body.vy = followed(body.vy, player.velocityY);
    body.vz = followed(body.vz, player.velocityZ);
    body = game::stepBody(body, input, dt,
                          [this](int32_t x, int32_t y, int32_t z) { return movementCell(*this, x, y, z); });
    motion.body = body;
    player.x = static_cast<float>(body.x);
    player.y = static_cast<float>(body.y + game::kEyeHeight);
    player.z = static_cast<float>(body.z);
    player.velocityX = static_cast<float>(body.vx);
    player.velocityY = static_cast<float>(body.vy);
    player.velocityZ = static_cast<float>(body.vz);
}

const voxel::BlockDef* App::hasGliderEquipped() const {
    const InventorySlot& slot = player.armor[1];
    if (slot.count < 1 || !voxel::isValidBlockId(slot.id)) return nullptr;
    const voxel::BlockDef& def = voxel::blockDef(slot.id);
    return def.behavior == "glider" ? &def : nullptr;
}

void App::updatePlayerChunk() {
    const int32_t cx = core::chunkOf(player.x), cz = core::chunkOf(player.z);
    if (cx == player.chunkX && cz == player.chunkZ) return;
    player.chunkX = cx;
    player.chunkZ = cz;
    // A new chunk may lie in a region or biome the player has not been to: exploring pays once.
    const int32_t x = static_cast<int32_t>(std::floor(player.x)), z = static_cast<int32_t>(std::floor(player.z));
    const auto [rx, rz] = adventure::regionOf(x, z);
    const voxel::GenerationContext context{files.seed, generationStage, world.profile};
    const int32_t reward =
        adventure::noteExplored(combat.progression, {dimension, rx, rz}, voxel::biomeId(context, x, z), rules.rpg);
    adventure::addExperience(combat.progression, reward);
}
