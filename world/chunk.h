#pragma once
// One loaded column of the world: 16 x 16 x 128 cells with their light, water levels and the
// state bytes of functional blocks.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace voxel {

inline constexpr int32_t chunkSize = 16;
inline constexpr int32_t chunkHeight = 128;
inline constexpr std::size_t chunkCellCount = 16 * 16 * 128;

inline constexpr uint8_t airId = 0;
inline constexpr uint8_t waterId = 5;
// A water cell's level is 0..8.
inline constexpr uint8_t maxWaterLevel = 8;

// Index of a local cell in every per-cell list of a chunk.
constexpr std::size_t cellIndex(uint32_t x, uint32_t y, uint32_t z) {
    return (static_cast<std::size_t>(y) * 16 + z) * 16 + x;
}

// Unsigned tests, so that negative local coordinates count as outside too.
constexpr bool insideChunk(uint32_t x, uint32_t y, uint32_t z) {
    return x < 16 && y < 128 && z < 16;
}

// A chunk is a plain value: copies are deep, which is how background tasks receive it.
struct Chunk {
    int32_t cx = 0;
    int32_t cz = 0;
    std::vector<uint8_t> cells = std::vector<uint8_t>(chunkCellCount, airId);
    // Empty until lit: then sky light in the low four bits, block light in the high four.
    std::vector<uint8_t> light;
    // Empty until the mesh upload step copies the water levels in.
    std::vector<uint8_t> waterLevels;
    // Empty until a functional block gets a state with any of its low five bits set.
    std::vector<uint8_t> states;
    bool statesApplied = false;

    Chunk() = default;
    Chunk(int32_t chunkX, int32_t chunkZ) : cx(chunkX), cz(chunkZ) {}

    // 0 (air) outside the chunk.
    uint8_t get(uint32_t x, uint32_t y, uint32_t z) const;
    // std::out_of_range "block position" outside the chunk; "invalid block ID" for an id the
    // registry does not know.
    void set(uint32_t x, uint32_t y, uint32_t z, uint8_t id);
    // Light byte of a local cell; 15 (full sky, no block light) while the chunk is unlit.
    uint8_t lightByte(std::size_t index) const;
    // Creates the states list (all zero) on first use.
    void ensureStates();
};

// Per column (index z * 16 + x) the height above the topmost opaque block, 0 when there is none.
std::array<uint8_t, 256> columnHeights(const Chunk& chunk);

// Division rounding towards minus infinity, so block -1 lies in chunk -1.
int32_t floorDiv(int32_t a, int32_t b);

// The 64-bit key of the mesh map and mesh work: cx in the low 32 bits, cz in the high 32.
uint64_t packChunkKey(int32_t cx, int32_t cz);
int32_t chunkKeyX(uint64_t key);
int32_t chunkKeyZ(uint64_t key);

}  // namespace voxel
