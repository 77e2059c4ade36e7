#pragma once
// The block atlas once more, decoded to linear colour in 32-bit floats by the device itself. The
// world shaders sample it instead of decoding an sRGB texel at every pixel: on the software driver
// that decode was the largest part of a world pixel's cost, and a pass of the device's own decode
// gives every texel exactly the value the shader would have computed.
#include <cstdint>

#include "render/vulkan/gpu_image.h"

struct App;

namespace render {

inline constexpr uint32_t kLinearAtlasBinding = 5;

// Draws the decoded copy of the App's block atlas (binding 0 of its descriptor set) with
// "atlas_decode.vert.spv" and "atlas_decode.frag.spv" and waits for the queue to go idle. Whatever
// it made is destroyed when a step fails.
GpuImage decodeBlockAtlas(App& app);

}  // namespace render
