#include "game/hand_rules.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string_view>

#include "world/shapes.h"

namespace game {

namespace {

// How hard a block is: seconds by hand, and the tool class that breaks it four times as fast.
struct Hardness {
    double seconds;
    std::string_view tool;
};

constexpr double kUnbreakable = -1.0;
constexpr double kMatchingToolFactor = 0.25;

// Built-in ids 0..12 in id order.
constexpr std::array<Hardness, voxel::builtinBlockCount> kBuiltinHardness{{
    {kUnbreakable, ""},  // air
    {0.6, ""},           // grass
    {0.5, ""},           // dirt
    {1.5, "pickaxe"},    // stone
    {0.5, ""},           // sand
    {kUnbreakable, ""},  // water
    {kUnbreakable, ""},  // bedrock
    {2.0, "axe"},        // oak_log
    {0.2, "hoe"},        // oak_leaves
    {3.0, "pickaxe"},    // coal_ore
    {3.0, "pickaxe"},    // iron_ore
    {3.0, "pickaxe"},    // gold_ore
    {3.0, "pickaxe"},    // diamond_ore
}};

// Content blocks by behaviour: wooden furniture wants an axe, the stone furnace a pickaxe; anything
// a body walks through (flowers, torches, crops) breaks at once.
Hardness contentHardness(const voxel::BlockDef& def) {
    if (!def.solid) return {0.05, ""};
    if (def.behavior == "furnace") return {2.5, "pickaxe"};
    for (std::string_view wooden : {"door", "trapdoor", "ladder", "bed", "chest", "workbench", "alchemy"}) {
        if (def.behavior == wooden) return {1.5, "axe"};
    }
    return {1.0, ""};
}

// Distance along the ray to the first boundary of the cell on one axis, and between boundaries.
struct AxisWalk {
    int32_t step;
    double next;
    double delta;
};

AxisWalk axisWalk(double origin, double dir, int32_t cell) {
    constexpr double kFar = std::numeric_limits<double>::infinity();
    if (dir > 0.0) return {1, (cell + 1 - origin) / dir, 1.0 / dir};
    if (dir < 0.0) return {-1, (origin - cell) / -dir, -1.0 / dir};
    return {0, kFar, kFar};
}

}  // namespace

RayCell castRay(const double origin[3], const double dir[3], double reach,
                const std::function<bool(int32_t, int32_t, int32_t)>& stops) {
    RayCell out;
    const double length = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
    if (!(length > 0.0) || !std::isfinite(length)) return out;
    const double d[3] = {dir[0] / length, dir[1] / length, dir[2] / length};
    int32_t cell[3];
    AxisWalk walk[3];
    for (int i = 0; i < 3; ++i) {
        cell[i] = static_cast<int32_t>(std::floor(origin[i]));
        walk[i] = axisWalk(origin[i], d[i], cell[i]);
    }
    int32_t previous[3] = {cell[0], cell[1], cell[2]};
    double t = 0.0;
    while (t <= reach) {
        if (stops(cell[0], cell[1], cell[2])) {
            out = {true, cell[0], cell[1], cell[2], previous[0], previous[1], previous[2], 0.0f};
            const double height = origin[1] + d[1] * t - cell[1];
            out.hitHeight = static_cast<float>(std::clamp(height, 0.0, 1.0));
            return out;
        }
        const int axis = walk[0].next < walk[1].next ? (walk[0].next < walk[2].next ? 0 : 2)
                                                     : (walk[1].next < walk[2].next ? 1 : 2);
        std::copy(cell, cell + 3, previous);
        t = walk[axis].next;
        cell[axis] += walk[axis].step;
        walk[axis].next += walk[axis].delta;
    }
    return out;
}

double breakSeconds(uint8_t block, const voxel::BlockDef* held) {
    if (!voxel::isValidBlockId(block)) return kUnbreakable;
    const Hardness hardness =
        block < voxel::builtinBlockCount ? kBuiltinHardness[block] : contentHardness(voxel::blockDef(block));
    if (hardness.seconds < 0.0) return kUnbreakable;
    const bool matching = held && !hardness.tool.empty() && held->tool == hardness.tool;
    return matching ? hardness.seconds * kMatchingToolFactor : hardness.seconds;
}

uint8_t blockDrop(uint8_t block) {
    constexpr uint8_t kGrass = 1, kDirt = 2;
    // Grass loses its turf when dug; every other block comes away whole.
    return block == kGrass ? kDirt : block;
}

bool wearTool(InventorySlot& slot, int32_t durability) {
    if (durability <= 0 || slot.count <= 0) return false;
    if (++slot.wear < durability) return false;
    slot = InventorySlot{};
    return true;
}

bool isUsableBlock(uint8_t id) {
    if (!voxel::isValidBlockId(id)) return false;
    const voxel::BlockDef& def = voxel::blockDef(id);
    static constexpr std::string_view windows[] = {"chest", "furnace", "workbench", "alchemy"};
    const int32_t shape = voxel::shapeKind(def);
    return shape == voxel::shapeDoor || shape == voxel::shapeTrapdoor || shape == voxel::shapeBed ||
           std::find(std::begin(windows), std::end(windows), def.behavior) != std::end(windows);
}

}  // namespace game
