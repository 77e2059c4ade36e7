#pragma once
// Geometry of the blocks that move and are drawn each frame instead of in the chunk meshes: doors,
// trapdoors, ladders, beds, lids on hinges and the fire of burning furnaces. Pure functions of a
// block's definition, cell, state and angle; the App gathers those and uploads the result.
#include <cstdint>
#include <vector>

#include "render/chunks/mesh_vertex.h"
#include "world/block_registry.h"

namespace render {

// Blocks with a moving part (and furnace fires) farther than this, horizontally, are not drawn.
inline constexpr double kFunctionalRadius = 48.0;
inline constexpr uint64_t kSignaturePrime = 0x100000001B3ull;
inline constexpr uint64_t kSignatureSeed = 0x14650FB0739D0383ull;
// The functional buffer starts at this size and doubles.
inline constexpr uint64_t kFunctionalMinimumBytes = 16384;

// One functional block as it is drawn this frame.
struct FunctionalBlock {
    int32_t x = 0, y = 0, z = 0;
    uint8_t id = 0;
    uint8_t state = 0;
    double angle = 0.0;  // door or trapdoor swing, or the lid angle of a moving-part block
};

// h' = (h XOR v) x prime, wrapping.
uint64_t mixSignature(uint64_t h, int64_t v);
// The start of every signature: light revision and hitbox display.
uint64_t signatureStart(uint64_t lightRevision, bool hitboxes);
// Mixes the record, its state and the bit pattern of its angle (as f32).
uint64_t mixFunctionalBlock(uint64_t h, const FunctionalBlock& block);

// Shaped kinds are always drawn; other functional blocks only within the radius.
bool functionalIncluded(const voxel::BlockDef& def, double horizontalDistance);
// Eased lid angle in radians from the lid progress 0..1.
double lidAngle(double progress, double lidDegrees);

// Appends the block's geometry (with its hitbox outline when asked); light fields are left at 1/0.
void emitFunctionalBlock(std::vector<MeshVertex>& out, const voxel::BlockDef& def, const FunctionalBlock& block,
                         bool hitboxes);
// The fire in the opening of a burning furnace at (x, y, z); t is world time in seconds.
void emitFurnaceFire(std::vector<MeshVertex>& out, int32_t x, int32_t y, int32_t z, uint8_t id,
                     int32_t fireMaterial, double t);

// Capacity for `bytes` grown from `capacity`: at least 16 KiB, doubled until it holds them.
uint64_t functionalCapacity(uint64_t capacity, uint64_t bytes);

}  // namespace render
