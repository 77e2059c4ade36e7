#include "render/view/shown_faces.h"

#include <algorithm>
#include <cmath>

namespace render {

bool groupFacesEye(const FaceGroup& group, const Vec3& eye) {
    const std::array<float, 6>& b = group.bounds;
    switch (group.direction) {
        case FaceDirection::PlusX:
            return eye.x > b[0];
        case FaceDirection::MinusX:
            return eye.x < b[3];
        case FaceDirection::PlusY:
            return eye.y > b[1];
        case FaceDirection::MinusY:
            return eye.y < b[4];
        case FaceDirection::PlusZ:
            return eye.z > b[2];
        case FaceDirection::MinusZ:
            return eye.z < b[5];
        case FaceDirection::Any:
            break;
    }
    return true;
}

bool nearPlaneMayBeInOpaque(const Vec3& eye, const std::array<Vec3, 4>& nearCorners,
                            const OpaqueTest& opaqueAt) {
    Vec3 low = eye, high = eye;
    for (const Vec3& c : nearCorners) {
        low = {std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z)};
        high = {std::max(high.x, c.x), std::max(high.y, c.y), std::max(high.z, c.z)};
    }
    const auto cell = [](float v) { return static_cast<int32_t>(std::floor(v)); };
    for (int32_t x = cell(low.x); x <= cell(high.x); ++x)
        for (int32_t y = cell(low.y); y <= cell(high.y); ++y)
            for (int32_t z = cell(low.z); z <= cell(high.z); ++z)
                if (opaqueAt(x, y, z)) return true;
    return false;
}

bool groupInView(const FaceGroup& group, const ViewPlanes& planes) {
    const std::array<float, 6>& b = group.bounds;
    return boxInView(planes, widenedBox(Box{b[0], b[1], b[2], b[3], b[4], b[5]}, 0.01));
}

void appendRange(std::vector<IndexRange>& ranges, std::size_t from, IndexRange range) {
    if (range.count == 0) return;
    if (ranges.size() > from && ranges.back().first + ranges.back().count == range.first) {
        ranges.back().count += range.count;
        return;
    }
    ranges.push_back(range);
}

std::size_t appendShownGroups(std::span<const FaceGroup> groups, const ViewPlanes& planes, const Vec3& eye,
                              std::vector<IndexRange>& ranges, const GroupHidden& hidden) {
    const std::size_t from = ranges.size();
    for (const FaceGroup& group : groups) {
        if (groupFacesEye(group, eye) && groupInView(group, planes) && !(hidden && hidden(group)))
            appendRange(ranges, from, {group.firstIndex, group.indexCount});
    }
    return ranges.size() - from;
}

}  // namespace render
