#pragma once
// The distance fog of the world shaders. It is complete where the loaded chunk window can end at
// the nearest, so that nobody sees the square edge of the world or the open sides of its water.
// The world pipelines take the two distances as specialisation constants.
#include <cstdint>

namespace render {

struct FogRange {
    float start = 0.0f;
    float end = 0.0f;
};

// The player stands anywhere in the window's centre chunk, so the window's edge is at least 16
// blocks a chunk of radius away. A radius of 0 or below fogs as one of 1.
FogRange fogRange(int32_t chunkRadius);

}  // namespace render
