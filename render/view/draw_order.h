#pragma once
// Water is blended, so its chunks are drawn from the farthest to the nearest; opaque faces that need
// no cut-out go from the nearest, so that the depth test rejects what they hide before it is shaded.
#include <algorithm>
#include <cstdint>
#include <vector>

namespace render {

// The squared horizontal distance from (x, z) to the centre (16 cx + 8, 16 cz + 8) of a packed key's chunk.
double chunkCentreDistanceSquared(uint64_t key, float x, float z);

// Sorts items by the distance of the chunk whose packed key `keyOf` gives, farthest first; equal
// distances keep their order.
template <typename Item, typename KeyOf>
void sortFarthestFirst(std::vector<Item>& items, float x, float z, KeyOf keyOf) {
    std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        return chunkCentreDistanceSquared(keyOf(a), x, z) > chunkCentreDistanceSquared(keyOf(b), x, z);
    });
}

// The same, nearest first.
template <typename Item, typename KeyOf>
void sortNearestFirst(std::vector<Item>& items, float x, float z, KeyOf keyOf) {
    std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        return chunkCentreDistanceSquared(keyOf(a), x, z) < chunkCentreDistanceSquared(keyOf(b), x, z);
    });
}

// Sorts packed chunk keys farthest first.
void sortFarthestFirst(std::vector<uint64_t>& keys, float x, float z);

}  // namespace render
