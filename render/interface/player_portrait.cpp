#include "render/interface/player_portrait.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

struct PortraitTriangle {
    std::array<MeshVertex, 3> vertices;
    float depth = 0.0f;
};

struct Placement {
    float scale, originX, originY, minY;
};

Placement placement(const std::vector<VxmVertex>& mesh, const ui::InventoryLayout& l) {
    float minY = mesh.front().y, maxY = mesh.front().y;
    for (const VxmVertex& v : mesh) minY = std::min(minY, v.y), maxY = std::max(maxY, v.y);
    const float s = l.slotSize;
    const float scale = std::min((l.leftColumnWidth - 1.4f * s) / 0.85f,
                                 (l.panelHeight - l.headerHeight - l.footerHeight - 80.0f) / std::max(maxY - minY, 0.01f));
    return {scale, l.leftColumnWidth * 0.6f + l.panelLeft, l.panelTop + l.panelHeight - l.footerHeight - 30.0f, minY};
}

PortraitTriangle portraitTriangle(const VxmVertex* v, const Placement& at, const ArmourWorn& worn, int32_t hovered) {
    const Double3 p[3] = {poseAboutPivot(v[0]), poseAboutPivot(v[1]), poseAboutPivot(v[2])};
    const Double3 n = triangleNormal(p[0], p[1], p[2]);
    const int32_t slot = armourSlotOf(v[0].part, (p[0][1] + p[1][1] + p[2][1]) / 3.0);
    const bool armoured = isArmoured(worn, slot, n[2]);
    float shade = static_cast<float>(std::max(n[1], 0.0) * 0.24 + 0.72 - std::abs(n[0]) * 0.14);
    if (hovered == 40 + slot) shade *= 1.08f;
    const std::array<float, 3> tint = armourColour(slot, shade);
    PortraitTriangle t;
    for (int k = 0; k < 3; ++k) {
        const double x = p[k][0], y = p[k][1], z = p[k][2];
        t.depth += static_cast<float>((z * 0.94 - x * 0.342) / 3.0);
        MeshVertex& out = t.vertices[k];
        out.x = static_cast<float>((x * 0.94 + z * 0.342) * at.scale + at.originX);
        out.y = static_cast<float>(at.originY - (y - at.minY) * at.scale);
        out.z = 0.0f;
        out.r = armoured ? tint[0] : shade;
        out.g = armoured ? tint[1] : shade;
        out.b = armoured ? tint[2] : shade;
        out.u = v[k].u;
        out.v = v[k].v;
        out.layer = armoured ? kArmourMaterial : kSkinMaterial;
        out.sky = 1.0f;
        out.block = 0.0f;
    }
    return t;
}

}  // namespace

std::vector<MeshVertex> buildPortrait(const std::vector<VxmVertex>& mesh, const ui::InventoryLayout& layout,
                                      const ArmourWorn& worn, int32_t hovered) {
    if (mesh.size() < 3) return {};
    const Placement at = placement(mesh, layout);
    std::vector<PortraitTriangle> triangles;
    triangles.reserve(mesh.size() / 3);
    for (std::size_t i = 0; i + 2 < mesh.size(); i += 3) triangles.push_back(portraitTriangle(&mesh[i], at, worn, hovered));
    std::stable_sort(triangles.begin(), triangles.end(),
                     [](const PortraitTriangle& a, const PortraitTriangle& b) { return a.depth > b.depth; });
    std::vector<MeshVertex> vertices;
    vertices.reserve(triangles.size() * 3);
    for (const PortraitTriangle& t : triangles) vertices.insert(vertices.end(), t.vertices.begin(), t.vertices.end());
    return vertices;
}

PixelRect portraitScissor(const ui::InventoryLayout& l) {
    const float s = l.slotSize;
    const auto size = [](float value) { return static_cast<uint32_t>(std::max(std::trunc(value), 0.0f)); };
    return {static_cast<int32_t>(std::max(std::trunc(l.panelLeft + s * 1.2f), 0.0f)),
            static_cast<int32_t>(std::max(std::trunc(l.panelTop + l.headerHeight + 32.0f), 0.0f)),
            size(l.leftColumnWidth - s * 1.3f), size(l.panelHeight - l.headerHeight - l.footerHeight - 36.0f)};
}

std::array<float, 16> pixelToClip(float width, float height) {
    std::array<float, 16> m{};
    m[0] = 2.0f / width;
    m[5] = 2.0f / height;
    m[10] = 1.0f;
    m[12] = -1.0f;
    m[13] = -1.0f;
    m[15] = 1.0f;
    return m;
}

}  // namespace render
