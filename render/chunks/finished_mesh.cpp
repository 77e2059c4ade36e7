#include "render/chunks/finished_mesh.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

// Layers 30..35: the six faces of water, id 5.
bool isWaterLayer(float layer) {
    const int32_t rounded = static_cast<int32_t>(layer + 0.5f);
    return rounded >= 30 && rounded <= 35;
}

constexpr int32_t kSections = 9;  // 16-high sections of y 0..143: a top face at 128 starts the ninth

int32_t sectionOf(const MeshVertex& a, const MeshVertex& b, const MeshVertex& c) {
    const float low = std::min({a.y, b.y, c.y});
    return std::clamp(static_cast<int32_t>(std::floor(low / 16.0f)), 0, kSections - 1);
}

void growBounds(std::array<float, 6>& bounds, const MeshVertex& v) {
    const float p[3] = {v.x, v.y, v.z};
    for (int axis = 0; axis < 3; ++axis) {
        bounds[axis] = std::min(bounds[axis], p[axis]);
        bounds[axis + 3] = std::max(bounds[axis + 3], p[axis]);
    }
}

// Reorders the indices of the plain triangles (all of `plain`) by direction, then section, keeping
// mesh order inside each run, and records the runs.
std::vector<FaceGroup> groupPlainTriangles(const std::vector<MeshVertex>& vertices,
                                           std::vector<uint32_t>& plain) {
    constexpr std::size_t kKeys = kFaceDirections * kSections;
    std::vector<uint16_t> keys(plain.size() / 3);
    std::array<uint32_t, kKeys + 1> starts{};
    for (std::size_t t = 0; t < keys.size(); ++t) {
        const MeshVertex &a = vertices[plain[3 * t]], &b = vertices[plain[3 * t + 1]],
                         &c = vertices[plain[3 * t + 2]];
        const auto direction = static_cast<std::size_t>(triangleDirection(a, b, c));
        const int32_t section = sectionOf(a, b, c);
        // Every other direction runs top down, so that two neighbouring directions meet at their top
        // sections, which a view from above keeps when the view's lower edge cuts the low ones.
        const int32_t place = direction % 2 == 0 ? section : kSections - 1 - section;
        keys[t] = static_cast<uint16_t>(direction * kSections + static_cast<std::size_t>(place));
        ++starts[keys[t] + 1];
    }
    for (std::size_t k = 0; k < kKeys; ++k) starts[k + 1] += starts[k];
    std::vector<FaceGroup> groups;
    for (std::size_t k = 0; k < kKeys; ++k) {
        if (starts[k + 1] == starts[k]) continue;
        FaceGroup group;
        group.firstIndex = 3 * starts[k];
        group.indexCount = 3 * (starts[k + 1] - starts[k]);
        group.direction = static_cast<FaceDirection>(k / kSections);
        group.bounds = {1e30f, 1e30f, 1e30f, -1e30f, -1e30f, -1e30f};
        groups.push_back(group);
    }
    std::vector<uint32_t> sorted(plain.size());
    std::array<uint32_t, kKeys + 1> next = starts;
    for (std::size_t t = 0; t < keys.size(); ++t) {
        std::copy_n(&plain[3 * t], 3, &sorted[3 * next[keys[t]]++]);
    }
    plain = std::move(sorted);
    for (FaceGroup& group : groups) {
        for (uint32_t i = group.firstIndex; i < group.firstIndex + group.indexCount; ++i)
            growBounds(group.bounds, vertices[plain[i]]);
    }
    return groups;
}

}  // namespace

FaceDirection triangleDirection(const MeshVertex& a, const MeshVertex& b, const MeshVertex& c) {
    const double e1[3] = {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
    const double e2[3] = {double(c.x) - a.x, double(c.y) - a.y, double(c.z) - a.z};
    const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                         e1[0] * e2[1] - e1[1] * e2[0]};
    static constexpr FaceDirection kAlong[3][2] = {{FaceDirection::MinusX, FaceDirection::PlusX},
                                                   {FaceDirection::MinusY, FaceDirection::PlusY},
                                                   {FaceDirection::MinusZ, FaceDirection::PlusZ}};
    for (int axis = 0; axis < 3; ++axis) {
        if (n[axis] != 0.0 && n[(axis + 1) % 3] == 0.0 && n[(axis + 2) % 3] == 0.0)
            return kAlong[axis][n[axis] > 0.0];
    }
    return FaceDirection::Any;
}

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
    split.plainGroups = groupPlainTriangles(vertices, split.solid);
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
