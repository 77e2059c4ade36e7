#include "render/figures/functional_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "world/shapes.h"

namespace {

using render::FunctionalBlock;
using render::MeshVertex;

constexpr double kHalfPi = std::numbers::pi / 2;

voxel::BlockDef shaped(const char* behavior, std::vector<ModelVertex> model) {
    voxel::BlockDef def;
    def.behavior = behavior;
    def.modelVertices = std::move(model);
    return def;
}

ModelVertex at(float x, float y, float z, uint32_t part = 0, int32_t texture = 0) {
    ModelVertex m;
    m.x = x;
    m.y = y;
    m.z = z;
    m.part = part;
    m.texture = texture;
    m.shade = 0.84f;
    return m;
}

TEST(FurnaceFireTest, VertexCountsOfBothFireKinds) {
    struct Case {
        int32_t material;
        std::size_t vertices;
    };
    // The opening box, then four flames of two boxes each, or one textured quad.
    for (const Case c : {Case{-1, 36 + 4 * 2 * 36}, Case{0, 36 + 6}, Case{2, 36 + 6}}) {
        std::vector<MeshVertex> list;
        render::emitFurnaceFire(list, 4, 70, -9, 20, c.material, 1.25);
        EXPECT_EQ(list.size(), c.vertices) << c.material;
        for (const MeshVertex& v : list) EXPECT_LT(v.z, -9.0f) << "fire sits just outside the north face";
    }
}

using Bounds = std::array<std::array<double, 3>, 2>;
Bounds boundsOf(const std::vector<MeshVertex>& list, std::size_t from, std::size_t count) {
    Bounds b{{{1e30, 1e30, 1e30}, {-1e30, -1e30, -1e30}}};
    for (std::size_t i = from; i < from + count; ++i) {
        const double p[3] = {list[i].x, list[i].y, list[i].z};
        for (int k = 0; k < 3; ++k) b[0][k] = std::min(b[0][k], p[k]), b[1][k] = std::max(b[1][k], p[k]);
    }
    return b;
}

void expectBounds(const Bounds& got, const Bounds& want, const std::string& what) {
    for (int side = 0; side < 2; ++side)
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[side][k], want[side][k], 1e-5) << what << " axis " << k;
}

TEST(FurnaceFireTest, OpeningAndEveryFlameOfTheFlickeringFire) {
    const double t = 0.25;
    const int32_t x = 2, z = -3;
    std::vector<MeshVertex> list;
    render::emitFurnaceFire(list, x, 10, z, 20, -1, t);
    ASSERT_EQ(list.size(), 9u * 36);
    struct Box {
        std::string name;
        Bounds bounds;
        std::array<float, 3> colour;
    };
    std::vector<Box> boxes{
        {"opening", {{{2.22, 10.12, -3.012}, {2.78, 10.49, -3.008}}}, {0.065f, 0.018f, 0.005f}}};
    for (int i = 0; i < 4; ++i) {
        const double a = 8.0 * t + 1.7 * i + 0.31 * x + 0.19 * z;
        const double h = 0.19 + 0.025 * std::sin(1.7 * a) + 0.055 * std::sin(a), left = 2.27 + 0.115 * i;
        boxes.push_back({"outer " + std::to_string(i),
                         {{{left, 10.16, -3.017}, {left + 0.085, 10.16 + h, -3.014}}},
                         {0.94f, 0.16f, 0.006f}});
        boxes.push_back({"inner " + std::to_string(i),
                         {{{left + 0.017, 10.16, -3.021}, {left + 0.068, 10.16 + 0.62 * h, -3.019}}},
                         {1.0f, 0.66f, 0.018f}});
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        expectBounds(boundsOf(list, i * 36, 36), boxes[i].bounds, boxes[i].name);
        EXPECT_EQ((std::array<float, 3>{list[i * 36].r, list[i * 36].g, list[i * 36].b}), boxes[i].colour)
            << boxes[i].name;
    }
}

TEST(FurnaceFireTest, QuadTakesTheFireTextureAndFlickersFromItsBase) {
    std::vector<MeshVertex> list;
    render::emitFurnaceFire(list, 0, 10, 0, 20, 3, 0.0);  // sin(0) = 0: flicker factor 0.95
    const MeshVertex& corner2 = list[36 + 2];                // third corner: (0.74, 0.46), uv (1, 0)
    EXPECT_FLOAT_EQ(corner2.layer, static_cast<float>(voxel::textureLayer(20, 3)));
    EXPECT_NEAR(corner2.y, 10.0 + 0.15 + 0.31 * 0.95, 1e-5);
    EXPECT_NEAR(corner2.x, 0.74, 1e-6);
    EXPECT_FLOAT_EQ(corner2.u, 1.0f);
    EXPECT_FLOAT_EQ(corner2.v, 0.0f);
    EXPECT_FLOAT_EQ(corner2.r, 1.2f);
    EXPECT_NEAR(list[36].y, 10.15, 1e-5) << "the base corners do not move";
}

TEST(FunctionalGeometryTest, OpenDoorSwingsAboutItsHinge) {
    voxel::BlockDef door = shaped("door", {at(1, 0, 0), at(0, 2, 0), at(1, 2, 0)});
    std::vector<MeshVertex> list;
    render::emitFunctionalBlock(list, door, FunctionalBlock{10, 64, -3, 13, 0, kHalfPi}, false);
    ASSERT_EQ(list.size(), 3u);
    // The free edge (x 1) of a quarter-open door lies across the cell at the hinge side.
    EXPECT_NEAR(list[0].x, 10.1875, 1e-5);
    EXPECT_NEAR(list[0].y, 64.0, 1e-5);
    EXPECT_NEAR(list[0].z, -2.0, 1e-5);
    EXPECT_FLOAT_EQ(list[0].r, 0.84f);
    EXPECT_FLOAT_EQ(list[0].layer, static_cast<float>(voxel::textureLayer(13, 0)));

    list.clear();
    render::emitFunctionalBlock(list, door, FunctionalBlock{10, 64, -3, 13, 0, 0.0}, true);
    EXPECT_EQ(list.size(), 3u + 12 * 36) << "twelve outline bars after the door";
    EXPECT_NEAR(list[0].x, 11.0, 1e-5);
    EXPECT_NEAR(list[0].z, -3.0, 1e-5);
}

TEST(FunctionalGeometryTest, TrapdoorAtTheTopIsMirroredAndLidsTurnOnlyTheirParts) {
    std::vector<MeshVertex> list;
    render::emitFunctionalBlock(list, shaped("trapdoor", {at(0.5f, 0, 0.5f)}),
                                FunctionalBlock{0, 5, 0, 14, voxel::stateUpper, 0.0}, false);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_NEAR(list[0].y, 6.0, 1e-6);

    voxel::BlockDef chest = shaped("chest", {at(0.5f, 0.5f, 1.0f, 0), at(0.5f, 0.5f, 1.0f, 1)});
    chest.lid_hinge_y = 0.5f;
    chest.lid_hinge_z = 0.0f;
    list.clear();
    render::emitFunctionalBlock(list, chest, FunctionalBlock{0, 5, 0, 20, 0, kHalfPi}, true);
    ASSERT_EQ(list.size(), 1u) << "the body stays in the chunk mesh; no outline for chests";
    EXPECT_NEAR(list[0].y, 6.5, 1e-5);
    EXPECT_NEAR(list[0].z, 0.0, 1e-5);
}

TEST(FunctionalGeometryTest, HitboxOutlineOfEachShapeTurnedWithTheBlock) {
    const double e = 0.008, t = 0.1875;  // half an outline bar; the default door thickness
    struct Case {
        const char* behavior;
        uint8_t state;
        Bounds local;  // within the cell
    };
    for (const Case c :
         {Case{"door", 0, {{{0, 0, 0}, {1, 2, t}}}}, Case{"trapdoor", 0, {{{0, 0, 0}, {1, t, 1}}}},
          Case{"ladder", 0, {{{0, 0, 0}, {1, 1, t}}}}, Case{"bed", 0, {{{0, 0, 0}, {1, 0.5625, 2}}}},
          Case{"bed", 1, {{{-1, 0, 0}, {1, 0.5625, 1}}}}, Case{"ladder", 2, {{{0, 0, 1 - t}, {1, 1, 1}}}}}) {
        std::vector<MeshVertex> list;
        render::emitFunctionalBlock(list, shaped(c.behavior, {}),
                                    FunctionalBlock{3, 64, -2, 13, c.state, 0.0}, true);
        ASSERT_EQ(list.size(), 12u * 36) << c.behavior;
        const Bounds want{{{3 + c.local[0][0] - e, 64 + c.local[0][1] - e, -2 + c.local[0][2] - e},
                           {3 + c.local[1][0] + e, 64 + c.local[1][1] + e, -2 + c.local[1][2] + e}}};
        expectBounds(boundsOf(list, 0, list.size()), want,
                     std::string(c.behavior) + " facing " + std::to_string(c.state));
    }
}

TEST(FunctionalGeometryTest, LidEasesOpenAndTurnsWithTheFacing) {
    struct Case {
        double progress, angle;  // of a 90-degree lid
    };
    for (const Case c :
         {Case{0.0, 0.0}, Case{0.25, 0.15625 * kHalfPi}, Case{0.5, 0.5 * kHalfPi}, Case{1.0, kHalfPi}}) {
        EXPECT_NEAR(render::lidAngle(c.progress, 90.0), c.angle, 1e-12) << c.progress;
    }
    // The lid corner (0.5, 0.5, 1) swings up over the hinge (y 0.5, z 0) to (0.5, 1.5, 0), then turns with
    // the facing.
    voxel::BlockDef chest = shaped("chest", {at(0.5f, 0.5f, 1.0f, 1)});
    chest.lid_hinge_y = 0.5f;
    chest.lid_hinge_z = 0.0f;
    struct Turn {
        uint8_t facing;
        double x, z;
    };
    for (const Turn f : {Turn{0, 0.5, 0.0}, Turn{1, 1.0, 0.5}, Turn{2, 0.5, 1.0}, Turn{3, 0.0, 0.5}}) {
        std::vector<MeshVertex> list;
        render::emitFunctionalBlock(list, chest, FunctionalBlock{0, 5, 0, 20, f.facing, kHalfPi}, false);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_NEAR(list[0].x, f.x, 1e-5) << int(f.facing);
        EXPECT_NEAR(list[0].y, 6.5, 1e-5) << int(f.facing);
        EXPECT_NEAR(list[0].z, f.z, 1e-5) << int(f.facing);
    }
}

TEST(FunctionalGeometryTest, BufferStartsAt16KiBAndDoubles) {
    struct Case {
        uint64_t capacity, bytes, grown;
    };
    for (const Case c : {Case{0, 48, 16384}, Case{0, 16384, 16384}, Case{0, 16385, 32768},
                         Case{16384, 16385, 32768}, Case{32768, 131073, 262144}}) {
        EXPECT_EQ(render::functionalCapacity(c.capacity, c.bytes), c.grown) << c.capacity << " " << c.bytes;
    }
}

}  // namespace
