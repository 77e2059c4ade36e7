#pragma once
// The colour-box emitter in two steps, for figures that place a box's corners themselves or turn
// many boxes by one yaw: the cosine and sine are taken once, the corners converted once.
#include <vector>

#include "render/chunks/mesh_vertex.h"
#include "render/figures/colour_box.h"

namespace render {

// Each face's two triangles as indices into its four corners.
inline constexpr int kFaceTriangles[6] = {0, 1, 2, 0, 2, 3};

// emitColourBox with the yaw's cosine and sine given.
void emitTurnedColourBox(std::vector<MeshVertex>& list, const Double3& min, const Double3& max,
                         const Double3& origin, double cosYaw, double sinYaw, const Double3& colour, bool unshaded);
// The 36 vertices of a box whose eight corners (numbered as in kBoxFaceCorners) are already placed.
void emitBoxFromCorners(std::vector<MeshVertex>& list, const Double3 (&corners)[8], const Double3& colour,
                        bool unshaded);

}  // namespace render
