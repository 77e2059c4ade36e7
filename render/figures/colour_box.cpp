#include "render/figures/colour_box.h"

#include <cmath>

namespace render {

namespace {

constexpr double kFaceShade[6] = {0.84, 0.84, 0.65, 1.0, 0.84, 0.84};
constexpr double kOutlineHalf = 0.008;

}  // namespace

void emitColourBox(std::vector<MeshVertex>& list, const Double3& min, const Double3& max, const Double3& origin,
                   double yaw, const Double3& colour, bool unshaded) {
    const double c = std::cos(yaw), s = std::sin(yaw);
    Double3 corners[8];
    for (int k = 0; k < 8; ++k) {
        const double lx = (k & 1) ? max[0] : min[0];
        const double ly = (k & 2) ? max[1] : min[1];
        const double lz = (k & 4) ? max[2] : min[2];
        corners[k] = {origin[0] + lx * c - lz * s, origin[1] + ly, origin[2] + lx * s + lz * c};
    }
    static constexpr int kTriangle[6] = {0, 1, 2, 0, 2, 3};
    for (int face = 0; face < 6; ++face) {
        const double shade = unshaded ? 1.0 : kFaceShade[face];
        for (const int corner : kTriangle) {
            const Double3& p = corners[kBoxFaceCorners[face][corner]];
            MeshVertex v;
            v.x = static_cast<float>(p[0]);
            v.y = static_cast<float>(p[1]);
            v.z = static_cast<float>(p[2]);
            v.r = static_cast<float>(shade * colour[0]);
            v.g = static_cast<float>(shade * colour[1]);
            v.b = static_cast<float>(shade * colour[2]);
            v.u = 0.0f;
            v.v = 0.0f;
            v.layer = unshaded ? kUnshadedColour : kShadedColour;
            v.sky = 1.0f;
            v.block = 0.0f;
            v.motion = 0.0f;
            list.push_back(v);
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
