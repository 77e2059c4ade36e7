#include "render/view/shown_faces.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using D = render::FaceDirection;
using render::IndexRange;

render::FaceGroup group(D direction, std::array<float, 6> bounds, uint32_t first = 0, uint32_t count = 3) {
    render::FaceGroup g;
    g.firstIndex = first;
    g.indexCount = count;
    g.direction = direction;
    g.bounds = bounds;
    return g;
}

// Planes that pass everything but x >= 0.
render::ViewPlanes halfSpaceXAtLeast0() {
    render::ViewPlanes planes{};
    for (render::Plane& p : planes) p = {0, 0, 0, 1};
    planes[0] = {1, 0, 0, 0};
    return planes;
}

render::ViewPlanes everywhere() {
    render::ViewPlanes planes{};
    for (render::Plane& p : planes) p = {0, 0, 0, 1};
    return planes;
}

// Faces along an axis lie between 4 and 6 on it (the box of a group of one direction spans several
// planes when the section holds several); the eye is tried on the nearest plane and a float step to
// either side of it.
TEST(ShownFaces, AGroupFacesTheEyeOnlyFromInFrontOfItsNearestPlane) {
    const std::array<float, 6> box{4, 4, 4, 6, 6, 6};
    const float below4 = std::nextafter(4.0f, 0.0f), above4 = std::nextafter(4.0f, 10.0f);
    const float below6 = std::nextafter(6.0f, 0.0f), above6 = std::nextafter(6.0f, 10.0f);
    struct Case {
        D direction;
        render::Vec3 eye;
        bool faces;
    };
    const Case cases[] = {
        {D::PlusX, {above4, 100, 100}, true},
        {D::PlusX, {4, 100, 100}, false},
        {D::PlusX, {below4, 100, 100}, false},
        {D::MinusX, {below6, -9, -9}, true},
        {D::MinusX, {6, -9, -9}, false},
        {D::MinusX, {above6, -9, -9}, false},
        {D::PlusY, {100, above4, 100}, true},
        {D::PlusY, {100, 4, 100}, false},
        {D::PlusY, {100, below4, 100}, false},
        {D::MinusY, {-9, below6, -9}, true},
        {D::MinusY, {-9, 6, -9}, false},
        {D::MinusY, {-9, above6, -9}, false},
        {D::PlusZ, {100, 100, above4}, true},
        {D::PlusZ, {100, 100, 4}, false},
        {D::PlusZ, {100, 100, below4}, false},
        {D::MinusZ, {-9, -9, below6}, true},
        {D::MinusZ, {-9, -9, 6}, false},
        {D::MinusZ, {-9, -9, above6}, false},
        // Between its planes a group has faces on both sides of the eye.
        {D::PlusX, {5, 0, 0}, true},
        {D::MinusX, {5, 0, 0}, true},
        {D::Any, {5, 5, 5}, true},
        {D::Any, {-100, -100, -100}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(render::groupFacesEye(group(c.direction, box), c.eye), c.faces)
            << static_cast<int>(c.direction) << " eye " << c.eye.x << ' ' << c.eye.y << ' ' << c.eye.z;
    }
}

// A camera of a 1280 x 720 frame beside a wall (the cells at z 31) or a pillar's edge: a group
// facing away from the eye shows wherever the near rectangle reaches into the stone, even where no
// corner of it sees the group's faces from the front.
TEST(ShownFaces, NoGroupIsLeftOutWhileTheNearPlaneMayReachIntoAnOpaqueBlock) {
    const render::OpaqueTest wall = [](int32_t, int32_t, int32_t z) { return z == 31; };
    const render::OpaqueTest pillar = [](int32_t x, int32_t, int32_t z) { return x == 0 && z == 0; };
    struct Case {
        const char* what;
        render::Vec3 eye;
        float yaw;
        const render::OpaqueTest& opaqueAt;
        bool inside;
    };
    const Case cases[] = {
        {"just outside the wall, turned 0.1 away from it", {8.5f, 66.2f, 30.91f}, -0.1f, wall, true},
        {"just outside the wall, facing away from it", {8.5f, 66.2f, 30.91f}, -1.5707963f, wall, false},
        {"a block from the wall, turned 0.1 away", {8.5f, 66.2f, 30.0f}, -0.1f, wall, false},
        {"inside the wall", {8.5f, 66.2f, 31.5f}, -1.5707963f, wall, true},
        {"no corner but the middle crosses the pillar", {-0.05f, 66.0f, -0.05f}, 0.7853982f, pillar, true},
        {"a step back from the pillar", {-0.2f, 66.0f, -0.2f}, 0.7853982f, pillar, false},
    };
    for (const Case& c : cases) {
        const auto corners = render::nearPlaneCorners(c.eye, c.yaw, 0.0f, 1.309f, 16.0f / 9.0f);
        EXPECT_EQ(render::nearPlaneMayBeInOpaque(c.eye, corners, c.opaqueAt), c.inside) << c.what;
    }
}

// The view test widens the box by 0.01 and allows 0.01 more, as the chunk test does: a box is out
// once its far side is more than 0.02 behind a plane.
TEST(ShownFaces, AGroupIsInViewUntilItsBoxIsPastAPlane) {
    struct Case {
        float maxX;
        bool inView;
    };
    const Case cases[] = {{5.0f, true}, {0.0f, true}, {-0.019f, true}, {-0.021f, false}, {-3.0f, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(render::groupInView(group(D::PlusY, {-10, 0, 0, c.maxX, 1, 1}), halfSpaceXAtLeast0()),
                  c.inView)
            << c.maxX;
    }
}

TEST(ShownFaces, RangesJoinOnlyWhereTheyTouchWithinOneMesh) {
    struct Case {
        const char* what;
        std::vector<IndexRange> before;
        std::size_t from;
        IndexRange added;
        std::vector<IndexRange> after;
    };
    const Case cases[] = {
        {"first range", {}, 0, {6, 3}, {{6, 3}}},
        {"touching", {{0, 6}}, 0, {6, 3}, {{0, 9}}},
        {"one index apart", {{0, 6}}, 0, {7, 3}, {{0, 6}, {7, 3}}},
        {"touching a range of the mesh before", {{0, 6}}, 1, {6, 3}, {{0, 6}, {6, 3}}},
        {"empty", {{0, 6}}, 0, {6, 0}, {{0, 6}}},
        {"empty first", {}, 0, {0, 0}, {}},
    };
    for (const Case& c : cases) {
        std::vector<IndexRange> ranges = c.before;
        render::appendRange(ranges, c.from, c.added);
        EXPECT_EQ(ranges, c.after) << c.what;
    }
}

TEST(ShownFaces, ShownGroupsOfAMeshBecomeJoinedRanges) {
    const std::array<float, 6> box{0, 0, 0, 1, 1, 1};
    const std::vector<render::FaceGroup> groups{
        group(D::MinusX, box, 0, 6),  group(D::PlusZ, box, 6, 3),
        group(D::PlusY, box, 9, 3),   group(D::MinusZ, box, 12, 6),
        group(D::PlusX, box, 18, 3),  group(D::PlusY, {-3, 0, 0, -2, 1, 1}, 21, 3),
        group(D::MinusY, box, 24, 3),
    };
    struct Case {
        const char* what;
        render::ViewPlanes planes;
        render::Vec3 eye;
        std::vector<IndexRange> ranges;
    };
    const Case cases[] = {
        {"above and south of the box, everything in view: -z and -y face away",
         everywhere(),
         {0.5f, 5, 2},
         {{100, 3}, {0, 12}, {18, 6}}},
        {"the group west of x 0 is out of view",
         halfSpaceXAtLeast0(),
         {0.5f, 5, 2},
         {{100, 3}, {0, 12}, {18, 3}}},
        {"from the west +x faces away too", halfSpaceXAtLeast0(), {-5, 5, 2}, {{100, 3}, {0, 12}}},
    };
    for (const Case& c : cases) {
        std::vector<IndexRange> ranges{{100, 3}};  // another mesh's, never joined
        EXPECT_EQ(render::appendShownGroups(groups, c.planes, c.eye, ranges), c.ranges.size() - 1) << c.what;
        EXPECT_EQ(ranges, c.ranges) << c.what;
    }
}

}  // namespace
