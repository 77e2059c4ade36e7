#pragma once
// The colour of a block on the world map, shaded by its height.
#include <cstdint>

namespace voxel {

// 0x00BBGGRR. Air and water have fixed unshaded colours; every other block is shaded brighter
// with height and has no channel at 0.
uint32_t mapColour(uint8_t id, int32_t y);

}  // namespace voxel
