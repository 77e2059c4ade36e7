#include "render/view/buried_groups.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "world/chunk.h"

namespace render {

namespace {

int32_t chunkOf(int32_t v) {
    return v >= 0 ? v / 16 : -((15 - v) / 16);
}

// Bits lo..hi of a row.
uint16_t rowMask(int32_t lo, int32_t hi) {
    return static_cast<uint16_t>(((1u << (hi + 1)) - 1u) & ~((1u << lo) - 1u));
}

constexpr int32_t kRegionsTried = 4;

int32_t cellOf(double v) {
    return static_cast<int32_t>(std::floor(v));
}

}  // namespace

OpaqueCover::OpaqueCover(const std::vector<Entry>& chunks) {
    if (chunks.empty()) return;
    lowX_ = lowZ_ = std::numeric_limits<int32_t>::max();
    highX_ = highZ_ = std::numeric_limits<int32_t>::min();
    for (const Entry& e : chunks) {
        lowX_ = std::min(lowX_, e.cx), highX_ = std::max(highX_, e.cx);
        lowZ_ = std::min(lowZ_, e.cz), highZ_ = std::max(highZ_, e.cz);
    }
    width_ = static_cast<std::size_t>(highX_ - lowX_ + 1);
    grid_.assign(width_ * static_cast<std::size_t>(highZ_ - lowZ_ + 1), nullptr);
    for (const Entry& e : chunks)
        grid_[static_cast<std::size_t>(e.cz - lowZ_) * width_ + static_cast<std::size_t>(e.cx - lowX_)] = e.rows;
}

bool OpaqueCover::opaque(int32_t x, int32_t y, int32_t z) const {
    if (y < 0 || y >= voxel::chunkHeight) return false;
    const int32_t cx = chunkOf(x), cz = chunkOf(z);
    const OpaqueRows* rows = at(cx, cz);
    return rows && ((rows->rows[static_cast<std::size_t>(y * 16 + z - 16 * cz)] >> (x - 16 * cx)) & 1u) != 0;
}

bool OpaqueCover::layerRectOpaque(int32_t y, int32_t x0, int32_t x1, int32_t z0, int32_t z1) const {
    if (y < 0 || y >= voxel::chunkHeight) return false;
    for (int32_t cz = chunkOf(z0); cz <= chunkOf(z1); ++cz)
        for (int32_t cx = chunkOf(x0); cx <= chunkOf(x1); ++cx) {
            const OpaqueRows* rows = at(cx, cz);
            if (!rows || rows->top < y) return false;
            const uint16_t mask = rowMask(std::max(x0 - 16 * cx, 0), std::min(x1 - 16 * cx, 15));
            const int32_t lz0 = std::max(z0 - 16 * cz, 0), lz1 = std::min(z1 - 16 * cz, 15);
            for (int32_t z = lz0; z <= lz1; ++z)
                if ((rows->rows[static_cast<std::size_t>(y * 16 + z)] & mask) != mask) return false;
        }
    return true;
}

int32_t OpaqueCover::top(int32_t x, int32_t z) const {
    const OpaqueRows* rows = at(chunkOf(x), chunkOf(z));
    return rows ? rows->top : -1;
}

bool groupBuried(const FaceGroup& group, const Vec3& eye, const OpaqueCover& cover, int32_t maxSpan) {
    const std::array<float, 6>& b = group.bounds;
    const double ex = eye.x, ey = eye.y, ez = eye.z;
    const auto first = static_cast<int32_t>(std::ceil(b[4]));
    if (ey <= first + 1.0) return false;
    // The line to the box's middle crosses each layer's middle inside the region the lines cross
    // there, so a layer is tried whole only where that cell is opaque, and no layer above the
    // highest opaque cell of the chunks under that line can be.
    const double midX = (b[0] + b[3]) * 0.5, midY = (b[1] + b[4]) * 0.5, midZ = (b[2] + b[5]) * 0.5;
    int32_t last = -1;
    const double run = std::max(std::abs(ex - midX), std::abs(ez - midZ));
    const int32_t steps = static_cast<int32_t>(run / 8.0) + 1;
    for (int32_t i = 0; i <= steps; ++i) {
        const double f = static_cast<double>(i) / steps;
        last = std::max(last, cover.top(cellOf(midX + (ex - midX) * f), cellOf(midZ + (ez - midZ) * f)));
    }
    last = std::min({last, voxel::chunkHeight - 1, static_cast<int32_t>(std::ceil(ey - 1.0)) - 1});
    const double toMid = 1.0 / (ey - midY), toLow = 1.0 / (ey - b[1]), toHigh = 1.0 / (ey - b[4]);
    // A line grazing a cell's side counts that cell too.
    constexpr double kSlack = 1e-3;
    // From the top down: the region narrows towards the eye, so the highest layers under the ground
    // are the likeliest to hide the group. A group that a few of them do not hide is drawn.
    int32_t regionsLeft = kRegionsTried;
    for (int32_t y = last; y >= first && regionsLeft > 0; --y) {
        const double tMid = (ey - (y + 0.5)) * toMid;
        if (!cover.opaque(cellOf(ex + (midX - ex) * tMid), y, cellOf(ez + (midZ - ez) * tMid))) continue;
        // The corners seen from the eye on the layer's two planes bound the region; each corner's
        // place is linear in the plane's distance below the eye.
        double lowX = std::numeric_limits<double>::max(), highX = -lowX, lowZ = lowX, highZ = -lowX;
        for (const double plane : {double(y), y + 1.0})
            for (const double toCorner : {toLow, toHigh}) {
                const double t = (ey - plane) * toCorner;
                for (const double px : {double(b[0]), double(b[3])}) {
                    const double x = ex + (px - ex) * t;
                    lowX = std::min(lowX, x), highX = std::max(highX, x);
                }
                for (const double pz : {double(b[2]), double(b[5])}) {
                    const double z = ez + (pz - ez) * t;
                    lowZ = std::min(lowZ, z), highZ = std::max(highZ, z);
                }
            }
        const int32_t x0 = cellOf(lowX - kSlack), x1 = cellOf(highX + kSlack);
        const int32_t z0 = cellOf(lowZ - kSlack), z1 = cellOf(highZ + kSlack);
        // The region widens away from the eye: no layer further down can do.
        if (x1 - x0 >= maxSpan || z1 - z0 >= maxSpan) break;
        --regionsLeft;
        if (cover.layerRectOpaque(y, x0, x1, z0, z1)) return true;
    }
    return false;
}

}  // namespace render
