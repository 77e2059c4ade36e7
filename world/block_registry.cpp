#include "world/block_registry.h"

#include <cmath>
#include <stdexcept>

namespace voxel {

namespace {

struct BuiltinBlock {
    const char* name;
    const char* top;
    const char* bottom;
    const char* side;
    bool solid;
    bool opaque;
};

const BuiltinBlock builtinBlocks[builtinBlockCount] = {
    {"air", "air", "air", "air", false, false},
    {"grass", "grass_top", "dirt", "grass_side", true, true},
    {"dirt", "dirt", "dirt", "dirt", true, true},
    {"stone", "stone", "stone", "stone", true, true},
    {"sand", "sand", "sand", "sand", true, true},
    {"water", "water", "water", "water", false, false},
    {"bedrock", "bedrock", "bedrock", "bedrock", true, true},
    {"oak_log", "oak_log_top", "oak_log_top", "oak_log_side", true, true},
    {"oak_leaves", "oak_leaves", "oak_leaves", "oak_leaves", true, false},
    {"coal_ore", "coal_ore", "coal_ore", "coal_ore", true, true},
    {"iron_ore", "iron_ore", "iron_ore", "iron_ore", true, true},
    {"gold_ore", "gold_ore", "gold_ore", "gold_ore", true, true},
    {"diamond_ore", "diamond_ore", "diamond_ore", "diamond_ore", true, true},
};

constexpr uint8_t leavesId = 8;
constexpr float classifyTolerance = 0.00001f;

std::vector<BlockDef> builtinDefinitions() {
    std::vector<BlockDef> defs;
    for (const BuiltinBlock& block : builtinBlocks) {
        BlockDef def;
        def.name = block.name;
        def.faces = {block.top, block.bottom, block.side, block.side, block.side, block.side};
        def.solid = block.solid;
        def.opaque = block.opaque;
        defs.push_back(std::move(def));
    }
    defs[leavesId].wind_animation = 2;
    defs[leavesId].wind_strength = 0.035f;
    return defs;
}

float coordinate(const ModelVertex& v, int axis) {
    return axis == 0 ? v.x : axis == 1 ? v.y : v.z;
}

bool allAt(const ModelVertex* tri, int axis, float value) {
    for (int i = 0; i < 3; ++i) {
        if (!(std::fabs(coordinate(tri[i], axis) - value) < classifyTolerance)) return false;
    }
    return true;
}

bool insideUnitBox(const ModelVertex& v) {
    for (int axis = 0; axis < 3; ++axis) {
        const float c = coordinate(v, axis);
        if (c < -classifyTolerance || c > 1.0f + classifyTolerance) return false;
    }
    return true;
}

bool onUnitGrid(const ModelVertex& v) {
    for (int axis = 0; axis < 3; ++axis) {
        const float c = coordinate(v, axis);
        if (!(std::fabs(c) < classifyTolerance || std::fabs(c - 1.0f) < classifyTolerance)) return false;
    }
    return true;
}

// The face plane a triangle lies in, checked top, bottom, z = 0, z = 1, x = 1, x = 0.
struct FacePlane {
    int axis;
    float value;
};
const FacePlane facePlanes[6] = {{1, 1.0f}, {1, 0.0f}, {2, 0.0f}, {2, 1.0f}, {0, 1.0f}, {0, 0.0f}};

uint8_t classifyTriangle(const ModelVertex* tri) {
    for (int i = 0; i < 3; ++i) {
        if (tri[i].part != 0 || !insideUnitBox(tri[i])) return unclassifiedTriangle;
    }
    for (uint8_t face = 0; face < 6; ++face) {
        if (allAt(tri, facePlanes[face].axis, facePlanes[face].value)) return face;
    }
    return unclassifiedTriangle;
}

}  // namespace

std::vector<BlockDef>& blockRegistry() {
    static std::vector<BlockDef> registry = builtinDefinitions();
    return registry;
}

const BlockDef& blockDef(uint8_t id) {
    const std::vector<BlockDef>& registry = blockRegistry();
    if (id >= registry.size()) throw std::out_of_range("invalid block ID");
    return registry[id];
}

std::size_t blockCount() {
    return blockRegistry().size();
}

bool isValidBlockId(uint32_t id) {
    return id < blockRegistry().size();
}

int32_t blockIntField(uint8_t id) {
    return id == 0 ? 0 : blockDef(id).max_stack;
}

uint32_t textureLayer(uint8_t id, uint32_t face) {
    return id >= builtinBlockCount ? id * 7u + 37u + face : id * 6u + face;
}

const std::string& faceTexture(uint8_t id, uint8_t face) {
    const BlockDef& def = blockDef(id);
    if (face >= def.faces.size()) throw std::out_of_range("invalid block face");
    return def.faces[face];
}

uint8_t findCustomBlock(const std::string& name) {
    const std::vector<BlockDef>& registry = blockRegistry();
    for (std::size_t id = builtinBlockCount; id < registry.size(); ++id) {
        if (registry[id].available && registry[id].id == name) return static_cast<uint8_t>(id);
    }
    return 0;
}

BlockDef missingResource() {
    BlockDef def;
    def.name = "MISSING RESOURCE";
    def.available = false;
    def.solid = true;
    return def;
}

void classifyModel(BlockDef& def) {
    const std::size_t triangles = def.modelVertices.size() / 3;
    def.triangleFaces.assign(triangles, unclassifiedTriangle);
    int counts[6] = {0, 0, 0, 0, 0, 0};
    for (std::size_t k = 0; k < triangles; ++k) {
        const uint8_t face = classifyTriangle(&def.modelVertices[3 * k]);
        def.triangleFaces[k] = face;
        if (face != unclassifiedTriangle) ++counts[face];
    }
    bool cube = def.modelVertices.size() == 36;
    for (int face = 0; face < 6; ++face) cube = cube && counts[face] == 2;
    for (const ModelVertex& v : def.modelVertices) cube = cube && onUnitGrid(v);
    def.fullCube = cube;
}

void registerBlock(uint32_t id, BlockDef def) {
    classifyModel(def);
    if (id < builtinBlockCount || id >= maxBlockCount)
        throw std::out_of_range("Custom resource ID outside 13..255");
    std::vector<BlockDef>& registry = blockRegistry();
    if (id >= registry.size()) registry.resize(id + 1, missingResource());
    registry[id] = std::move(def);
}

void resetBlockRegistry() {
    blockRegistry() = builtinDefinitions();
}

}  // namespace voxel
