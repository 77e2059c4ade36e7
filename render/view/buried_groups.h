#pragma once
// Plain face groups that lie under opaque blocks as seen from the eye: the caves and the rock faces
// below the ground, which a view from above never shows. A group is buried when, for some layer of
// cells above its box and below the eye, every line from the eye to the box crosses that layer
// inside opaque cells only. Such a line enters opaque cells through a face that turns towards the
// eye and lies nearer than the group, and whose own group is therefore not buried: the nearest one
// on the line has no opaque cell before it. So leaving buried groups out changes no pixel while the
// meshes agree with their chunks' cells.
#include <array>
#include <cstdint>
#include <functional>

#include "render/chunks/finished_mesh.h"
#include "render/chunks/opaque_rows.h"
#include "render/view/camera.h"

namespace render {

// The opaque rows of the chunk (cx, cz) as its drawn mesh was built from, or null (no such mesh:
// nothing there hides anything).
using OpaqueRowsLookup = std::function<const OpaqueRows*(int32_t cx, int32_t cz)>;

// Whether every cell with x0 <= x <= x1, z0 <= z <= z1 in layer y is opaque.
bool layerRectOpaque(int32_t y, int32_t x0, int32_t x1, int32_t z0, int32_t z1, const OpaqueRowsLookup& lookup);

// Whether the group is buried (above) for this eye. Layers are tried upwards from the group's top
// while the region the lines cross stays within `maxSpan` cells a side.
bool groupBuried(const FaceGroup& group, const Vec3& eye, const OpaqueRowsLookup& lookup, int32_t maxSpan = 48);

}  // namespace render
