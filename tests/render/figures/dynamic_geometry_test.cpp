#include "render/figures/dynamic_geometry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "app/app.h"
#include "game/hit_sparks.h"
#include "render/chunks/light_flood_fill.h"

namespace {

using render::Double3;
using render::MeshVertex;

TEST(DynamicGeometryTest, GateOpensOnlyOverPlayOrScreen14WithSomethingToDraw) {
    struct Case {
        bool menu;
        int32_t screen;
        bool any, hitboxes, runs;
    };
    for (const Case c : {Case{false, 0, false, false, false}, Case{false, 0, false, true, true},
                         Case{false, 0, true, false, true}, Case{true, 14, true, false, true},
                         Case{true, 13, true, true, false}, Case{true, 15, true, true, false}}) {
        EXPECT_EQ(render::dynamicPassRuns({c.menu, c.screen, c.any, c.hitboxes}), c.runs) << c.screen << c.any;
    }
}

TEST(DynamicGeometryTest, ItemAlphaClampsAtBothEnds) {
    struct Case {
        bool guest;
        double now, last, accumulator, alpha;
    };
    for (const Case c : {Case{true, 10.1, 10.0, 0.04, 0.5}, Case{true, 10.2, 10.0, 0.0, 1.0},
                         Case{true, 10.3, 10.0, 0.0, 1.0}, Case{true, 9.9, 10.0, 0.05, 0.0},
                         Case{false, 10.1, 10.0, 0.025, 0.5}, Case{false, 0.0, 10.0, 0.06, 1.0}}) {
        EXPECT_NEAR(render::droppedItemAlpha(c.guest, c.now, c.last, c.accumulator), c.alpha, 1e-9) << c.now;
    }
}

TEST(DynamicGeometryTest, ItemIsPlacedSmallSpunAndLifted) {
    DroppedItem item{.id = 3, .x = 10, .y = 20, .z = 30, .phase = 0, .prevX = 0, .prevY = 0, .prevZ = 0};
    const render::ItemPose still = render::droppedItemPose(item, 0.5);
    EXPECT_EQ(still.x, 10.0);  // flag clear: the current values whatever the factor
    item.interpolate = 1;
    EXPECT_DOUBLE_EQ(render::droppedItemPose(item, 0.5).x, 5.0);

    render::BlockFaces mesh;
    mesh.vertices = {MeshVertex{.x = 0, .y = 0, .z = 0, .layer = 7}, MeshVertex{.x = 1, .y = 1, .z = 0}};
    mesh.indices = {1, 0};
    std::vector<MeshVertex> list;
    // A quarter turn: (phase 1.3 * phase) = pi / 2 takes model +x onto world +z.
    render::emitDroppedItem(list, mesh, {10, 20, 30, std::numbers::pi / 2 / 1.3});
    ASSERT_EQ(list.size(), 2u);
    const double bob = std::sin(std::numbers::pi / 2 / 1.3 * 3.0) * 0.04 + 0.05;
    // ox 0.14, oz -0.14
    EXPECT_THAT((std::array<double, 3>{list[0].x, list[0].y, list[0].z}),
                testing::Pointwise(testing::DoubleNear(1e-5), std::array{10.0 + 0.14, 20.0 + 0.14 + bob, 30.0 + 0.14}));
    EXPECT_EQ(list[1].layer, 7.0f);
}

TEST(DynamicGeometryTest, CubeItemMeshIsOneUnitCellOfTwelveTriangles) {
    const render::BlockFaces mesh = render::itemMesh(3);
    ASSERT_EQ(mesh.indices.size(), 36u);
    for (const MeshVertex& v : mesh.vertices) {
        EXPECT_TRUE(v.x >= 0 && v.x <= 1 && v.y >= 0 && v.y <= 1 && v.z >= 0 && v.z <= 1);
    }
}

TEST(DynamicGeometryTest, ArrowBasisIsOrthonormalAtTheHintEdge) {
    const double justOver = 0.9501, side = std::sqrt(1 - justOver * justOver);
    for (const Double3 d : {Double3{0, 1, 0}, Double3{0, -1, 0}, Double3{0, 0.95, std::sqrt(1 - 0.9025)},
                            Double3{side, justOver, 0}, Double3{1, 0, 0}}) {
        const render::ArrowBasis b = render::arrowBasis(d);
        const auto dot = [](const Double3& p, const Double3& q) { return p[0] * q[0] + p[1] * q[1] + p[2] * q[2]; };
        EXPECT_NEAR(dot(b.right, b.right), 1.0, 1e-9) << d[1];
        EXPECT_NEAR(dot(b.right, d), 0.0, 1e-9) << d[1];
        EXPECT_NEAR(dot(b.up, b.up), 1.0, 1e-9) << d[1];
    }
    // Straight up: the x hint gives right +z and up +x.
    EXPECT_EQ(render::arrowBasis({0, 1, 0}).right, (Double3{0, 0, 1}));
    EXPECT_EQ(render::arrowBasis({0, 1, 0}).up, (Double3{1, 0, 0}));
    EXPECT_EQ(render::arrowBasis({0, 0, 0}).right, (Double3{1, 0, 0}));
}

TEST(DynamicGeometryTest, ArrowModelPointsItsPlusZBackwards) {
    const std::vector<ModelVertex> model = {{.x = 0.5f, .y = 0.5f, .z = 1.0f, .texture = 2, .shade = 0.8f},
                                            {.x = 1.0f, .y = 0.5f, .z = 0.0f}};
    std::vector<MeshVertex> list;
    render::emitArrowVertices(list, model, 3, {1, 2, 3}, {1, 0, 0}, 0.75);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_FLOAT_EQ(list[0].x, 1.0f - 0.75f);  // tail behind the position
    EXPECT_FLOAT_EQ(list[0].r, 0.8f);
    EXPECT_EQ(list[0].layer, static_cast<float>(voxel::textureLayer(3, 2)));
    EXPECT_FLOAT_EQ(list[1].z, 3.0f - 0.375f);  // right of a +x flight is -z
}

TEST(DynamicGeometryTest, SparkCubeShrinksOnlyBelowLife8) {
    struct Case {
        int32_t life;
        double half;
    };
    for (const Case c : {Case{0, 0.018}, Case{7, 0.032}, Case{8, 0.034}, Case{9, 0.034}, Case{20, 0.034}}) {
        EXPECT_NEAR(render::sparkHalfSize(c.life), c.half, 1e-12) << c.life;
    }
    std::vector<MeshVertex> list;
    render::emitSparkCubes(list, {HitSpark{.x = 4, .prevX = 0, .life = 8}}, 0.25);
    ASSERT_EQ(list.size(), 36u);
    EXPECT_NEAR(list[0].x, 1.0 - 0.034, 1e-6);
    EXPECT_EQ(list[0].layer, render::kUnshadedColour);
}

TEST(DynamicGeometryTest, LightIsLookedUpOncePerCellAndNotOutsideTheWorld) {
    int lookups = 0;
    const render::LightLookup lookup = [&lookups](int32_t, int32_t y, int32_t) {
        ++lookups;
        return render::CellLight{0.5f, y / 100.0f};
    };
    std::vector<MeshVertex> list = {{.y = 10.2f, .motion = 3}, {.y = 10.7f}, {.y = 11.0f}, {.y = 10.1f},
                                    {.y = 128.0f}, {.y = 127.99f}, {.y = -0.001f}, {.y = 0.0f}};
    render::LightCache cache;
    render::stampVertexLight(list, cache, lookup);
    EXPECT_EQ(lookups, 4);  // cells 10, 11, 127, 0: the return to 10 hits the cache
    EXPECT_THAT((std::array{list[3].block, list[5].block}),
                testing::ElementsAre(testing::FloatEq(0.1f), testing::FloatEq(1.27f)));
    // Motion of the first; sky and block light above the world (y 128); sky below it and at its floor.
    EXPECT_EQ((std::array{list[0].motion, list[4].sky, list[4].block, list[6].sky, list[7].sky}),
              (std::array{0.0f, 1.0f, 0.0f, 0.0f, 0.5f}));
    render::stampVertexLight(list, cache, lookup);
    EXPECT_EQ(lookups, 8);  // a new run starts with an empty cache

    // Cells met again after hundreds of others are still known once the table has grown.
    list.clear();
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 300; ++i) list.push_back({.x = static_cast<float>(i * 3 - 450), .y = 5, .z = -7});
    }
    lookups = 0;
    render::stampVertexLight(list, cache, lookup);
    EXPECT_EQ(lookups, 300);
    EXPECT_EQ(cache.size(), 300u);
}

// Each vertex takes the light of the cell its position floors to; the lookup reports that cell, so a
// wrong cell at an edge shows. The table runs forwards, backwards and with wild positions mixed in.
TEST(DynamicGeometryTest, StampedLightIsTheFlooredCellsAtEveryEdge) {
    const render::LightLookup lookup = [](int32_t x, int32_t y, int32_t z) {
        return render::CellLight{static_cast<float>(x), static_cast<float>(y + 1000 * z)};
    };
    struct Case {
        float x, y, z;
        float sky, block;
    };
    const std::vector<Case> edges = {
        {16.0f, 64.5f, 3.5f, 16, 3064},         {15.999999f, 64.5f, 3.5f, 15, 3064},
        {-0.0f, 64.5f, 3.5f, 0, 3064},          {-1e-6f, 64.5f, 3.5f, -1, 3064},
        {-16.0f, 64.5f, 3.5f, -16, 3064},       {-16.000002f, 64.5f, 3.5f, -17, 3064},
        {2.5f, 0.0f, 3.5f, 2, 3000},            {2.5f, -1e-6f, 3.5f, 0, 0},
        {2.5f, 127.0f, 3.5f, 2, 3127},          {2.5f, 127.99999f, 3.5f, 2, 3127},
        {2.5f, 128.0f, 3.5f, 1, 0},             {2.5f, -50.0f, 3.5f, 0, 0},
        {2.5f, 64.5f, 31.0f, 2, 31064},         {2.5f, 64.5f, -31.5f, 2, -31936},
        {2.5f, 64.5f, -1e-6f, 2, -936},         {16.0f, 64.5f, 3.5f, 16, 3064},
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Case> wild = {{nan, 64.5f, 3.5f, -2147483648.0f, 3064},
                                    {3e9f, 64.5f, 3.5f, 2147483648.0f, 3064},
                                    {1e6f, 64.5f, -1e6f, 1e6f, -999999936.0f}};
    const std::vector<Case> backwards(edges.rbegin(), edges.rend());
    std::vector<Case> withWild = edges;
    withWild.insert(withWild.begin() + 3, wild.begin(), wild.end());
    const std::vector<Case>& mixed = withWild;
    render::LightCache cache;
    for (const std::vector<Case>* table : {&edges, &backwards, &mixed}) {
        std::vector<MeshVertex> list;
        for (const Case& c : *table) list.push_back({.x = c.x, .y = c.y, .z = c.z, .sky = 7, .block = 7, .motion = 2});
        render::stampVertexLight(list, cache, lookup);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const Case& c = (*table)[i];
            EXPECT_EQ((std::array{list[i].sky, list[i].block, list[i].motion}), (std::array{c.sky, c.block, 0.0f}))
                << i << ": " << c.x << ", " << c.y << ", " << c.z;
        }
    }
}

// Colour boxes are lit by their corners when their 36 vertices still repeat eight positions; a box
// with one vertex moved, or a run that only starts like a box, is lit vertex by vertex.
TEST(DynamicGeometryTest, BoxesAcrossCellEdgesAreLitLikeSingleVertices) {
    const render::LightLookup lookup = [](int32_t x, int32_t y, int32_t z) {
        return render::CellLight{static_cast<float>(x), static_cast<float>(y + 1000 * z)};
    };
    std::vector<MeshVertex> list;
    render::emitColourBox(list, {-0.5, -0.25, -0.5}, {0.5, 0.25, 0.5}, {16.0, 64.0, -0.25}, 0.3, {1, 1, 1}, false);
    render::emitColourBox(list, {-0.5, 0.0, -0.5}, {0.5, 1.0, 0.5}, {2.0, 127.5, 3.0}, 0.0, {1, 1, 1}, true);
    list[36 + 12].x += 0.7f;  // the second box's vertex 12 leaves its corner (x 1.5) for the next cell
    list.insert(list.begin() + 36, list.begin(), list.begin() + 4);  // starts like a box, then is not one
    std::vector<MeshVertex> single;
    for (const MeshVertex& v : list) single.push_back(v);
    render::LightCache cache;
    render::stampVertexLight(list, cache, lookup);
    for (MeshVertex& v : single) {
        std::vector<MeshVertex> one = {v};
        render::stampVertexLight(one, cache, lookup);
        v = one[0];
    }
    ASSERT_EQ(list.size(), 76u);
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ((std::array{list[i].sky, list[i].block}), (std::array{single[i].sky, single[i].block})) << i;
    }
    EXPECT_EQ((std::array{list[40 + 12].sky, list[40 + 12].block}), (std::array{2.0f, 2127.0f}));
}

// Through the App: a loaded chunk's own light, an opaque cell's brightest face, and nothing at all
// beyond the loaded chunk (x 16 is the next chunk, x just below 0 the one before).
TEST(DynamicPassAppTest, StampedLightStopsAtTheLoadedChunksEdge) {
    App app;
    std::vector<voxel::Chunk> chunks;
    chunks.emplace_back(0, 0);
    for (int32_t y = 0; y < 64; ++y) {
        for (uint32_t i = 0; i < 256; ++i) chunks[0].cells[voxel::cellIndex(i % 16, y, i / 16)] = 3;
    }
    voxel::computeLight(chunks, {});
    app.world.chunks = std::move(chunks);
    app.reindexChunks();
    struct Case {
        float x, y, z;
        float sky;
    };
    const Case cases[] = {
        {15.999f, 64.0f, 8.0f, 1.0f}, {16.0f, 64.0f, 8.0f, 0.0f},    {0.0f, 64.0f, 8.0f, 1.0f},
        {-0.001f, 64.0f, 8.0f, 0.0f}, {8.0f, 63.999f, 8.0f, 1.0f},   {8.0f, 30.0f, 8.0f, 0.0f},
        {8.0f, 0.0f, 15.999f, 0.0f},  {8.0f, 127.0f, 8.0f, 1.0f},    {8.0f, 128.0f, 8.0f, 1.0f},
        {8.0f, 64.0f, 16.0f, 0.0f},   {8.0f, 64.0f, -0.001f, 0.0f},  {8.0f, 200.0f, -40.0f, 1.0f},
    };
    std::vector<MeshVertex> list;
    for (const Case& c : cases) list.push_back({.x = c.x, .y = c.y, .z = c.z, .sky = 0.5f, .block = 0.5f});
    app.stampVertexLight(list);
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ((std::array{list[i].sky, list[i].block}), (std::array{cases[i].sky, 0.0f}))
            << cases[i].x << ", " << cases[i].y << ", " << cases[i].z;
    }
}

TEST(DynamicGeometryTest, BufferAtLeastDoublesWhenOutgrownAndNeverShrinks) {
    struct Case {
        uint64_t capacity, bytes, result;
    };
    for (const Case c : {Case{0, 48, 48}, Case{100, 100, 100}, Case{100, 101, 200}, Case{100, 250, 250},
                         Case{100, 10, 100}}) {
        EXPECT_EQ(render::dynamicBufferCapacity(c.capacity, c.bytes), c.result) << c.bytes;
    }
}

TEST(DynamicGeometryTest, FloorCellSaturatesWildPositions) {
    EXPECT_EQ(render::floorCell(-0.5f), -1);
    EXPECT_EQ(render::floorCell(std::numeric_limits<float>::quiet_NaN()), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(render::floorCell(3e9f), std::numeric_limits<int32_t>::max());
}

TEST(HitSparksTest, StepMovesFallsAgesAndDropsBelowLife1) {
    std::vector<HitSpark> sparks = {HitSpark{.x = 1, .velocityX = 2, .velocityY = 0, .life = 1},
                                    HitSpark{.x = 1, .velocityX = 2, .velocityY = 0, .life = 2}};
    game::stepSparks(sparks);
    ASSERT_EQ(sparks.size(), 1u);
    EXPECT_EQ(sparks[0].prevX, 1.0);
    EXPECT_THAT((std::array{sparks[0].x, sparks[0].velocityY, sparks[0].y}),
                testing::ElementsAre(testing::DoubleEq(1.1), testing::DoubleEq(-0.8), testing::DoubleEq(-0.04)));
    EXPECT_EQ(sparks[0].life, 1);
}

TEST(HitSparksTest, BurstsKeepTheListBounded) {
    std::vector<HitSpark> sparks;
    for (int i = 0; i < 100; ++i) game::spawnSparks(sparks, i, 0, 0, 1, 0.5, 0);
    EXPECT_EQ(sparks.size(), game::kMaxSparks);
    EXPECT_EQ(sparks.back().x, 99.0);  // the newest stay
}

// The App layer: records in unloaded chunks and unknown ids are skipped, and a LAN guest draws an
// item without valid previous values where it is.
TEST(DynamicPassAppTest, ItemsOutsideLoadedChunksOrRegistryAreSkipped) {
    App app;
    app.world.chunks.emplace_back(0, 0);
    app.reindexChunks();
    app.lan.networked = true;
    app.entities.droppedItems = {DroppedItem{.id = 3, .x = 5.5f, .y = 70, .z = 5.5f},
                                 DroppedItem{.id = 3, .x = 16.5f, .y = 70, .z = 5.5f},
                                 DroppedItem{.id = 250, .x = 5.5f, .y = 70, .z = 5.5f}};
    std::vector<MeshVertex> list;
    app.buildDynamicGeometry(list);
    ASSERT_EQ(list.size(), 36u);
    for (const MeshVertex& v : list) EXPECT_NEAR(v.x, 5.5, 0.21);
}

}  // namespace
