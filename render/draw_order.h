#pragma once
// Water is blended, so its chunks are drawn from the farthest to the nearest.
#include <cstdint>
#include <vector>

namespace render {

// Sorts packed chunk keys by the squared horizontal distance from (x, z) to the chunk centre
// (16 cx + 8, 16 cz + 8), farthest first; equal distances keep their order.
void sortFarthestFirst(std::vector<uint64_t>& keys, float x, float z);

}  // namespace render
