#include "render/view/buried_groups.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "world/chunk.h"

namespace render {

namespace {

int32_t floorDiv16(int32_t v) {
    return v >= 0 ? v / 16 : -((15 - v) / 16);
}

// Bits lo..hi of a row.
uint16_t rowMask(int32_t lo, int32_t hi) {
    return static_cast<uint16_t>(((1u << (hi + 1)) - 1u) & ~((1u << lo) - 1u));
}

}  // namespace

bool layerRectOpaque(int32_t y, int32_t x0, int32_t x1, int32_t z0, int32_t z1, const OpaqueRowsLookup& lookup) {
    if (y < 0 || y >= voxel::chunkHeight) return false;
    for (int32_t cz = floorDiv16(z0); cz <= floorDiv16(z1); ++cz)
        for (int32_t cx = floorDiv16(x0); cx <= floorDiv16(x1); ++cx) {
            const OpaqueRows* rows = lookup(cx, cz);
            if (!rows) return false;
            const uint16_t mask = rowMask(std::max(x0 - 16 * cx, 0), std::min(x1 - 16 * cx, 15));
            const int32_t lz0 = std::max(z0 - 16 * cz, 0), lz1 = std::min(z1 - 16 * cz, 15);
            for (int32_t z = lz0; z <= lz1; ++z)
                if ((rows->rows[static_cast<std::size_t>(y * 16 + z)] & mask) != mask) return false;
        }
    return true;
}

bool groupBuried(const FaceGroup& group, const Vec3& eye, const OpaqueRowsLookup& lookup, int32_t maxSpan) {
    const std::array<float, 6>& b = group.bounds;
    const double ex = eye.x, ey = eye.y, ez = eye.z;
    // A line grazing a cell's side counts that cell too.
    constexpr double kSlack = 1e-3;
    const double midX = (b[0] + b[3]) * 0.5, midY = (b[1] + b[4]) * 0.5, midZ = (b[2] + b[5]) * 0.5;
    for (auto y = static_cast<int32_t>(std::ceil(b[4])); y < voxel::chunkHeight && ey > y + 1.0; ++y) {
        // The line to the box's middle crosses the layer's middle in the region: most layers fail
        // there, before the corners are worked out.
        const double t = (ey - (y + 0.5)) / (ey - midY);
        const auto cellX = static_cast<int32_t>(std::floor(ex + (midX - ex) * t));
        const auto cellZ = static_cast<int32_t>(std::floor(ez + (midZ - ez) * t));
        if (!layerRectOpaque(y, cellX, cellX, cellZ, cellZ, lookup)) continue;
        // The lines from the eye cross the layer between the planes y and y + 1 within the box's
        // corners projected from the eye onto those planes.
        double lowX = std::numeric_limits<double>::max(), highX = -lowX, lowZ = lowX, highZ = -lowX;
        for (const double plane : {double(y), y + 1.0})
            for (const double py : {double(b[1]), double(b[4])}) {
                const double t = (ey - plane) / (ey - py);
                for (const double px : {double(b[0]), double(b[3])}) {
                    const double x = ex + (px - ex) * t;
                    lowX = std::min(lowX, x), highX = std::max(highX, x);
                }
                for (const double pz : {double(b[2]), double(b[5])}) {
                    const double z = ez + (pz - ez) * t;
                    lowZ = std::min(lowZ, z), highZ = std::max(highZ, z);
                }
            }
        const auto x0 = static_cast<int32_t>(std::floor(lowX - kSlack)), x1 = static_cast<int32_t>(std::floor(highX + kSlack));
        const auto z0 = static_cast<int32_t>(std::floor(lowZ - kSlack)), z1 = static_cast<int32_t>(std::floor(highZ + kSlack));
        if (x1 - x0 >= maxSpan || z1 - z0 >= maxSpan) return false;  // it only widens further up
        if (layerRectOpaque(y, x0, x1, z0, z1, lookup)) return true;
    }
    return false;
}

}  // namespace render
