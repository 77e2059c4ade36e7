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
