#pragma once
// The push constants of the world and sky pipelines, the 112 bytes of the shared range: the camera
// and light blocks, the target block, then the values that are the same for every draw of a frame.
// The interface pipeline fills the same bytes with the interface block instead.
#include <cstddef>
#include <cstdint>

namespace render {

struct CameraLightBlock {
    float camera[16];  // view-projection, column-major
    float daylight;
    float player[3];
};

// The aimed cell and its mining progress while chunk meshes are drawn; zero for every other pass.
struct TargetBlock {
    float cell[3];
    float progress;
};

// The frame's own values, pushed once a frame before the sky.
struct FrameValuesBlock {
    float animationSeconds;  // wrapped (wrappedAnimationSeconds): waves and swaying plants
    float dayFraction;       // 0..1: the sun's course and the sky's colours
    uint32_t worldCovered;   // 1 while an opaque screen hides the whole world: nothing of it is shaded
    uint32_t unused;
};

inline constexpr uint32_t kCameraLightOffset = 0;
inline constexpr uint32_t kTargetOffset = 80;
inline constexpr uint32_t kFrameValuesOffset = 96;
static_assert(sizeof(CameraLightBlock) == kTargetOffset - kCameraLightOffset);
static_assert(sizeof(TargetBlock) == kFrameValuesOffset - kTargetOffset);
static_assert(kFrameValuesOffset + sizeof(FrameValuesBlock) == 112, "the push-constant range is 112 bytes");

}  // namespace render
