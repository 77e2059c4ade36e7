#include "render/functional_geometry.h"

#include <gtest/gtest.h>

#include <numbers>

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
