#pragma once
// Which plain face groups of a chunk mesh can show this frame: a group is left out when it lies
// outside the view or every face in it turns its back to the eye. Only plain triangles are grouped:
// they belong to closed opaque surfaces, so a face seen from behind always has a nearer face of the
// same surface in front of it, and no other triangle lies on them. That nearer face hides it only
// while it is drawn, though, and the near plane clips away whatever lies nearer than it.
#include <array>
#include <functional>
#include <span>
#include <vector>

#include "render/chunks/finished_mesh.h"
#include "render/view/camera.h"
#include "render/view/view_planes.h"

namespace render {

// Indices [first, first + count) of a mesh's index buffer, drawn as one call.
struct IndexRange {
    uint32_t first = 0;
    uint32_t count = 0;
    bool operator==(const IndexRange&) const = default;
};

// Whether some face of the group can face the eye. A face at plane p along +x faces an eye with
// x > p; an eye on the plane sees it edge-on, which covers no pixel. So a +x group shows while the
// eye is past its lowest x, a -x group while the eye is short of its highest x, and likewise for y
// and z. Groups of no single direction always can.
bool groupFacesEye(const FaceGroup& group, const Vec3& eye);

// Whether the cell is an opaque block.
using OpaqueTest = std::function<bool(int32_t x, int32_t y, int32_t z)>;

// Whether the eye or some point of the near-plane rectangle may lie inside an opaque block: then the
// faces seen from behind can show where the near plane cuts the block open, and no group may be left
// out. A point of the rectangle outside every opaque block first meets a face that faces the eye
// too. Tests each cell of the box around the eye and the corners: a handful of cells.
bool nearPlaneMayBeInOpaque(const Vec3& eye, const std::array<Vec3, 4>& nearCorners,
                            const OpaqueTest& opaqueAt);

// The view test of the chunk meshes applied to the group's box.
bool groupInView(const FaceGroup& group, const ViewPlanes& planes);

// Appends `range`, joined to the last range when that one is at or past `from` (the ranges before it
// belong to other meshes) and ends where `range` starts; an empty range adds nothing.
void appendRange(std::vector<IndexRange>& ranges, std::size_t from, IndexRange range);

// Appends the ranges of the groups that face the eye, are in view and are not `hidden` (when given),
// adjacent ones joined, and returns how many ranges it appended.
using GroupHidden = std::function<bool(const FaceGroup&)>;
std::size_t appendShownGroups(std::span<const FaceGroup> groups, const ViewPlanes& planes, const Vec3& eye,
                              std::vector<IndexRange>& ranges, const GroupHidden& hidden = {});

}  // namespace render
