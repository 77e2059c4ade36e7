#pragma once
// The frame's values that every world pixel needs (fog distances, animation seconds, day fraction),
// handed to the world and sky shaders in the push constants after the camera and the mined block.
// The software driver reads a storage buffer lane by lane in a fragment shader but a push constant
// once for a whole block of pixels.
#include <cstdint>

#include "render/frame/fog.h"

namespace render {

// Byte offset in the push-constant range: after the camera and light (80) and the mined block (16).
inline constexpr uint32_t kWorldFrameValuesOffset = 96;

struct WorldFrameValues {
    float fogStart = 0.0f;
    float fogEnd = 0.0f;
    float seconds = 0.0f;      // as wrappedAnimationSeconds gives them
    float dayFraction = 0.0f;  // 0..1
};
static_assert(sizeof(WorldFrameValues) == 16);

// The same numbers the frame writes into the animation clock and fog records of the content meta
// buffer.
WorldFrameValues worldFrameValues(const FogRange& fog, double seconds, float dayFraction);

}  // namespace render
