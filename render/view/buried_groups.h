#pragma once
// Plain face groups that lie under opaque blocks as seen from the eye: the caves and the rock faces
// below the ground, which a view from above never shows. A group is buried when, for some layer of
// cells above its box and below the eye, every line from the eye to the box crosses that layer
// inside opaque cells only. Such a line enters opaque cells through a face that turns towards the
// eye and lies nearer than the group, and whose own group is therefore not buried: the nearest one
// on the line has no opaque cell before it. So leaving buried groups out changes no pixel while the
// meshes agree with their chunks' cells.
#include <cstdint>
#include <vector>

#include "render/chunks/finished_mesh.h"
#include "render/chunks/opaque_rows.h"
#include "render/view/camera.h"

namespace render {

// The opaque cells of the meshed chunks, as their drawn meshes were built from; a chunk without a
// mesh hides nothing.
class OpaqueCover {
public:
    struct Entry {
        int32_t cx = 0, cz = 0;
        const OpaqueRows* rows = nullptr;
    };
    explicit OpaqueCover(const std::vector<Entry>& chunks);

    const OpaqueRows* at(int32_t cx, int32_t cz) const {
        if (cx < lowX_ || cx > highX_ || cz < lowZ_ || cz > highZ_) return nullptr;
        return grid_[static_cast<std::size_t>(cz - lowZ_) * width_ + static_cast<std::size_t>(cx - lowX_)];
    }
    // Whether the cell is opaque.
    bool opaque(int32_t x, int32_t y, int32_t z) const;
    // Whether every cell with x0 <= x <= x1, z0 <= z <= z1 in layer y is opaque.
    bool layerRectOpaque(int32_t y, int32_t x0, int32_t x1, int32_t z0, int32_t z1) const;
    // The highest layer with an opaque cell in the chunk holding the column; -1 without a mesh.
    int32_t top(int32_t x, int32_t z) const;

private:
    int32_t lowX_ = 0, lowZ_ = 0, highX_ = -1, highZ_ = -1;
    std::size_t width_ = 0;
    std::vector<const OpaqueRows*> grid_;
};

// Whether the group is buried (above) for this eye. Only layers where the lines cross a region of
// at most `maxSpan` cells a side are tried.
bool groupBuried(const FaceGroup& group, const Vec3& eye, const OpaqueCover& cover, int32_t maxSpan = 48);

}  // namespace render
