#include "render/figures/dynamic_geometry.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

#include "render/figures/box_corners.h"
#include "render/figures/held_item.h"
#include "world/chunk.h"

namespace render {

namespace {

constexpr double kItemSize = 0.28;
constexpr double kItemSpin = 1.3;  // radians per unit of phase
constexpr double kItemBobRate = 3.0;
constexpr double kItemBobHeight = 0.04;
constexpr double kItemLift = 0.05;

Double3 cross(const Double3& a, const Double3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

CellLight lightOfCell(int32_t x, int32_t y, int32_t z, LightCache& cache, const LightLookup& lookup) {
    if (y >= voxel::chunkHeight) return {1.0f, 0.0f};
    if (y < 0) return {0.0f, 0.0f};
    if (const CellLight* known = cache.find(x, y, z)) return *known;
    const CellLight light = lookup(x, y, z);
    cache.insert(x, y, z, light);
    return light;
}

// The last four cells met, replaced in turn: a box's vertices go back and forth between its
// corners' cells, which these hold all but a few percent of the time, before the table is asked.
class RecentCells {
public:
    CellLight light(int32_t x, int32_t y, int32_t z, LightCache& cache, const LightLookup& lookup) {
        for (const Entry& e : entries_) {
            if (e.used && e.x == x && e.y == y && e.z == z) return e.light;
        }
        entries_[next_] = {x, y, z, true, lightOfCell(x, y, z, cache, lookup)};
        const CellLight light = entries_[next_].light;
        next_ = (next_ + 1) % kCount;
        return light;
    }

private:
    static constexpr int kCount = 4;
    struct Entry {
        int32_t x = 0, y = 0, z = 0;
        bool used = false;
        CellLight light;
    };
    Entry entries_[kCount];
    int next_ = 0;
};

// The light of a vertex's cell: the last cell's again, else one of the recent cells, then the
// table, then the lookup.
class VertexLight {
public:
    VertexLight(LightCache& cache, const LightLookup& lookup) : cache_(cache), lookup_(lookup) {}
    CellLight of(const MeshVertex& v) {
        const int32_t x = floorCell(v.x), y = floorCell(v.y), z = floorCell(v.z);
        if (!known_ || x != x_ || y != y_ || z != z_) {
            light_ = recent_.light(x, y, z, cache_, lookup_);
            known_ = true;
            x_ = x;
            y_ = y;
            z_ = z;
        }
        return light_;
    }

private:
    LightCache& cache_;
    const LightLookup& lookup_;
    bool known_ = false;
    int32_t x_ = 0, y_ = 0, z_ = 0;
    CellLight light_;
    RecentCells recent_;
};

void stampCell(MeshVertex& v, const CellLight& light) {
    v.sky = light.sky;
    v.block = light.block;
    v.motion = 0.0f;
}

// The corner of each of a box's 36 vertices in the colour-box emitters' order, and the first
// vertex at each corner.
constexpr std::array<int, kBoxVertices> kVertexCorner = [] {
    std::array<int, kBoxVertices> corner{};
    for (int j = 0; j < kBoxVertices; ++j) corner[j] = kBoxFaceCorners[j / 6][kFaceTriangles[j % 6]];
    return corner;
}();
constexpr std::array<int, 8> kCornerFirst = [] {
    std::array<int, 8> first{};
    for (int j = kBoxVertices - 1; j >= 0; --j) first[kVertexCorner[j]] = j;
    return first;
}();
// Each vertex's corner's first vertex: the position it must repeat.
constexpr std::array<int, kBoxVertices> kRepeats = [] {
    std::array<int, kBoxVertices> first{};
    for (int j = 0; j < kBoxVertices; ++j) first[j] = kCornerFirst[kVertexCorner[j]];
    return first;
}();

uint32_t positionDifference(const MeshVertex& a, const MeshVertex& b) {
    return (std::bit_cast<uint32_t>(a.x) ^ std::bit_cast<uint32_t>(b.x)) |
           (std::bit_cast<uint32_t>(a.y) ^ std::bit_cast<uint32_t>(b.y)) |
           (std::bit_cast<uint32_t>(a.z) ^ std::bit_cast<uint32_t>(b.z));
}

// Whether the 36 vertices from first repeat eight positions as a colour box does. Equal positions
// share a cell, so such a run is lit by its corners whatever drew it and however it was moved since.
bool isBoxRun(const MeshVertex* first) {
    // Two corners met again in other faces turn most other runs away at once; then face by face,
    // as item meshes are made of two-triangle faces too.
    if ((positionDifference(first[3], first[0]) | positionDifference(first[12], first[0])) != 0) return false;
    for (int face = 0; face < 6; ++face) {
        uint32_t difference = 0;
        for (int j = face * 6; j < face * 6 + 6; ++j) difference |= positionDifference(first[j], first[kRepeats[j]]);
        if (difference != 0) return false;
    }
    return true;
}

}  // namespace

void LightCache::clear() {
    used_ = 0;
    if (++run_ != 0) return;
    // After four billion runs the stamp wraps: the old slots must not look live again.
    for (Slot& slot : slots_) slot.run = 0;
    run_ = 1;
}

std::size_t LightCache::home(int32_t x, int32_t y, int32_t z) const {
    uint64_t h = static_cast<uint32_t>(x) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3D27D4EB4Full;
    h ^= static_cast<uint32_t>(z) * 0x165667B19E3779F9ull;
    return static_cast<std::size_t>(h ^ (h >> 32)) & mask_;
}

const CellLight* LightCache::find(int32_t x, int32_t y, int32_t z) const {
    if (slots_.empty()) return nullptr;
    for (std::size_t i = home(x, y, z);; i = (i + 1) & mask_) {
        const Slot& slot = slots_[i];
        if (slot.run != run_) return nullptr;
        if (slot.x == x && slot.y == y && slot.z == z) return &slot.light;
    }
}

// At most half full, so every probe ends at a free slot.
void LightCache::insert(int32_t x, int32_t y, int32_t z, CellLight light) {
    if (2 * (used_ + 1) > slots_.size()) grow();
    std::size_t i = home(x, y, z);
    while (slots_[i].run == run_) i = (i + 1) & mask_;
    slots_[i] = {x, y, z, run_, light};
    ++used_;
}

void LightCache::grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 256 : old.size() * 2, Slot{});
    mask_ = slots_.size() - 1;
    const uint32_t live = run_;
    run_ = 1;
    used_ = 0;
    for (const Slot& slot : old) {
        if (slot.run == live) insert(slot.x, slot.y, slot.z, slot.light);
    }
}

int32_t floorCell(float value) {
    // Truncation, stepped down for negative fractions: cheaper per vertex than std::floor here.
    if (!(value >= -2147483648.0f)) return std::numeric_limits<int32_t>::min();
    if (value >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
    const auto truncated = static_cast<int32_t>(value);
    return truncated - (value < static_cast<float>(truncated) ? 1 : 0);
}

bool dynamicPassRuns(const DynamicPassGate& gate) {
    if (gate.menuOpen && gate.screen != kWorldVisibleScreen) return false;
    return gate.anyEntity || gate.showHitboxes;
}

double droppedItemAlpha(bool lanGuest, double now, double lastMessage, double accumulator) {
    const double alpha = lanGuest ? (now - lastMessage) / 0.2 : accumulator / 0.05;
    return std::clamp(alpha, 0.0, 1.0);
}

ItemPose droppedItemPose(const DroppedItem& item, double alpha) {
    if (!item.interpolate) return {item.x, item.y, item.z, item.phase};
    const auto mix = [alpha](float from, float to) { return from + (static_cast<double>(to) - from) * alpha; };
    return {mix(item.prevX, item.x), mix(item.prevY, item.y), mix(item.prevZ, item.z), mix(item.prevPhase, item.phase)};
}

BlockFaces itemMesh(uint8_t id) {
    voxel::Chunk scratch(0, 0);
    scratch.cells[0] = id;
    // Doors and other moving parts are part of the item, so the whole model is kept.
    return emitBlockFaces(scratch, SideChunks{}, MeshOptions{false, true, true});
}

void emitDroppedItem(std::vector<MeshVertex>& list, const BlockFaces& mesh, const ItemPose& pose) {
    const double cs = std::cos(pose.phase * kItemSpin), sn = std::sin(pose.phase * kItemSpin);
    const double lift = std::sin(pose.phase * kItemBobRate) * kItemBobHeight + kItemLift;
    for (const uint32_t index : mesh.indices) {
        MeshVertex v = mesh.vertices[index];
        const double ox = (v.x - 0.5) * kItemSize, oz = (v.z - 0.5) * kItemSize;
        v.x = static_cast<float>(pose.x + ox * cs - oz * sn);
        v.y = static_cast<float>(pose.y + (v.y - 0.5) * kItemSize + lift);
        v.z = static_cast<float>(pose.z + ox * sn + oz * cs);
        list.push_back(v);
    }
}

ArrowBasis arrowBasis(const Double3& facing) {
    const Double3 hint = std::abs(facing[1]) > 0.95 ? Double3{1.0, 0.0, 0.0} : Double3{0.0, 1.0, 0.0};
    const Double3 side = cross(hint, facing);
    const double length = std::sqrt(side[0] * side[0] + side[1] * side[1] + side[2] * side[2]);
    const Double3 right =
        length <= 1e-10 ? Double3{1.0, 0.0, 0.0} : Double3{side[0] / length, side[1] / length, side[2] / length};
    return {right, cross(facing, right)};
}

void emitArrowVertices(std::vector<MeshVertex>& list, const std::vector<ModelVertex>& model, uint8_t id,
                       const Double3& position, const Double3& facing, double scale) {
    const ArrowBasis basis = arrowBasis(facing);
    for (const ModelVertex& m : model) {
        const double a = (m.x - 0.5) * scale, b = (m.y - 0.5) * scale, c = m.z * scale;
        Double3 world{};
        for (int k = 0; k < 3; ++k) world[k] = position[k] + basis.right[k] * a + basis.up[k] * b - facing[k] * c;
        list.push_back(heldVertex(m, id, world));
    }
}

double sparkHalfSize(int32_t life) { return std::min(life, 8) * 0.002 + 0.018; }

void emitSparkCubes(std::vector<MeshVertex>& list, const std::vector<HitSpark>& sparks, double alpha) {
    for (const HitSpark& s : sparks) {
        const Double3 centre{alpha * s.x + (1.0 - alpha) * s.prevX, alpha * s.y + (1.0 - alpha) * s.prevY,
                             alpha * s.z + (1.0 - alpha) * s.prevZ};
        const double h = sparkHalfSize(s.life);
        emitColourBox(list, {-h, -h, -h}, {h, h, h}, centre, 0.0, {s.r, s.g, s.b}, true);
    }
}

void stampVertexLight(std::vector<MeshVertex>& list, LightCache& cache, const LightLookup& lookup) {
    cache.clear();
    VertexLight light(cache, lookup);
    const std::size_t count = list.size();
    std::size_t i = 0;
    while (i < count) {
        MeshVertex* first = list.data() + i;
        if (count - i >= kBoxVertices && isBoxRun(first)) {
            // Eight lights for the 36 vertices, spread without a branch on the cell.
            CellLight corners[8];
            for (int k = 0; k < 8; ++k) corners[k] = light.of(first[kCornerFirst[k]]);
            for (int j = 0; j < kBoxVertices; ++j) stampCell(first[j], corners[kVertexCorner[j]]);
            i += kBoxVertices;
        } else {
            stampCell(*first, light.of(*first));
            ++i;
        }
    }
}

uint64_t dynamicBufferCapacity(uint64_t capacity, uint64_t bytes) {
    return bytes > capacity ? std::max(bytes, 2 * capacity) : capacity;
}

}  // namespace render
