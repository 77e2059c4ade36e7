#pragma once
// The player's text triangle mesh ("VXM 3").
#include <cstdint>
#include <filesystem>
#include <vector>

struct VxmVertex {
    float x, y, z;
    float u, v;
    uint32_t face;  // 0..5
    float pivotX, pivotY, pivotZ;
    float rotationX, rotationY, rotationZ;  // radians
    uint32_t part;  // 0 body, 1 and 2 arms (2 holds items), 3 and 4 legs
};
static_assert(sizeof(VxmVertex) == 52);

namespace content {

// Reads a VXM 3 file. Never throws: faults are reported on stderr and yield an empty or shorter mesh.
std::vector<VxmVertex> loadVxmMesh(const std::filesystem::path& path);

// Cuts every triangle that crosses y = 0.25, 0.83 or 1.40 so that each lies within one band.
std::vector<VxmVertex> splitIntoBands(const std::vector<VxmVertex>& mesh);

}  // namespace content
