#pragma once
// Which cells of a chunk are opaque blocks, a bit a cell, as its mesh was built from: the frame leaves
// out the face groups that these cells hide (render/view/buried_groups.h).
#include <array>
#include <cstdint>

#include "world/chunk.h"

namespace render {

// Bit x of row [y * 16 + z] is set when the cell (x, y, z) is an opaque block.
struct OpaqueRows {
    std::array<uint16_t, 128 * 16> rows{};
    int32_t top = -1;  // the highest layer with an opaque cell; -1 without any
};

OpaqueRows opaqueRows(const voxel::Chunk& chunk);

}  // namespace render
