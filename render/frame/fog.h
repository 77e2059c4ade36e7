#pragma once
// The distance fog of the world shaders. It is complete where the loaded chunk window can end at
// the nearest, so that nobody sees the square edge of the world or the open sides of its water.
#include <cstddef>
#include <cstdint>

#include "render/frame/world_cover.h"

namespace render {

// Byte offset of the fog record in the content meta buffer, after the covered flag: f32 horizontal
// distance where the fog begins, f32 distance where it hides everything.
inline constexpr std::size_t kFogOffset = kWorldCoveredOffset + 4;
inline constexpr std::size_t kFogBytes = 8;

struct FogRange {
    float start = 0.0f;
    float end = 0.0f;
};

// The player stands anywhere in the window's centre chunk, so the window's edge is at least 16
// blocks a chunk of radius away. A radius of 0 or below fogs as one of 1.
FogRange fogRange(int32_t chunkRadius);

// Writes the record at its offset of `meta` (the whole content meta buffer).
void writeFogRange(uint8_t* meta, const FogRange& fog);

}  // namespace render
