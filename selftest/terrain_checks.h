#pragma once
// What a render scenario checks of the terrain it entered: pure tests of the loaded chunks, each
// throwing std::runtime_error with what it found wrong.
#include <cstdint>
#include <vector>

#include "world/chunk.h"
#include "world/generation_profile.h"

namespace selftest {

// The highest cell of the column that is not air; -1 when the column is all air or not loaded.
int32_t topBlock(const std::vector<voxel::Chunk>& chunks, int32_t x, int32_t z);

// Sky islands float: "Sky terrain rests on the ground in chunk cx, cz" when a bottom cell is not air.
void requireOpenAirBelow(const std::vector<voxel::Chunk>& chunks);

// The island over the origin stands where the profile puts islands, give or take the surface bumps:
// "No sky island over the origin" otherwise.
void requireOriginIsland(const std::vector<voxel::Chunk>& chunks, const voxel::GenerationProfile& profile);

// "Frost sea is open water at x, z" for the first column whose sea is not covered at sea level:
// water there, or air over water.
void requireFrozenSea(const std::vector<voxel::Chunk>& chunks);

}  // namespace selftest
