#pragma once
// The block atlas once more, decoded to linear colour in 32-bit floats by the device itself. The
// world shaders sample it instead of decoding an sRGB texel at every pixel: on the software driver
// that decode was the largest part of a world pixel's cost, and a pass of the device's own decode
// gives every texel exactly the value the shader would have computed.
#include <cstdint>

#include "render/vulkan/gpu_image.h"

struct App;

namespace render {

// Binding of the block atlas in the shared set layout: the game's set holds the decoded copy there,
// the decode pass's set the atlas as stored.
inline constexpr uint32_t kBlockAtlasBinding = 0;

// Draws the decoded copy of the App's block atlas (binding 0 of its decode set) with the full-screen
// triangle of "cross.vert.spv" and "sky.frag.spv" specialised to the decode (DECODE_ATLAS) and waits
// for the queue to go idle. Whatever it made is destroyed when a step fails.
GpuImage decodeBlockAtlas(App& app);

}  // namespace render
