#pragma once
// render/figures: pure geometry of mobs, NPCs, bodies, hands, held items, moving blocks, particles, items.
// Untextured boxes of the per-frame geometry: mob and NPC figures, telegraphs, sparks, flames and
// hitbox outlines all come from these two emitters.
#include <array>
#include <vector>

#include "render/chunks/mesh_vertex.h"

namespace render {

using Double3 = std::array<double, 3>;

// Layer-field codes of untextured vertices that the world shaders colour directly.
inline constexpr float kShadedColour = 200000.0f;
inline constexpr float kUnshadedColour = 200001.0f;

// Corner k of a box: bit 0 maximum x, bit 1 maximum y, bit 2 maximum z. Faces -x, +x, -y, +y, -z,
// +z, each as triangles (0, 1, 2) and (0, 2, 3) of its four corners.
inline constexpr int kBoxFaceCorners[6][4] = {{0, 4, 6, 2}, {1, 3, 7, 5}, {0, 1, 5, 4},
                                              {2, 6, 7, 3}, {0, 2, 3, 1}, {4, 5, 7, 6}};
inline constexpr int kBoxVertices = 36;

// The box [min, max] in local coordinates, turned by yaw about the vertical axis and moved to
// origin. Faces are shaded +y 1.0, -y 0.65, sides 0.84, or all 1.0 when unshaded.
void emitColourBox(std::vector<MeshVertex>& list, const Double3& min, const Double3& max, const Double3& origin,
                   double yaw, const Double3& colour, bool unshaded);

// The twelve edges of an axis-aligned world box as unshaded bars 0.016 thick.
void emitBoxOutline(std::vector<MeshVertex>& list, const Double3& min, const Double3& max, const Double3& colour);

}  // namespace render
