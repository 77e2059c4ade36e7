#pragma once
// The sky terrain: floating islands over open air, with their trees and structures.
#include <cstdint>

#include "world/chunk.h"
#include "world/generation_profile.h"

namespace voxel {

Chunk generateSkyChunk(const GenerationContext& context, int32_t cx, int32_t cz);

}  // namespace voxel
