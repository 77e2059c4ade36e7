#pragma once
// The per-frame geometry of small moving things as plain functions: dropped items placed from their
// cached block mesh, arrows oriented along their flight, hit sparks as cubes, and the world light
// stamped into every vertex. The App's dynamic pass calls these; nothing here needs a device.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "game/entities.h"
#include "render/chunks/chunk_mesher.h"
#include "render/chunks/mesh_vertex.h"
#include "render/figures/colour_box.h"
#include "world/block_registry.h"

namespace render {

// Nothing is drawn under a menu other than this screen (the one that keeps the world visible).
inline constexpr int32_t kWorldVisibleScreen = 14;
inline constexpr double kArrowScale = 0.75;

struct DynamicPassGate {
    bool menuOpen = false;
    int32_t screen = 0;
    bool anyEntity = false;  // items, arrows, mobs, sparks or NPC positions
    bool showHitboxes = false;
};
bool dynamicPassRuns(const DynamicPassGate& gate);

// Interpolation factor of dropped items: a LAN guest measures from the last dropped-item message
// (0.2 s), anyone else from the world-step accumulator (0.05 s); clamped to 0..1.
double droppedItemAlpha(bool lanGuest, double now, double lastMessage, double accumulator);

// floor(value) as a cell index, saturated to int32 (NaN gives the lowest) so that any position from
// the network is safe to index with.
int32_t floorCell(float value);

struct ItemPose {
    double x = 0.0, y = 0.0, z = 0.0;
    double phase = 0.0;
};
// Between previous and current values only when the item's previous values are valid.
ItemPose droppedItemPose(const DroppedItem& item, double alpha);

// The one-block mesh of id, as the chunk emitter builds it for a lone cell at the origin.
BlockFaces itemMesh(uint8_t id);
// The cached mesh at 0.28 of a block, spun and bobbing at the pose, in index order.
void emitDroppedItem(std::vector<MeshVertex>& list, const BlockFaces& mesh, const ItemPose& pose);

struct ArrowBasis {
    Double3 right{};
    Double3 up{};
};
// A right vector that stays valid for arrows flying straight up or down.
ArrowBasis arrowBasis(const Double3& facing);
// The model along the facing vector, its +z axis pointing backwards; layers are those of id.
void emitArrowVertices(std::vector<MeshVertex>& list, const std::vector<ModelVertex>& model, uint8_t id,
                       const Double3& position, const Double3& facing, double scale);

double sparkHalfSize(int32_t life);
void emitSparkCubes(std::vector<MeshVertex>& list, const std::vector<HitSpark>& sparks, double alpha);

struct CellLight {
    float sky = 0.0f;
    float block = 0.0f;
};
// Light by cell for one stamping run: open addressing in a power-of-two table that keeps its
// storage between runs, and a run stamp that empties it without touching the slots.
class LightCache {
public:
    void clear();
    const CellLight* find(int32_t x, int32_t y, int32_t z) const;
    void insert(int32_t x, int32_t y, int32_t z, CellLight light);
    std::size_t size() const { return used_; }

private:
    struct Slot {
        int32_t x = 0, y = 0, z = 0;
        uint32_t run = 0;  // the slot is live when this equals the cache's run
        CellLight light;
    };
    std::size_t home(int32_t x, int32_t y, int32_t z) const;
    void grow();
    std::vector<Slot> slots_;
    std::size_t mask_ = 0;  // slots_.size() - 1
    uint32_t run_ = 1;
    std::size_t used_ = 0;
};
using LightLookup = std::function<CellLight(int32_t x, int32_t y, int32_t z)>;

// Above the world is full sky, below it dark; in between each cell is looked up at most once per
// run (the cache is emptied first) and not at all for a vertex in the same cell as the one before.
void stampVertexLight(std::vector<MeshVertex>& list, LightCache& cache, const LightLookup& lookup);

// The dynamic buffer only grows, to at least twice its size, so a busy scene settles on one buffer.
uint64_t dynamicBufferCapacity(uint64_t capacity, uint64_t bytes);

}  // namespace render
