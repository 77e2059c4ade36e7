#pragma once
// The view test that keeps chunks outside the picture from being drawn or counted: six planes taken
// from the camera matrix and a box test against them.
#include <array>
#include <cstdint>

#include "render/view/camera.h"

namespace render {

// Inside where nx x + ny y + nz z + w >= 0 (not normalised).
struct Plane {
    float nx = 0.0f, ny = 0.0f, nz = 0.0f, w = 0.0f;
};
using ViewPlanes = std::array<Plane, 6>;
// Minimum x, y, z, then maximum x, y, z.
using Box = std::array<double, 6>;

// Left, right, top, bottom, near, far: r3 + r0, r3 - r0, r3 + r1, r3 - r1, r2, r3 - r2.
ViewPlanes extractViewPlanes(const Matrix4& m);
// False when, for some plane, even the box corner farthest along its normal lies more than 0.01
// behind it.
bool boxInView(const ViewPlanes& planes, const Box& box);
Box widenedBox(const Box& box, double margin);
// The whole column of a chunk with a block of margin, for chunks that have no mesh yet.
Box chunkColumnBox(int32_t cx, int32_t cz);

}  // namespace render
