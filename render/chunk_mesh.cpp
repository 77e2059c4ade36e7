#include "render/chunk_mesh.h"

#include <algorithm>

namespace render {

namespace {

// Layers 30..35: the six faces of water, id 5.
bool isWaterLayer(float layer) {
    const int32_t rounded = static_cast<int32_t>(layer + 0.5f);
    return rounded >= 30 && rounded <= 35;
}

}  // namespace

SplitIndices splitWaterTriangles(const std::vector<MeshVertex>& vertices, const std::vector<uint32_t>& indices) {
    SplitIndices split;
    for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
        auto& target = isWaterLayer(vertices[indices[i]].layer) ? split.water : split.solid;
        target.insert(target.end(), indices.begin() + i, indices.begin() + i + 3);
    }
    return split;
}

std::array<double, 6> meshBounds(const std::vector<MeshVertex>& vertices, int32_t cx, int32_t cz) {
    if (vertices.empty()) return {16.0 * cx, 0.0, 16.0 * cz, 16.0 * cx + 16, 128.0, 16.0 * cz + 16};
    std::array<double, 6> bounds{1e20, 1e20, 1e20, -1e20, -1e20, -1e20};
    for (const MeshVertex& v : vertices) {
        const double p[3] = {v.x, v.y, v.z};
        for (int axis = 0; axis < 3; ++axis) {
            bounds[axis] = std::min(bounds[axis], p[axis]);
            bounds[axis + 3] = std::max(bounds[axis + 3], p[axis]);
        }
    }
    return bounds;
}

}  // namespace render
