#include "selftest/terrain_checks.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "world/generate.h"

namespace selftest {

namespace {

// The surface noise lifts or lowers an island top by up to this much.
constexpr int32_t kIslandBump = 3;
constexpr int32_t kOriginIsland = 8;

const voxel::Chunk* chunkAt(const std::vector<voxel::Chunk>& chunks, int32_t cx, int32_t cz) {
    for (const voxel::Chunk& chunk : chunks) {
        if (chunk.cx == cx && chunk.cz == cz) return &chunk;
    }
    return nullptr;
}

// Water at the sea surface, or air over water just below it: a sea that nothing froze over.
bool openWater(const voxel::Chunk& chunk, uint32_t x, uint32_t z) {
    const uint8_t surface = chunk.get(x, voxel::seaLevel, z);
    if (surface == voxel::waterId) return true;
    return surface == voxel::airId && chunk.get(x, voxel::seaLevel - 1, z) == voxel::waterId;
}

std::string position(int32_t a, int32_t b) {
    return std::to_string(a) + ", " + std::to_string(b);
}

}  // namespace

int32_t topBlock(const std::vector<voxel::Chunk>& chunks, int32_t x, int32_t z) {
    const voxel::Chunk* chunk =
        chunkAt(chunks, voxel::floorDiv(x, voxel::chunkSize), voxel::floorDiv(z, voxel::chunkSize));
    if (!chunk) return -1;
    const auto lx = static_cast<uint32_t>(x - chunk->cx * voxel::chunkSize);
    const auto lz = static_cast<uint32_t>(z - chunk->cz * voxel::chunkSize);
    for (int32_t y = voxel::chunkHeight - 1; y >= 0; --y) {
        if (chunk->get(lx, static_cast<uint32_t>(y), lz) != voxel::airId) return y;
    }
    return -1;
}

void requireOpenAirBelow(const std::vector<voxel::Chunk>& chunks) {
    for (const voxel::Chunk& chunk : chunks) {
        for (uint32_t z = 0; z < 16; ++z) {
            for (uint32_t x = 0; x < 16; ++x) {
                if (chunk.get(x, 0, z) != voxel::airId)
                    throw std::runtime_error("Sky terrain rests on the ground in chunk " +
                                             position(chunk.cx, chunk.cz));
            }
        }
    }
}

void requireOriginIsland(const std::vector<voxel::Chunk>& chunks, const voxel::GenerationProfile& profile) {
    const voxel::Chunk* chunk = chunkAt(chunks, 0, 0);
    const int32_t low = std::max(profile.islandMinY - kIslandBump, 0);
    const int32_t high = std::min(profile.islandMaxY + kIslandBump, voxel::chunkHeight - 1);
    for (int32_t y = low; chunk && y <= high; ++y) {
        if (chunk->get(kOriginIsland, static_cast<uint32_t>(y), kOriginIsland) != voxel::airId) return;
    }
    throw std::runtime_error("No sky island over the origin");
}

void requireFrozenSea(const std::vector<voxel::Chunk>& chunks) {
    for (const voxel::Chunk& chunk : chunks) {
        for (uint32_t z = 0; z < 16; ++z) {
            for (uint32_t x = 0; x < 16; ++x) {
                if (!openWater(chunk, x, z)) continue;
                const int32_t wx = chunk.cx * voxel::chunkSize + static_cast<int32_t>(x);
                const int32_t wz = chunk.cz * voxel::chunkSize + static_cast<int32_t>(z);
                throw std::runtime_error("Frost sea is open water at " + position(wx, wz));
            }
        }
    }
}

}  // namespace selftest
