#pragma once
// Chunk generation: one chunk from nothing but the generation context and the block registry.
// The same inputs always give the same chunk, cell for cell, whichever chunks were made before.
#include <cstdint>

#include "world/chunk.h"
#include "world/generation_profile.h"

namespace voxel {

// The water surface of the generated seas; the frost terrain freezes it over.
inline constexpr int32_t seaLevel = 48;

// Terrain, caves, shafts, ores, water, plants, trees, ruins, profile structures and cities of the
// stage; the sky terrain and stage 1 have generators of their own.
Chunk generateChunk(const GenerationContext& context, int32_t cx, int32_t cz);

// The oldest world format: rolling hills of grass, dirt and stone with ores, nothing else.
Chunk generateStageOneChunk(const GenerationContext& context, int32_t cx, int32_t cz);

}  // namespace voxel
