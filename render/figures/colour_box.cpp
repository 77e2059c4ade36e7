#include "render/figures/colour_box.h"

#include <cmath>

#include "render/figures/box_corners.h"

namespace render {

namespace {

constexpr double kFaceShade[6] = {0.84, 0.84, 0.65, 1.0, 0.84, 0.84};
constexpr double kOutlineHalf = 0.008;

}  // namespace

void emitColourBox(std::vector<MeshVertex>& list, const Double3& min, const Double3& max, const Double3& origin,
                   double yaw, const Double3& colour, bool unshaded) {
    emitTurnedColourBox(list, min, max, origin, std::cos(yaw), std::sin(yaw), colour, unshaded);
}

void emitTurnedColourBox(std::vector<MeshVertex>& list, const Double3& min, const Double3& max,
                         const Double3& origin, double cosYaw, double sinYaw, const Double3& colour, bool unshaded) {
    Double3 corners[8];
    for (int k = 0; k < 8; ++k) {
        const double lx = (k & 1) ? max[0] : min[0];
        const double ly = (k & 2) ? max[1] : min[1];
        const double lz = (k & 4) ? max[2] : min[2];
        corners[k] = {origin[0] + lx * cosYaw - lz * sinYaw, origin[1] + ly, origin[2] + lx * sinYaw + lz * cosYaw};
    }
    emitBoxFromCorners(list, corners, colour, unshaded);
}

void emitBoxFromCorners(std::vector<MeshVertex>& list, const Double3 (&corners)[8], const Double3& colour,
                        bool unshaded) {
    // Converted once per corner and face rather than per vertex.
    float points[8][3];
    for (int k = 0; k < 8; ++k) {
        for (int i = 0; i < 3; ++i) points[k][i] = static_cast<float>(corners[k][i]);
    }
    const float layer = unshaded ? kUnshadedColour : kShadedColour;
    for (int face = 0; face < 6; ++face) {
        const double shade = unshaded ? 1.0 : kFaceShade[face];
        const float r = static_cast<float>(shade * colour[0]), g = static_cast<float>(shade * colour[1]),
                    b = static_cast<float>(shade * colour[2]);
        for (const int corner : kFaceTriangles) {
            const float* p = points[kBoxFaceCorners[face][corner]];
            list.push_back({p[0], p[1], p[2], r, g, b, 0.0f, 0.0f, layer, 1.0f, 0.0f, 0.0f});
        }
    }
}

void emitBoxOutline(std::vector<MeshVertex>& list, const Double3& min, const Double3& max, const Double3& colour) {
    // Each edge runs along one axis at the minimum or maximum of the other two.
    for (int axis = 0; axis < 3; ++axis) {
        const int a = (axis + 1) % 3, b = (axis + 2) % 3;
        for (int corner = 0; corner < 4; ++corner) {
            const double pa = (corner & 1) ? max[a] : min[a];
            const double pb = (corner & 2) ? max[b] : min[b];
            Double3 lo{}, hi{};
            lo[axis] = min[axis];
            hi[axis] = max[axis];
            lo[a] = pa - kOutlineHalf;
            hi[a] = pa + kOutlineHalf;
            lo[b] = pb - kOutlineHalf;
            hi[b] = pb + kOutlineHalf;
            emitColourBox(list, lo, hi, {0.0, 0.0, 0.0}, 0.0, colour, true);
        }
    }
}

}  // namespace render
