#include "render/chunks/opaque_rows.h"

#include "world/block_registry.h"

namespace render {

OpaqueRows opaqueRows(const voxel::Chunk& chunk) {
    std::array<bool, voxel::maxBlockCount> opaque{};
    for (uint32_t id = 0; id < voxel::blockCount() && id < voxel::maxBlockCount; ++id)
        opaque[id] = voxel::blockDef(static_cast<uint8_t>(id)).opaque;
    OpaqueRows result;
    for (std::size_t row = 0; row < result.rows.size(); ++row) {
        uint16_t bits = 0;
        for (uint32_t x = 0; x < 16; ++x)
            if (opaque[chunk.cells[row * 16 + x]]) bits = static_cast<uint16_t>(bits | (1u << x));
        result.rows[row] = bits;
        if (bits != 0) result.top = static_cast<int32_t>(row / 16);
    }
    return result;
}

}  // namespace render
