#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "models/vxm.h"

namespace {

// u and v follow position (u = 2x, v = 2y) so that interpolated coordinates can be checked anywhere.
VxmVertex corner(float x, float y, float z, uint32_t face = 0, uint32_t part = 0) {
    return {x, y, z, 2.0f * x, 2.0f * y, face, 0.375f, 1.225f, 0.0f, 0.0f, 0.0f, 0.5f, part};
}

bool sameVertex(const VxmVertex& a, const VxmVertex& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.u == b.u && a.v == b.v && a.face == b.face &&
           a.pivotX == b.pivotX && a.pivotY == b.pivotY && a.pivotZ == b.pivotZ &&
           a.rotationX == b.rotationX && a.rotationY == b.rotationY && a.rotationZ == b.rotationZ &&
           a.part == b.part;
}

void expectSameMesh(const std::vector<VxmVertex>& a, const std::vector<VxmVertex>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(sameVertex(a[i], b[i])) << "vertex " << i;
}

double triangleArea(const VxmVertex* t) {
    const double ax = t[1].x - t[0].x, ay = t[1].y - t[0].y, az = t[1].z - t[0].z;
    const double bx = t[2].x - t[0].x, by = t[2].y - t[0].y, bz = t[2].z - t[0].z;
    const double cx = ay * bz - az * by, cy = az * bx - ax * bz, cz = ax * by - ay * bx;
    return 0.5 * std::sqrt(cx * cx + cy * cy + cz * cz);
}

double meshArea(const std::vector<VxmVertex>& mesh) {
    double area = 0.0;
    for (std::size_t i = 0; i + 2 < mesh.size(); i += 3) area += triangleArea(&mesh[i]);
    return area;
}

TEST(BodyBands, TriangleAcrossTheFirstCutBecomesOneBelowAndTwoAbove) {
    const std::vector<VxmVertex> mesh = {corner(0, 0, 0, 1, 3), corner(1, 0.5f, 0, 2, 3),
                                         corner(0, 0.5f, 1, 3, 3)};
    const std::vector<VxmVertex> cut = content::splitIntoBands(mesh);
    ASSERT_EQ(cut.size(), 9u);
    for (int i = 0; i < 3; ++i) EXPECT_LE(cut[i].y, 0.25f);
    for (int i = 3; i < 9; ++i) EXPECT_GE(cut[i].y, 0.25f);
    int newCorners = 0;
    for (const VxmVertex& v : cut) {
        EXPECT_NEAR(v.u, 2.0f * v.x, 1e-6f);
        EXPECT_NEAR(v.v, 2.0f * v.y, 1e-6f);
        EXPECT_EQ(v.part, 3u);
        EXPECT_FLOAT_EQ(v.pivotY, 1.225f);
        EXPECT_FLOAT_EQ(v.rotationZ, 0.5f);
        if (v.y != 0.0f && v.y != 0.5f) {
            ++newCorners;
            EXPECT_EQ(v.y, 0.25f);
            EXPECT_FLOAT_EQ(v.x + v.z, 0.5f);  // halfway along an edge from the first corner
            // A new corner takes the face of the corner its edge starts from.
            EXPECT_EQ(v.face, v.x > v.z ? 1u : 3u);
        }
    }
    EXPECT_EQ(newCorners, 2 + 3);  // the upper fan shares its first corner
}

TEST(BodyBands, TriangleThatOnlyTouchesACutStaysWhole) {
    const std::vector<VxmVertex> below = {corner(0, 0, 0), corner(1, 0, 0), corner(0.5f, 0.25f, 0)};
    expectSameMesh(content::splitIntoBands(below), below);
    const std::vector<VxmVertex> above = {corner(0, 0.83f, 0), corner(1, 1.2f, 0), corner(0.5f, 1.3f, 0)};
    expectSameMesh(content::splitIntoBands(above), above);
    const std::vector<VxmVertex> withinTolerance = {corner(0, 1.3999995f, 0), corner(1, 1.8f, 0),
                                                    corner(0.5f, 1.6f, 0)};
    expectSameMesh(content::splitIntoBands(withinTolerance), withinTolerance);
}

TEST(BodyBands, CutThroughAVertexGivesOneTriangleOnEachSide) {
    const std::vector<VxmVertex> mesh = {corner(0, 0, 0), corner(1, 0.25f, 0), corner(0, 0.5f, 0)};
    const std::vector<VxmVertex> cut = content::splitIntoBands(mesh);
    ASSERT_EQ(cut.size(), 6u);
    for (int i = 0; i < 3; ++i) EXPECT_LE(cut[i].y, 0.25f);
    for (int i = 3; i < 6; ++i) EXPECT_GE(cut[i].y, 0.25f);
    EXPECT_NEAR(meshArea(cut), meshArea(mesh), 1e-6);
}

TEST(BodyBands, TallTriangleIsCutAtEveryHeightKeepingItsArea) {
    const std::vector<VxmVertex> mesh = {
        corner(0, 0, 0),    corner(0.5f, 1.8f, 0.25f), corner(-0.5f, 0.9f, -0.25f),
        corner(0, 0.1f, 0), corner(0.3f, 0.2f, 0),     corner(0, 0.2f, 0.3f)};
    const std::vector<VxmVertex> cut = content::splitIntoBands(mesh);
    EXPECT_GT(cut.size(), 3u * 4);
    EXPECT_NEAR(meshArea(cut), meshArea(mesh), 1e-5);
    const float cuts[] = {0.25f, 0.83f, 1.40f};
    for (std::size_t i = 0; i + 2 < cut.size(); i += 3) {
        for (const float h : cuts) {
            bool below = false, above = false;
            for (std::size_t k = i; k < i + 3; ++k) {
                below = below || cut[k].y < h - 1e-6f;
                above = above || cut[k].y > h + 1e-6f;
            }
            EXPECT_FALSE(below && above) << "triangle " << i / 3 << " crosses " << h;
        }
    }
}

TEST(BodyBands, CuttingTwiceChangesNothing) {
    const std::vector<VxmVertex> mesh = {
        corner(0, 0, 0), corner(0.5f, 1.8f, 0.25f), corner(-0.5f, 0.9f, -0.25f),
        corner(0, 0, 0), corner(1, 0.5f, 0),        corner(0, 0.5f, 1)};
    const std::vector<VxmVertex> once = content::splitIntoBands(mesh);
    expectSameMesh(content::splitIntoBands(once), once);
}

TEST(BodyBands, EmptyMeshStaysEmpty) {
    EXPECT_TRUE(content::splitIntoBands({}).empty());
}

}  // namespace
