#include "render/chunks/finished_mesh.h"

#include <algorithm>

namespace render {

namespace {

// Layers 30..35: the six faces of water, id 5.
bool isWaterLayer(float layer) {
    const int32_t rounded = static_cast<int32_t>(layer + 0.5f);
    return rounded >= 30 && rounded <= 35;
}

}  // namespace

SplitIndices splitChunkTriangles(const std::vector<MeshVertex>& vertices,
                                 const std::vector<uint32_t>& indices, const std::vector<uint8_t>& tied,
                                 const std::vector<uint8_t>& cutOutMaterials) {
    SplitIndices split;
    std::vector<uint32_t> rest;
    const auto isPlain = [&](const uint32_t* triangle) {
        const std::size_t number = static_cast<std::size_t>(triangle - indices.data()) / 3;
        if (number >= tied.size() || tied[number] != 0) return false;
        // The material as the vertex stage decodes it: the layer plus a half, truncated.
        const float rounded = vertices[triangle[0]].layer + 0.5f;
        if (!(rounded >= 0.0f && rounded < static_cast<float>(cutOutMaterials.size()))) return false;
        if (cutOutMaterials[static_cast<std::size_t>(rounded)] != 0) return false;
        for (int k = 0; k < 3; ++k)
            if (vertices[triangle[k]].motion < -0.5f) return false;
        return true;
    };
    for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
        const uint32_t* triangle = &indices[i];
        auto& target = isWaterLayer(vertices[triangle[0]].layer) ? split.water
                                                                 : (isPlain(triangle) ? split.solid : rest);
        target.insert(target.end(), triangle, triangle + 3);
    }
    split.plainIndexCount = static_cast<uint32_t>(split.solid.size());
    split.solid.insert(split.solid.end(), rest.begin(), rest.end());
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
