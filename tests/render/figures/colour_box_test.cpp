#include "render/figures/colour_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

namespace {

using render::MeshVertex;

TEST(ColourBoxTest, TurnsByYawAroundTheOriginAndShadesTheFaces) {
    std::vector<MeshVertex> list;
    // A unit box turned a quarter: local +x points along world +z.
    render::emitColourBox(list, {0.0, 0.0, 0.0}, {1.0, 2.0, 0.5}, {10.0, 20.0, 30.0}, std::numbers::pi / 2,
                          {1.0, 0.5, 0.25}, false);
    ASSERT_EQ(list.size(), 36u);
    // The first face is -x, its first corner (0): local (0, 0, 0).
    EXPECT_NEAR(list[0].x, 10.0, 1e-5);
    EXPECT_NEAR(list[0].z, 30.0, 1e-5);
    const auto at = [&](std::size_t i) { return std::array<double, 3>{list[i].x, list[i].y, list[i].z}; };
    const auto near = [](std::array<double, 3> world) { return testing::Pointwise(testing::DoubleNear(1e-5), world); };
    // The second face (+x) starts at corner 1: local (1, 0, 0), turned onto world (10, 20, 31).
    EXPECT_THAT(at(6), near({10.0, 20.0, 31.0}));
    // Corner 7 of the top face: local (1, 2, 0.5) -> world (10 - 0.5, 22, 31).
    EXPECT_THAT(at(3 * 6 + 2), near({9.5, 22.0, 31.0}));
    struct Face {
        int index;
        float shade;
    };
    for (const Face face : {Face{0, 0.84f}, Face{1, 0.84f}, Face{2, 0.65f}, Face{3, 1.0f}, Face{4, 0.84f}, Face{5, 0.84f}}) {
        const MeshVertex& v = list[face.index * 6];
        EXPECT_FLOAT_EQ(v.r, face.shade) << face.index;
        EXPECT_FLOAT_EQ(v.g, face.shade * 0.5f) << face.index;
        EXPECT_FLOAT_EQ(v.b, face.shade * 0.25f) << face.index;
        EXPECT_EQ(v.layer, render::kShadedColour);
        EXPECT_EQ(v.sky, 1.0f);
    }
}

TEST(ColourBoxTest, UnshadedBoxesKeepTheirColourOnEveryFace) {
    std::vector<MeshVertex> list;
    render::emitColourBox(list, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}, 0.0, {0.3, 0.6, 0.9}, true);
    for (const MeshVertex& v : list) {
        EXPECT_FLOAT_EQ(v.r, 0.3f);
        EXPECT_FLOAT_EQ(v.b, 0.9f);
        EXPECT_EQ(v.layer, render::kUnshadedColour);
    }
}

TEST(ColourBoxTest, EveryFaceFacesOutwards) {
    std::vector<MeshVertex> list;
    render::emitColourBox(list, {-1, -1, -1}, {1, 1, 1}, {0, 0, 0}, 0.7, {1, 1, 1}, false);
    for (std::size_t t = 0; t < list.size(); t += 3) {
        const MeshVertex &a = list[t], &b = list[t + 1], &c = list[t + 2];
        const double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const double vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
        const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        const double cx = (a.x + b.x + c.x) / 3, cy = (a.y + b.y + c.y) / 3, cz = (a.z + b.z + c.z) / 3;
        // Every triangle winds counter-clockwise seen from outside, as the block faces do.
        EXPECT_GT(nx * cx + ny * cy + nz * cz, 0.0) << t;
    }
}

TEST(ColourBoxTest, AnOutlineIsTwelveThinBarsAlongTheEdges) {
    std::vector<MeshVertex> list;
    render::emitBoxOutline(list, {0, 0, 0}, {1, 2, 3}, {1, 0, 0});
    ASSERT_EQ(list.size(), 12u * 36u);
    float minX = 1e9f, maxX = -1e9f, maxY = -1e9f, maxZ = -1e9f;
    for (const MeshVertex& v : list) {
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        maxY = std::max(maxY, v.y);
        maxZ = std::max(maxZ, v.z);
        EXPECT_EQ(v.layer, render::kUnshadedColour);
    }
    EXPECT_THAT((std::array{minX, maxX, maxY, maxZ}),
                testing::ElementsAre(testing::FloatEq(-0.008f), testing::FloatEq(1.008f), testing::FloatEq(2.008f),
                                     testing::FloatEq(3.008f)));
    // No bar crosses the box's inside: every vertex lies within 0.008 of two of the box's faces.
    for (const MeshVertex& v : list) {
        int near = 0;
        const float p[3] = {v.x, v.y, v.z}, hi[3] = {1, 2, 3};
        for (int a = 0; a < 3; ++a)
            if (std::fabs(p[a]) <= 0.0081f || std::fabs(p[a] - hi[a]) <= 0.0081f) ++near;
        EXPECT_GE(near, 2);
    }
}

}  // namespace
