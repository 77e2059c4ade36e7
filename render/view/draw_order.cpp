#include "render/view/draw_order.h"

#include "world/chunk.h"

namespace render {

double chunkCentreDistanceSquared(uint64_t key, float x, float z) {
    const double dx = 16.0 * voxel::chunkKeyX(key) + 8.0 - x;
    const double dz = 16.0 * voxel::chunkKeyZ(key) + 8.0 - z;
    return dx * dx + dz * dz;
}

void sortFarthestFirst(std::vector<uint64_t>& keys, float x, float z) {
    sortFarthestFirst(keys, x, z, [](uint64_t key) { return key; });
}

}  // namespace render
