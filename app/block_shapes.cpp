// Doors, trapdoors, ladders and beds in the loaded world: their support, the player's placement
// with its facing and state, the anchor of two-part blocks and the swing of doors.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "adventure/residents.h"
#include "app/app.h"
#include "world/block_registry.h"
#include "world/shapes.h"

namespace {

constexpr float openAngle = 1.5707964f;
constexpr double swingEpsilon = 0.000001;

bool isSolid(const App& app, int32_t x, int32_t y, int32_t z) {
    return voxel::blockDef(app.blockAt(x, y, z)).solid;
}

bool isOpaque(const App& app, int32_t x, int32_t y, int32_t z) {
    return voxel::blockDef(app.blockAt(x, y, z)).opaque;
}

bool isLoaded(const App& app, int32_t x, int32_t z) {
    return app.findChunk(voxel::floorDiv(x, 16), voxel::floorDiv(z, 16)) != nullptr;
}

bool isReplaceable(uint8_t id) {
    return id == voxel::airId || id == voxel::waterId;
}

// The cell that the player clicked to place against; absent when x is INT32_MIN.
struct ClickedCell {
    int32_t x, y, z;
    bool given() const { return x != INT32_MIN; }
};

// Ladders and wall trapdoors hang on an opaque block; an unloaded wall cannot be checked.
bool wallHolds(const App& app, int32_t x, int32_t y, int32_t z, int32_t facing) {
    const voxel::CellStep wall = voxel::wallStep(facing);
    return !isLoaded(app, x + wall.dx, z + wall.dz) || isOpaque(app, x + wall.dx, y, z + wall.dz);
}

bool bedHolds(const App& app, int32_t x, int32_t y, int32_t z, int32_t facing) {
    const voxel::CellStep second = voxel::bedStep(facing);
    const int32_t sx = x + second.dx, sz = z + second.dz;
    return isSolid(app, x, y - 1, z) && (!isLoaded(app, sx, sz) || isSolid(app, sx, y - 1, sz));
}

// Trapdoor state from where it was clicked; -1 when a wall placement finds no wall.
int32_t trapdoorState(const App& app, int32_t x, int32_t y, int32_t z, uint8_t state, ClickedCell click,
                      float hitHeight) {
    if (click.given() && click.y == y + 1) return state | voxel::stateUpper;
    if (click.given() && click.y == y) {
        for (int32_t k = 0; k < 4; ++k) {
            const voxel::CellStep wall = voxel::wallStep(k);
            if (x + wall.dx != click.x || z + wall.dz != click.z) continue;
            if (!isOpaque(app, click.x, click.y, click.z)) continue;
            return k | voxel::stateWall | (hitHeight > 0.5f ? voxel::stateUpper : 0);
        }
        return -1;
    }
    if (click.given() && click.y == y - 1) return state;
    if (!isSolid(app, x, y - 1, z) && isSolid(app, x, y + 1, z)) return state | voxel::stateUpper;
    return state;
}

// The first facing whose wall is loaded and opaque (and is the clicked cell, when one is given).
int32_t ladderState(const App& app, int32_t x, int32_t y, int32_t z, ClickedCell click) {
    for (int32_t k = 0; k < 4; ++k) {
        const voxel::CellStep wall = voxel::wallStep(k);
        const int32_t wx = x + wall.dx, wz = z + wall.dz;
        if (click.given() && (wx != click.x || y != click.y || wz != click.z)) continue;
        if (isLoaded(app, wx, wz) && isOpaque(app, wx, y, wz)) return k;
    }
    return -1;
}

// The state the block takes, or -1 when its kind cannot stand here.
int32_t placementState(const App& app, int32_t x, int32_t y, int32_t z, const voxel::BlockDef& def,
                       ClickedCell click, float hitHeight) {
    const int32_t kind = voxel::shapeKind(def);
    const uint8_t facing = (def.rotatable || kind != voxel::shapeNone) ? voxel::facingFromYaw(app.player.yaw) : 0;
    switch (kind) {
        case voxel::shapeBed: {
            const voxel::CellStep second = voxel::bedStep(facing);
            const bool fits = y >= 1 && isLoaded(app, x + second.dx, z + second.dz) &&
                              isReplaceable(app.blockAt(x + second.dx, y, z + second.dz));
            return fits ? facing : -1;
        }
        case voxel::shapeDoor:
            return y >= 1 && y + 1 < voxel::chunkHeight && isReplaceable(app.blockAt(x, y + 1, z)) ? facing : -1;
        case voxel::shapeTrapdoor: return trapdoorState(app, x, y, z, facing, click, hitHeight);
        case voxel::shapeLadder: return ladderState(app, x, y, z, click);
        default: return facing;
    }
}

// An NPC's collision half-width: the box figure's own, or the radius fitted to its model.
double npcHalfWidth(const adventure::Npc& npc) {
    return npc.modelResource.empty() ? npc.halfWidth : npc.collisionRadius;
}

// The bodies that a placed block or a swinging door must not pass through: the player, every NPC
// standing in the world and every live mob (a dead one lying on the ground is no obstacle).
std::vector<voxel::Box> bodyBoxes(const App& app) {
    std::vector<voxel::Box> bodies{voxel::playerBox(app.player.x, app.player.y, app.player.z)};
    for (const auto& [key, feet] : app.adventureState.npcPositions) {
        // Residents carry a suffix after the id of the NPC they were made from.
        const adventure::Npc* npc = app.findNpc(adventure::baseIdOf(key));
        if (npc) bodies.push_back(voxel::npcBox(feet[0], feet[1], feet[2], npcHalfWidth(*npc), npc->height));
    }
    for (const Mob& mob : app.entities.mobs) {
        if (mob.health >= 1) bodies.push_back(voxel::mobBox(mob.kind, mob.x, mob.y, mob.z, mob.halfWidth, mob.height));
    }
    return bodies;
}

// Whether the block placed at the cell would overlap the box.
bool overlapsBox(const voxel::Box& box, const voxel::BlockDef& def, int32_t x, int32_t y, int32_t z, uint8_t state) {
    if (!def.solid) return false;
    const int32_t kind = voxel::shapeKind(def);
    if (kind == voxel::shapeNone) return voxel::boxesOverlap(box, voxel::cellBox(x, y, z));
    return voxel::shapeOverlaps(box, {double(x), double(y), double(z)}, kind, state, 0.0, def.door_thickness);
}

bool blocksABody(const App& app, const voxel::BlockDef& def, int32_t x, int32_t y, int32_t z, uint8_t state) {
    for (const voxel::Box& body : bodyBoxes(app)) {
        if (overlapsBox(body, def, x, y, z, state)) return true;
    }
    return false;
}

}  // namespace

bool App::hasShapeSupport(int32_t x, int32_t y, int32_t z, const voxel::BlockDef& def, uint8_t state) const {
    const int32_t facing = state & voxel::stateFacing;
    switch (voxel::shapeKind(def)) {
        case voxel::shapeDoor: return isSolid(*this, x, y - 1, z);
        case voxel::shapeTrapdoor:
            if (state & voxel::stateWall) return wallHolds(*this, x, y, z, facing);
            return (state & voxel::stateUpper) ? isSolid(*this, x, y + 1, z) : isSolid(*this, x, y - 1, z);
        case voxel::shapeLadder: return wallHolds(*this, x, y, z, facing);
        case voxel::shapeBed: return bedHolds(*this, x, y, z, facing);
        default: return true;
    }
}

bool App::placeBlock(int32_t x, int32_t y, int32_t z, uint8_t id, int32_t clickX, int32_t clickY, int32_t clickZ,
                     float hitHeight) {
    // Below the world is refused as well as above it: no chunk has such a cell.
    if (y < 0 || y >= voxel::chunkHeight || !voxel::isValidBlockId(id)) return false;
    const voxel::BlockDef& def = voxel::blockDef(id);
    if (!def.isBlock) return false;
    if (!isReplaceable(blockAt(x, y, z)) || !isLoaded(*this, x, z)) return false;
    const int32_t state = placementState(*this, x, y, z, def, {clickX, clickY, clickZ}, hitHeight);
    if (state < 0) return false;
    const auto chosen = static_cast<uint8_t>(state);
    if (voxel::shapeKind(def) != voxel::shapeNone && !hasShapeSupport(x, y, z, def, chosen)) return false;
    if (blocksABody(*this, def, x, y, z, chosen)) return false;
    editBlock(x, y, z, id, chosen);
    return blockAt(x, y, z) == id;
}

CellKey App::twoPartAnchor(int32_t x, int32_t y, int32_t z) const {
    const uint8_t state = findBlockEntity(x, y, z);
    if (!(state & voxel::stateUpper)) return {x, y, z};
    const int32_t kind = voxel::shapeKind(voxel::blockDef(blockAt(x, y, z)));
    if (kind == voxel::shapeDoor) return {x, y - 1, z};
    if (kind == voxel::shapeBed) {
        const voxel::CellStep second = voxel::bedStep(state & voxel::stateFacing);
        return {x - second.dx, y, z - second.dz};
    }
    return {x, y, z};
}

float App::doorAngle(const CellKey& cell) const {
    if (const auto moving = world.movingDoors.find(cell); moving != world.movingDoors.end()) return moving->second;
    const auto [x, y, z] = cell;
    return (findBlockEntity(x, y, z) & voxel::stateOpen) ? openAngle : 0.0f;
}

bool App::doorSwingBlocked(const CellKey& cell, float from, float to) const {
    const auto [x, y, z] = cell;
    const voxel::BlockDef& def = voxel::blockDef(blockAt(x, y, z));
    const int32_t kind = voxel::shapeKind(def);
    if (kind != voxel::shapeDoor && kind != voxel::shapeTrapdoor) return false;
    const uint8_t state = findBlockEntity(x, y, z);
    const std::vector<voxel::Box> bodies = bodyBoxes(*this);
    for (double angle : voxel::swingSamples(from, to)) {
        for (const voxel::Box& body : bodies) {
            if (voxel::shapeOverlaps(body, {double(x), double(y), double(z)}, kind, state, angle, def.door_thickness)) {
                return true;
            }
        }
    }
    return false;
}

void App::animateDoors(double dt) {
    const double step = std::clamp(dt, 0.0, 0.1);
    for (auto it = world.movingDoors.begin(); it != world.movingDoors.end();) {
        const auto [x, y, z] = it->first;
        const voxel::BlockDef& def = voxel::blockDef(blockAt(x, y, z));
        const int32_t kind = voxel::shapeKind(def);
        const uint8_t state = findBlockEntity(x, y, z);
        const bool upperHalf = kind == voxel::shapeDoor && (state & voxel::stateUpper);
        if ((kind != voxel::shapeDoor && kind != voxel::shapeTrapdoor) || upperHalf) {
            it = world.movingDoors.erase(it);
            continue;
        }
        const double angle = it->second;
        const double target = voxel::doorTarget(state);
        const double next = voxel::swingToward(angle, target, step, def.door_seconds);
        if (doorSwingBlocked(it->first, static_cast<float>(angle), static_cast<float>(next)) &&
            std::abs(next - angle) > swingEpsilon) {
            // Something stands in the way of the closing door: it springs open again.
            setBlockState(x, y, z, state | voxel::stateOpen);
            if (kind == voxel::shapeDoor) setBlockState(x, y + 1, z, state | voxel::stateOpen | voxel::stateUpper);
            world.doorBlockedUntil = (gpu.win ? glfwGetTime() : 0.0) + 2.0;
        } else {
            it->second = static_cast<float>(next);
        }
        if (std::abs(it->second - target) < swingEpsilon) {
            it = world.movingDoors.erase(it);
        } else {
            ++it;
        }
    }
}
