#include "render/draw_order.h"

#include <algorithm>

#include "world/chunk.h"

namespace render {

namespace {

double squaredDistance(uint64_t key, float x, float z) {
    const double dx = 16.0 * voxel::chunkKeyX(key) + 8.0 - x;
    const double dz = 16.0 * voxel::chunkKeyZ(key) + 8.0 - z;
    return dx * dx + dz * dz;
}

}  // namespace

void sortFarthestFirst(std::vector<uint64_t>& keys, float x, float z) {
    std::stable_sort(keys.begin(), keys.end(), [x, z](uint64_t a, uint64_t b) {
        return squaredDistance(a, x, z) > squaredDistance(b, x, z);
    });
}

}  // namespace render
