#include "render/chunks/chunk_mesher.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include "world/block_registry.h"

namespace voxel {

float waterSurfaceHeight(const Chunk& chunk, int32_t x, int32_t y, int32_t z) {
    const auto ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y), uz = static_cast<uint32_t>(z);
    if (chunk.get(ux, uy + 1, uz) == waterId) return 1.0f;
    if (chunk.waterLevels.empty() || !insideChunk(ux, uy, uz)) return 0.94f;
    const uint8_t level = chunk.waterLevels[cellIndex(ux, uy, uz)];
    if (level == 0) return 0.94f;
    if (level >= 8) return 1.0f;  // nothing stores more than 8; treat it as full rather than nearly empty
    return std::max(1.0f - static_cast<float>(level) * 0.125f, 0.15f);
}

}  // namespace voxel

namespace render {

namespace {

// The chunk is copied with a one-cell border (x and z -1..16, y -1..128) so that every neighbour
// the mesher reads is one array access: the border holds the side chunks' edge cells, air above and
// below the world and in the diagonal corners.
constexpr int32_t padSide = 18;
constexpr int32_t padLayer = padSide * padSide;
constexpr std::size_t padCells = static_cast<std::size_t>(padLayer) * 130;

constexpr int32_t padIndex(int32_t x, int32_t y, int32_t z) {
    return ((y + 1) * padSide + (z + 1)) * padSide + (x + 1);
}

// Offsets in the padded arrays of one step along x, y and z.
constexpr int32_t axisStep[3] = {1, padLayer, padSide};

constexpr uint8_t modelEntry = 0x40;  // bit of a visible-cell entry: mesh the block's model

// Faces in a six-bit face mask.
constexpr std::array<uint8_t, 64> faceCounts = [] {
    std::array<uint8_t, 64> counts{};
    for (std::size_t mask = 0; mask < 64; ++mask) counts[mask] = static_cast<uint8_t>(std::popcount(mask));
    return counts;
}();

struct FaceDef {
    int32_t dir[3];
    int32_t corners[4][3];  // unit corners
    float shade;
    int32_t axis1, axis2;  // tangent axes of corner sampling (0 x, 1 y, 2 z)
};

// Top, bottom, north, south, east, west: the order of the texture layers.
constexpr FaceDef faceDefs[6] = {
    {{0, 1, 0}, {{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}}, 1.0f, 0, 2},
    {{0, -1, 0}, {{0, 0, 1}, {0, 0, 0}, {1, 0, 0}, {1, 0, 1}}, 0.7f, 0, 2},
    {{0, 0, -1}, {{1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {1, 1, 0}}, 0.9f, 0, 1},
    {{0, 0, 1}, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}, 0.9f, 0, 1},
    {{1, 0, 0}, {{1, 0, 1}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}}, 0.81f, 2, 1},
    {{-1, 0, 0}, {{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0}}, 0.81f, 2, 1},
};

// Texture coordinates of corners 0..3: top and bottom, then the four sides.
const float cornerUv[2][4][2] = {
    {{0, 0}, {0, 1}, {1, 1}, {1, 0}},
    {{0, 1}, {1, 1}, {1, 0}, {0, 0}},
};

// (dx, dz) after 0..3 quarter turns of (1, 0) and (0, 1): a turn maps (dx, dz) to (-dz, dx).
const int32_t quarterTurns[4][2][2] = {
    {{1, 0}, {0, 1}},
    {{0, 1}, {-1, 0}},
    {{-1, 0}, {0, -1}},
    {{0, -1}, {1, 0}},
};

// The two side steps of one face corner, from the face cell toward the corner.
struct CornerSteps {
    int32_t pad1, pad2;  // padded offsets
    int32_t x1, z1, x2, z2;  // the same steps in local x and z, for the diagonal test
};

using CornerTable = std::array<std::array<CornerSteps, 4>, 6>;

CornerTable buildCornerTable() {
    CornerTable table{};
    for (int face = 0; face < 6; ++face) {
        const FaceDef& def = faceDefs[face];
        for (int k = 0; k < 4; ++k) {
            const int32_t sign1 = def.corners[k][def.axis1] == 0 ? -1 : 1;
            const int32_t sign2 = def.corners[k][def.axis2] == 0 ? -1 : 1;
            CornerSteps& steps = table[face][k];
            steps.pad1 = sign1 * axisStep[def.axis1];
            steps.pad2 = sign2 * axisStep[def.axis2];
            steps.x1 = def.axis1 == 0 ? sign1 : 0;
            steps.z1 = def.axis1 == 2 ? sign1 : 0;
            steps.x2 = def.axis2 == 0 ? sign2 : 0;
            steps.z2 = def.axis2 == 2 ? sign2 : 0;
        }
    }
    return table;
}

const CornerTable cornerTable = buildCornerTable();

constexpr int32_t faceStep(int face) {
    const int32_t* d = faceDefs[face].dir;
    return d[0] * axisStep[0] + d[1] * axisStep[1] + d[2] * axisStep[2];
}

constexpr int32_t faceSteps[6] = {faceStep(0), faceStep(1), faceStep(2), faceStep(3), faceStep(4), faceStep(5)};

// A cell of a diagonal chunk: outside 0..15 on both x and z.
bool inDiagonalChunk(int32_t x, int32_t z) {
    return static_cast<uint32_t>(x) > 15 && static_cast<uint32_t>(z) > 15;
}

float skyOf(uint32_t light) { return static_cast<float>(light & 15) / 15.0f; }
float blockOf(uint32_t light) { return static_cast<float>(light >> 4) / 15.0f; }

// What the mesher needs of each id, read from the registry once per chunk.
struct BlockTraits {
    const voxel::BlockDef* def = nullptr;  // null beyond the registry
    bool model = false;
    bool bed = false;
    bool doorLike = false;  // doors and trapdoors, drawn each frame elsewhere
    uint32_t wind = 0;
    std::array<float, 6> layers{};
};

// One cell being meshed.
struct CellAt {
    int32_t x, y, z;
    int32_t pad;      // index in the padded arrays
    int32_t worldX;   // 16 cx + x
    int32_t worldZ;   // 16 cz + z
    uint8_t id;
};

class Mesher {
public:
    BlockFaces run(const voxel::Chunk& chunk, const SideChunks& sides, MeshOptions options);

private:
    void loadTraits();
    void copyCells();
    void copyLight();
    void checkBorderIds() const;
    std::size_t findVisibleCells(std::size_t& modelVertices);
    uint8_t cubeFaceMask(const CellAt& cell) const;
    uint32_t hideWaterFaces(const CellAt& cell, uint32_t mask) const;
    float waterHeight(const voxel::Chunk& owner, int32_t x, int32_t y, int32_t z, int32_t pad) const;
    float neighbourWaterHeight(const CellAt& cell, int face) const;
    void emitCell(uint32_t entry);
    void emitFace(const CellAt& cell, int face, float ownHeight, float neighbourHeight);
    void appendQuad(const MeshVertex (&quad)[4]);
    void sampleCorner(const CellAt& cell, int face, int corner, MeshVertex& vertex) const;
    void emitModel(const CellAt& cell, uint8_t state);
    bool modelTriangleCulled(const CellAt& cell, uint8_t faceClass, uint32_t facing) const;
    uint8_t modelTriangleLight(const CellAt& cell, std::size_t triangle, uint32_t facing) const;
    void turnModel(std::size_t first, const CellAt& cell, uint32_t facing);

    const voxel::Chunk* chunk_ = nullptr;
    SideChunks sides_;
    MeshOptions options_;
    bool anyWaterLevels_ = false;
    BlockFaces* out_ = nullptr;

    std::vector<uint8_t> cells_ = std::vector<uint8_t>(padCells);
    std::vector<uint8_t> light_ = std::vector<uint8_t>(padCells);
    std::vector<uint32_t> visible_;  // cell index << 8 | face bits (or modelEntry)
    std::array<BlockTraits, 256> traits_{};
    std::array<uint8_t, 256> opaque_{};
    // Solid blocks that fill their cell: their own face lies on the square a water face would take.
    std::array<uint8_t, 256> fillsCell_{};
};

BlockFaces Mesher::run(const voxel::Chunk& chunk, const SideChunks& sides, MeshOptions options) {
    chunk_ = &chunk;
    sides_ = sides;
    options_ = options;
    anyWaterLevels_ = false;
    for (const voxel::Chunk* c : {&chunk, sides.north, sides.south, sides.east, sides.west}) {
        anyWaterLevels_ = anyWaterLevels_ || (c != nullptr && !c->waterLevels.empty());
    }
    loadTraits();
    copyCells();
    checkBorderIds();
    copyLight();

    std::size_t modelVertices = 0;
    const std::size_t faces = findVisibleCells(modelVertices);
    BlockFaces result;
    result.vertices.reserve(faces * 4 + modelVertices);
    result.indices.reserve(faces * 6 + modelVertices);
    result.tied.reserve(faces * 2 + modelVertices / 3);
    out_ = &result;
    for (uint32_t entry : visible_) emitCell(entry);
    out_ = nullptr;
    return result;
}

void Mesher::loadTraits() {
    const std::size_t count = voxel::blockCount();
    for (std::size_t id = 0; id < 256; ++id) {
        BlockTraits& traits = traits_[id];
        traits = BlockTraits{};
        opaque_[id] = 0;
        fillsCell_[id] = 0;
        if (id >= count) continue;
        const voxel::BlockDef& def = voxel::blockDef(static_cast<uint8_t>(id));
        traits.def = &def;
        traits.model = !def.modelVertices.empty();
        traits.bed = def.behavior == "bed";
        traits.doorLike = def.behavior == "door" || def.behavior == "trapdoor";
        traits.wind = def.wind_animation;
        for (uint32_t face = 0; face < 6; ++face) {
            traits.layers[face] = static_cast<float>(voxel::textureLayer(static_cast<uint8_t>(id), face));
        }
        opaque_[id] = def.opaque ? 1 : 0;
        fillsCell_[id] = id != voxel::waterId && def.solid && (!traits.model || def.fullCube) ? 1 : 0;
    }
}

void Mesher::copyCells() {
    std::fill(cells_.begin(), cells_.end(), voxel::airId);
    const voxel::Chunk& chunk = *chunk_;
    for (int32_t y = 0; y < 128; ++y) {
        for (int32_t z = 0; z < 16; ++z) {
            std::memcpy(&cells_[padIndex(0, y, z)], &chunk.cells[voxel::cellIndex(0, y, z)], 16);
            if (sides_.west) cells_[padIndex(-1, y, z)] = sides_.west->cells[voxel::cellIndex(15, y, z)];
            if (sides_.east) cells_[padIndex(16, y, z)] = sides_.east->cells[voxel::cellIndex(0, y, z)];
        }
        if (sides_.north) std::memcpy(&cells_[padIndex(0, y, -1)], &sides_.north->cells[voxel::cellIndex(0, y, 15)], 16);
        if (sides_.south) std::memcpy(&cells_[padIndex(0, y, 16)], &sides_.south->cells[voxel::cellIndex(0, y, 0)], 16);
    }
}

// An id the registry does not know fails as any lookup of it would. The chunk's own cells are
// checked as they are walked; this checks the cells copied from the side chunks.
void Mesher::checkBorderIds() const {
    uint8_t highest = 0;
    for (int32_t y = 0; y < 128; ++y) {
        for (int32_t i = 0; i < 16; ++i) {
            highest = std::max({highest, cells_[padIndex(-1, y, i)], cells_[padIndex(16, y, i)],
                                cells_[padIndex(i, y, -1)], cells_[padIndex(i, y, 16)]});
        }
    }
    if (highest >= voxel::blockCount()) voxel::blockDef(highest);
}

void copyLightRow(uint8_t* to, const voxel::Chunk& from, std::size_t index, std::size_t count) {
    if (from.light.empty()) {
        std::memset(to, 15, count);
    } else {
        std::memcpy(to, &from.light[index], count);
    }
}

// Light around the chunk: an absent chunk is dark, above the world is open sky, below it is dark.
void Mesher::copyLight() {
    std::fill(light_.begin(), light_.end(), uint8_t{0});
    const voxel::Chunk& chunk = *chunk_;
    for (int32_t y = 0; y < 128; ++y) {
        for (int32_t z = 0; z < 16; ++z) {
            copyLightRow(&light_[padIndex(0, y, z)], chunk, voxel::cellIndex(0, y, z), 16);
            if (sides_.west) copyLightRow(&light_[padIndex(-1, y, z)], *sides_.west, voxel::cellIndex(15, y, z), 1);
            if (sides_.east) copyLightRow(&light_[padIndex(16, y, z)], *sides_.east, voxel::cellIndex(0, y, z), 1);
        }
        if (sides_.north) copyLightRow(&light_[padIndex(0, y, -1)], *sides_.north, voxel::cellIndex(0, y, 15), 16);
        if (sides_.south) copyLightRow(&light_[padIndex(0, y, 16)], *sides_.south, voxel::cellIndex(0, y, 0), 16);
    }
    for (int32_t z = -1; z <= 16; ++z) {
        for (int32_t x = -1; x <= 16; ++x) {
            const voxel::Chunk* owner = x < 0    ? sides_.west
                                        : x > 15 ? sides_.east
                                        : z < 0  ? sides_.north
                                        : z > 15 ? sides_.south
                                                 : chunk_;
            light_[padIndex(x, 128, z)] = owner ? 15 : 0;
        }
    }
}

// Lists the cells that produce geometry, in mesh order, and counts their faces so that the
// output lists are allocated once.
std::size_t Mesher::findVisibleCells(std::size_t& modelVertices) {
    visible_.clear();
    std::size_t faces = 0;
    const voxel::Chunk& chunk = *chunk_;
    const bool hasStates = !chunk.states.empty();
    uint32_t index = 0;
    for (int32_t y = 0; y < 128; ++y) {
        for (int32_t z = 0; z < 16; ++z) {
            int32_t pad = padIndex(0, y, z);
            for (int32_t x = 0; x < 16; ++x, ++index, ++pad) {
                const uint8_t id = cells_[pad];
                if (id == voxel::airId) continue;
                const BlockTraits& traits = traits_[id];
                if (traits.def == nullptr) voxel::blockDef(id);
                if (traits.bed && hasStates && (chunk.states[index] & 8) != 0) continue;
                if (options_.staticOnly && traits.doorLike) continue;
                if (traits.model) {
                    visible_.push_back(index << 8 | modelEntry);
                    modelVertices += traits.def->modelVertices.size();
                    continue;
                }
                const uint8_t mask = cubeFaceMask(CellAt{x, y, z, pad, 0, 0, id});
                if (mask == 0) continue;
                visible_.push_back(index << 8 | mask);
                faces += faceCounts[mask];
            }
        }
    }
    return faces;
}

// Faces are hidden by opaque neighbours, and water by water whose surface is as high or higher.
// Most cells are buried or open on every side alike, so the opaque test is branch-free.
uint8_t Mesher::cubeFaceMask(const CellAt& cell) const {
    const uint8_t* around = &cells_[cell.pad];
    const auto open = [&](int face) -> uint32_t { return (opaque_[around[faceSteps[face]]] ^ 1u) << face; };
    uint32_t mask = open(0) | open(1) | open(2) | open(3) | open(4) | open(5);
    if (cell.id == voxel::waterId && mask != 0) mask = hideWaterFaces(cell, mask);
    return static_cast<uint8_t>(mask);
}

// Water also hides a face that would lie on the face of a solid block filling the cell beside it
// (paving under shallow water, a plaster wall beside it): drawn after that face at the same depth,
// it would fight it in stripes. Its top lies on that square only when the water is full height.
uint32_t Mesher::hideWaterFaces(const CellAt& cell, uint32_t mask) const {
    float ownHeight = -1.0f;  // worked out when first needed
    const auto own = [&] {
        if (ownHeight < 0.0f) ownHeight = waterHeight(*chunk_, cell.x, cell.y, cell.z, cell.pad);
        return ownHeight;
    };
    for (int face = 0; face < 6; ++face) {
        const uint8_t beside = cells_[cell.pad + faceSteps[face]];
        if (beside == voxel::waterId) {
            if (face >= 2 && neighbourWaterHeight(cell, face) < own()) continue;
        } else if (fillsCell_[beside] == 0 || (face == 0 && own() < 1.0f)) {
            continue;
        }
        mask &= ~(1u << face);
    }
    return mask;
}

// The surface height rule of voxel::waterSurfaceHeight, with the cell above read from the padded
// copy. The padded layer above the world is air, as the chunk reads above its top.
float Mesher::waterHeight(const voxel::Chunk& owner, int32_t x, int32_t y, int32_t z, int32_t pad) const {
    if (cells_[pad + padLayer] == voxel::waterId) return 1.0f;
    if (owner.waterLevels.empty()) return 0.94f;
    return voxel::waterSurfaceHeight(owner, x, y, z);
}

// Height of the water beside a cell, read from the chunk that holds it (a side face only).
float Mesher::neighbourWaterHeight(const CellAt& cell, int face) const {
    const int32_t pad = cell.pad + faceSteps[face];
    if (!anyWaterLevels_) return cells_[pad + padLayer] == voxel::waterId ? 1.0f : 0.94f;
    int32_t x = cell.x + faceDefs[face].dir[0];
    int32_t z = cell.z + faceDefs[face].dir[2];
    const voxel::Chunk* owner = chunk_;
    if (x < 0) {
        owner = sides_.west, x += 16;
    } else if (x > 15) {
        owner = sides_.east, x -= 16;
    } else if (z < 0) {
        owner = sides_.north, z += 16;
    } else if (z > 15) {
        owner = sides_.south, z -= 16;
    }
    return owner ? waterHeight(*owner, x, cell.y, z, pad) : 0.0f;
}

void Mesher::emitCell(uint32_t entry) {
    const uint32_t index = entry >> 8;
    const auto x = static_cast<int32_t>(index & 15), z = static_cast<int32_t>((index >> 4) & 15);
    const auto y = static_cast<int32_t>(index >> 8);
    const int32_t pad = padIndex(x, y, z);
    const CellAt cell{x, y, z, pad, 16 * chunk_->cx + x, 16 * chunk_->cz + z, cells_[pad]};
    if ((entry & modelEntry) != 0) {
        emitModel(cell, chunk_->states.empty() ? uint8_t{0} : chunk_->states[index]);
        out_->tied.resize(out_->indices.size() / 3, 1);
        return;
    }
    const bool water = cell.id == voxel::waterId;
    const float ownHeight = water ? waterHeight(*chunk_, x, y, z, pad) : 0.0f;
    for (int face = 0; face < 6; ++face) {
        if ((entry & (1u << face)) == 0) continue;
        const bool besideWater = water && face >= 2 && cells_[pad + faceSteps[face]] == voxel::waterId;
        emitFace(cell, face, ownHeight, besideWater ? neighbourWaterHeight(cell, face) : 0.0f);
    }
}

void Mesher::emitFace(const CellAt& cell, int face, float ownHeight, float neighbourHeight) {
    const FaceDef& def = faceDefs[face];
    const BlockTraits& traits = traits_[cell.id];
    const uint8_t faceLight = light_[cell.pad + faceSteps[face]];
    const bool water = cell.id == voxel::waterId;
    const bool openAbove = cells_[cell.pad + padLayer] != voxel::waterId;
    const float(&uv)[4][2] = cornerUv[face < 2 ? 0 : 1];
    MeshVertex quad[4];

    for (int k = 0; k < 4; ++k) {
        const int32_t* q = def.corners[k];
        MeshVertex& v = quad[k];
        v.x = static_cast<float>(cell.worldX + q[0]);
        v.z = static_cast<float>(cell.worldZ + q[2]);
        if (water) {
            v.y = static_cast<float>(cell.y) + (q[1] > 0 ? ownHeight : neighbourHeight);
        } else {
            v.y = static_cast<float>(cell.y + q[1]);
        }
        v.r = v.g = v.b = def.shade;
        v.u = uv[k][0];
        v.v = uv[k][1];
        v.layer = traits.layers[face];
        v.sky = skyOf(faceLight);
        v.block = blockOf(faceLight);
        if (water && ((q[1] > 0 && openAbove) || (q[1] == 0 && neighbourHeight > 0.0f))) v.motion = 1.0f;
        if (options_.smoothLight || options_.cornerShade) sampleCorner(cell, face, k, v);
        if (traits.wind != 0) {
            const float weight = traits.wind == 2 ? 1.0f : std::clamp(v.y - static_cast<float>(cell.y), 0.0f, 1.0f);
            v.motion = -(static_cast<float>(cell.id) + 1.0f + 0.9f * weight);
        }
    }
    appendQuad(quad);
    const uint8_t beside = cells_[cell.pad + faceSteps[face]];
    out_->tied.resize(out_->indices.size() / 3, beside != voxel::airId && beside != voxel::waterId ? 1 : 0);
}

void Mesher::appendQuad(const MeshVertex (&quad)[4]) {
    std::vector<MeshVertex>& vertices = out_->vertices;
    const auto base = static_cast<uint32_t>(vertices.size());
    vertices.insert(vertices.end(), quad, quad + 4);

    // Split the quad along the brighter diagonal so corner shading does not crease it.
    const bool flip = options_.cornerShade && quad[0].r + quad[2].r > quad[1].r + quad[3].r;
    static const uint32_t plain[6] = {0, 1, 2, 0, 2, 3};
    static const uint32_t flipped[6] = {0, 1, 3, 1, 2, 3};
    const uint32_t* order = flip ? flipped : plain;
    const uint32_t indices[6] = {base + order[0], base + order[1], base + order[2],
                                 base + order[3], base + order[4], base + order[5]};
    out_->indices.insert(out_->indices.end(), indices, indices + 6);
}

void Mesher::sampleCorner(const CellAt& cell, int face, int corner, MeshVertex& vertex) const {
    const CornerSteps& steps = cornerTable[face][corner];
    const int32_t faceCell = cell.pad + faceSteps[face];
    const bool side1 = opaque_[cells_[faceCell + steps.pad1]] != 0;
    const bool side2 = opaque_[cells_[faceCell + steps.pad2]] != 0;
    const bool diagonal = opaque_[cells_[faceCell + steps.pad1 + steps.pad2]] != 0;

    if (options_.smoothLight) {
        const int32_t fx = cell.x + faceDefs[face].dir[0], fz = cell.z + faceDefs[face].dir[2];
        const uint32_t own = light_[faceCell];
        uint32_t sky = 2 * (own & 15), block = 2 * (own >> 4), count = 2;
        auto add = [&](int32_t offset, int32_t dx, int32_t dz) {
            if (inDiagonalChunk(fx + dx, fz + dz)) return;
            const uint32_t light = light_[faceCell + offset];
            sky += light & 15;
            block += light >> 4;
            ++count;
        };
        if (!side1) add(steps.pad1, steps.x1, steps.z1);
        if (!side2) add(steps.pad2, steps.x2, steps.z2);
        if (!side1 && !side2 && !diagonal) add(steps.pad1 + steps.pad2, steps.x1 + steps.x2, steps.z1 + steps.z2);
        const auto scale = static_cast<float>(count * 15);
        vertex.sky = static_cast<float>(sky) / scale;
        vertex.block = static_cast<float>(block) / scale;
    }
    if (options_.cornerShade) {
        const int occlusion = side1 && side2 ? 3 : int{side1} + int{side2} + int{diagonal};
        vertex.r = vertex.g = vertex.b = vertex.r * (1.0f - 0.08f * static_cast<float>(occlusion));
    }
}

void Mesher::emitModel(const CellAt& cell, uint8_t state) {
    const voxel::BlockDef& def = *traits_[cell.id].def;
    const uint32_t facing = state & 3u;
    const std::vector<ModelVertex>& model = def.modelVertices;
    const std::size_t first = out_->vertices.size();
    const float minY = def.modelBounds[1];
    const float spanY = std::max(def.modelBounds[4] - minY, 0.001f);
    bool culled = false;
    uint8_t light = 0;

    for (std::size_t k = 0; k < model.size(); ++k) {
        const std::size_t triangle = k / 3;
        if (k % 3 == 0) {
            const uint8_t faceClass =
                triangle < def.triangleFaces.size() ? def.triangleFaces[triangle] : voxel::unclassifiedTriangle;
            culled = modelTriangleCulled(cell, faceClass, facing);
            light = modelTriangleLight(cell, triangle, facing);
        }
        const ModelVertex& m = model[k];
        if (options_.staticOnly && m.part != 0) continue;
        if (culled) continue;

        out_->indices.push_back(static_cast<uint32_t>(out_->vertices.size()));
        MeshVertex v;
        v.x = static_cast<float>(cell.worldX) + m.x;
        v.y = static_cast<float>(cell.y) + m.y;
        v.z = static_cast<float>(cell.worldZ) + m.z;
        v.r = v.g = v.b = m.shade;
        v.u = m.u;
        v.v = m.v;
        v.layer = static_cast<float>(voxel::textureLayer(cell.id, static_cast<uint32_t>(m.texture)));
        v.sky = skyOf(light);
        v.block = blockOf(light);
        if (def.wind_animation != 0) {
            const float weight = def.wind_animation == 2 ? 1.0f : std::clamp((m.y - minY) / spanY, 0.0f, 1.0f);
            v.motion = -(static_cast<float>(cell.id) + 1.0f + 0.9f * weight * weight);
        }
        out_->vertices.push_back(v);
    }
    if (facing != 0) turnModel(first, cell, facing);
}

// A triangle lying on a face of the cell is hidden like a cube face: by an opaque neighbour, or,
// for a full-cube model that light passes through, by the same block.
bool Mesher::modelTriangleCulled(const CellAt& cell, uint8_t faceClass, uint32_t facing) const {
    if (faceClass >= 6) return false;
    const int32_t* dir = faceDefs[faceClass].dir;
    const int32_t(&turn)[2][2] = quarterTurns[facing];
    const int32_t dx = dir[0] * turn[0][0] + dir[2] * turn[1][0];
    const int32_t dz = dir[0] * turn[0][1] + dir[2] * turn[1][1];
    const uint8_t neighbour = cells_[cell.pad + dx + dir[1] * padLayer + dz * padSide];
    if (opaque_[neighbour]) return true;
    const voxel::BlockDef& def = *traits_[cell.id].def;
    return def.fullCube && !def.opaque && neighbour == cell.id;
}

// An opaque model has no light inside it: each triangle takes the light of the cell it faces.
uint8_t Mesher::modelTriangleLight(const CellAt& cell, std::size_t triangle, uint32_t facing) const {
    const voxel::BlockDef& def = *traits_[cell.id].def;
    if (!def.opaque) return light_[cell.pad];
    const std::vector<ModelVertex>& model = def.modelVertices;
    const ModelVertex& a = model[3 * triangle];
    const ModelVertex& b = 3 * triangle + 1 < model.size() ? model[3 * triangle + 1] : a;
    const ModelVertex& c = 3 * triangle + 2 < model.size() ? model[3 * triangle + 2] : a;
    const float e1[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
    const float e2[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
    float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const float centre[3] = {(a.x + b.x + c.x) / 3.0f - 0.5f, (a.y + b.y + c.y) / 3.0f - 0.5f,
                             (a.z + b.z + c.z) / 3.0f - 0.5f};
    if (centre[0] * n[0] + centre[1] * n[1] + centre[2] * n[2] < 0.0f) {
        for (float& component : n) component = -component;
    }
    int32_t step[3] = {0, 0, 0};
    const float ax = std::fabs(n[0]), ay = std::fabs(n[1]), az = std::fabs(n[2]);
    const int axis = ay >= ax && ay >= az ? 1 : ax >= az ? 0 : 2;
    step[axis] = n[axis] >= 0.0f ? 1 : -1;
    const int32_t(&turn)[2][2] = quarterTurns[facing];
    const int32_t dx = step[0] * turn[0][0] + step[2] * turn[1][0];
    const int32_t dz = step[0] * turn[0][1] + step[2] * turn[1][1];
    return light_[cell.pad + dx + step[1] * padLayer + dz * padSide];
}

// Turns the cell's model vertices about the cell's vertical centre line, in double precision.
void Mesher::turnModel(std::size_t first, const CellAt& cell, uint32_t facing) {
    const double angle = static_cast<double>(facing) * 1.5707963267948966;
    const double cosine = std::cos(angle), sine = std::sin(angle);
    const double bx = cell.worldX, bz = cell.worldZ;
    for (std::size_t k = first; k < out_->vertices.size(); ++k) {
        MeshVertex& v = out_->vertices[k];
        const double px = v.x - bx - 0.5, pz = v.z - bz - 0.5;
        v.x = static_cast<float>(px * cosine - pz * sine + 0.5 + bx);
        v.z = static_cast<float>(px * sine + pz * cosine + 0.5 + bz);
    }
}

}  // namespace

BlockFaces emitBlockFaces(const voxel::Chunk& chunk, const SideChunks& sides, MeshOptions options) {
    thread_local Mesher mesher;
    return mesher.run(chunk, sides, options);
}

}  // namespace render
