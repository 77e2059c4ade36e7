#pragma once
// The finished mesh of one chunk as a meshing task hands it back, and the pure steps of installing
// it: the split into passes and the bounds.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/chunks/mesh_vertex.h"
#include "render/chunks/opaque_rows.h"

namespace render {

// Directions of the plain groups, in the order the groups are stored: the three a view from above
// most often sees together sit side by side, so their ranges merge into one draw.
enum class FaceDirection : uint8_t { MinusX, PlusZ, PlusY, MinusZ, PlusX, MinusY, Any };
inline constexpr std::size_t kFaceDirections = 7;

// Plain triangles that face one way (or, for Any, not along an axis) and start in one 16-high
// section of the chunk: one contiguous run of the solid indices, with the box of its vertices.
struct FaceGroup {
    uint32_t firstIndex = 0;
    uint32_t indexCount = 0;
    FaceDirection direction = FaceDirection::Any;
    std::array<float, 6> bounds{};  // min x, y, z, max x, y, z
};

struct SplitIndices {
    std::vector<uint32_t> solid;  // the plain triangles first, then the rest
    std::vector<uint32_t> water;
    uint32_t plainIndexCount = 0;        // indices at the start of `solid`
    std::vector<FaceGroup> plainGroups;  // cover the plain indices in order, none empty
};

struct MeshWork {
    uint64_t key = 0;  // cx in the low 32 bits, cz in the high 32
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;  // three per triangle
    std::vector<uint8_t> tied;      // one a triangle, as BlockFaces::tied
    double milliseconds = 0.0;
    // splitChunkTriangles of the above, when the meshing task worked it out off the main thread;
    // otherwise the install does.
    std::optional<SplitIndices> split;
    // opaqueRows of the chunk meshed, worked out beside it; otherwise the install does.
    std::optional<OpaqueRows> opaque;
};

// Water triangles (first vertex on one of the six water layers) are drawn in their own pass. The
// other triangles are plain when their material (`cutOutMaterials`, by material id) has no texel the
// world shader cuts out, none of their vertices sways in the wind and no other solid triangle can lie
// exactly on them (`tied` 0, as BlockFaces::tied; a triangle past its flags counts as tied): the
// chunks' solid pass draws those first with a pipeline that neither cuts out nor sways, then the
// rest, each group in mesh order. So only plain triangles change their place in the order, and no
// pixel depends on that. A material past the flags, or a material code, is never plain. The plain
// triangles are further ordered by direction, then section (the lowest vertex's y / 16; upwards for
// the even directions, downwards for the odd ones), each run in mesh order, so that the frame can
// leave out the runs that face away or lie out of view.
SplitIndices splitChunkTriangles(const std::vector<MeshVertex>& vertices,
                                 const std::vector<uint32_t>& indices, const std::vector<uint8_t>& tied,
                                 const std::vector<uint8_t>& cutOutMaterials);

// The way a triangle faces, from its winding (counter-clockwise seen from the front, as the mesher
// emits cube faces); Any when its normal is not along an axis or it has no area.
FaceDirection triangleDirection(const MeshVertex& a, const MeshVertex& b, const MeshVertex& c);

// Minimum x, y, z and maximum x, y, z of the vertices; the whole column of chunk (cx, cz) when there
// are none.
std::array<double, 6> meshBounds(const std::vector<MeshVertex>& vertices, int32_t cx, int32_t cz);

}  // namespace render
