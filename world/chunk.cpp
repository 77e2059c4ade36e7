#include "world/chunk.h"

#include <stdexcept>

#include "world/block_registry.h"

namespace voxel {

uint8_t Chunk::get(uint32_t x, uint32_t y, uint32_t z) const {
    return insideChunk(x, y, z) ? cells[cellIndex(x, y, z)] : airId;
}

void Chunk::set(uint32_t x, uint32_t y, uint32_t z, uint8_t id) {
    if (!insideChunk(x, y, z)) throw std::out_of_range("block position");
    blockDef(id);  // an id the registry does not know fails before anything is stored
    cells[cellIndex(x, y, z)] = id;
}

uint8_t Chunk::lightByte(std::size_t index) const {
    return light.empty() ? uint8_t{15} : light[index];
}

void Chunk::ensureStates() {
    if (states.empty()) states.assign(chunkCellCount, 0);
}

namespace {

uint8_t columnHeight(const Chunk& chunk, uint32_t x, uint32_t z, const std::vector<bool>& opaque) {
    for (int32_t y = chunkHeight - 1; y >= 0; --y) {
        if (opaque[chunk.get(x, y, z)]) return static_cast<uint8_t>(y + 1);
    }
    return 0;
}

}  // namespace

std::array<uint8_t, 256> columnHeights(const Chunk& chunk) {
    std::vector<bool> opaque(256, false);
    for (std::size_t id = 0; id < blockCount(); ++id) opaque[id] = blockDef(static_cast<uint8_t>(id)).opaque;
    std::array<uint8_t, 256> heights{};
    for (uint32_t z = 0; z < 16; ++z) {
        for (uint32_t x = 0; x < 16; ++x) heights[z * 16 + x] = columnHeight(chunk, x, z, opaque);
    }
    return heights;
}

// The divisor is always a positive chunk size, so a negative remainder is the only correction.
int32_t floorDiv(int32_t a, int32_t b) {
    const int32_t quotient = a / b;
    return a % b < 0 ? quotient - 1 : quotient;
}

uint64_t packChunkKey(int32_t cx, int32_t cz) {
    return static_cast<uint64_t>(static_cast<uint32_t>(cx)) |
           static_cast<uint64_t>(static_cast<uint32_t>(cz)) << 32;
}

int32_t chunkKeyX(uint64_t key) {
    return static_cast<int32_t>(static_cast<uint32_t>(key));
}

int32_t chunkKeyZ(uint64_t key) {
    return static_cast<int32_t>(static_cast<uint32_t>(key >> 32));
}

}  // namespace voxel
