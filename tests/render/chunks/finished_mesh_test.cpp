#include "render/chunks/finished_mesh.h"

#include <gtest/gtest.h>

#include <vector>

#include "world/loaded_world.h"

namespace {

render::MeshVertex vertex(float x, float y, float z, float layer) {
    render::MeshVertex v;
    v.x = x;
    v.y = y;
    v.z = z;
    v.layer = layer;
    return v;
}

TEST(ChunkMeshSplit, TrianglesOnTheWaterLayersGoToTheWaterList) {
    const std::vector<render::MeshVertex> vertices{vertex(0, 0, 0, 29.6f), vertex(1, 0, 0, 35.4f),
                                                   vertex(0, 1, 0, 35.5f), vertex(1, 1, 0, 18.0f)};
    // The first vertex of a triangle decides: 29.6 rounds to 30, 35.5 to 36.
    const std::vector<uint32_t> indices{0, 3, 3, 1, 0, 0, 2, 1, 1, 3, 0, 0};
    const render::SplitIndices split = render::splitChunkTriangles(vertices, indices, {0, 0, 0, 0}, {});
    EXPECT_EQ(split.water, (std::vector<uint32_t>{0, 3, 3, 1, 0, 0}));
    EXPECT_EQ(split.solid, (std::vector<uint32_t>{2, 1, 1, 3, 0, 0}));
    EXPECT_EQ(split.plainIndexCount, 0u) << "without material flags nothing is plain";
}

// A triangle is plain only when the material of its first vertex, rounded as the vertex stage rounds
// it, has no texel to cut out, none of its three vertices sways and no other triangle can lie on it;
// plain triangles come first.
TEST(ChunkMeshSplit, PlainTrianglesComeFirstAndKeepTheirOrder) {
    std::vector<uint8_t> cutOut(8, 0);
    cutOut[3] = 1;
    struct Case {
        const char* what;
        float layer;
        float motion[3];
        bool plain;
        std::vector<uint8_t> tied = {0};
    };
    const Case cases[] = {
        {"opaque material", 2.0f, {0, 0, 0}, true},
        {"tied to another triangle", 2.0f, {0, 0, 0}, false, {1}},
        {"past its tie flags", 2.0f, {0, 0, 0}, false, {}},
        {"cut-out material", 3.0f, {0, 0, 0}, false},
        {"2.49 rounds to the opaque 2", 2.49f, {0, 0, 0}, true},
        {"2.5 rounds to the cut-out 3", 2.5f, {0, 0, 0}, false},
        {"-0.5 rounds to 0", -0.5f, {0, 0, 0}, true},
        {"below -0.5", -0.51f, {0, 0, 0}, false},
        {"7.49 is the last flag", 7.49f, {0, 0, 0}, true},
        {"7.5 is past the flags", 7.5f, {0, 0, 0}, false},
        {"a material code", 200000.0f, {0, 0, 0}, false},
        {"the last vertex sways", 2.0f, {0, 0, -1.5f}, false},
        {"the first vertex sways", 2.0f, {-1.2f, 0, 0}, false},
        {"-0.5 is still", 2.0f, {-0.5f, 0, -0.5f}, true},
        {"the open water surface's flag alone", 2.0f, {1.0f, 0, 0}, true},
    };
    for (const Case& c : cases) {
        std::vector<render::MeshVertex> vertices;
        for (float motion : c.motion) {
            vertices.push_back(vertex(0, 0, 0, c.layer));
            vertices.back().motion = motion;
        }
        const render::SplitIndices split = render::splitChunkTriangles(vertices, {0, 1, 2}, c.tied, cutOut);
        EXPECT_EQ(split.plainIndexCount, c.plain ? 3u : 0u) << c.what;
        EXPECT_EQ(split.solid, (std::vector<uint32_t>{0, 1, 2})) << c.what;
    }

    const std::vector<render::MeshVertex> vertices{vertex(0, 0, 0, 3), vertex(1, 0, 0, 2),
                                                   vertex(0, 1, 0, 30), vertex(1, 1, 0, 1)};
    const std::vector<uint32_t> indices{0, 1, 3, 1, 3, 0, 2, 1, 3, 3, 0, 1, 0, 3, 1, 1, 0, 3};
    const render::SplitIndices split =
        render::splitChunkTriangles(vertices, indices, {0, 0, 0, 0, 0, 1}, cutOut);
    EXPECT_EQ(split.solid, (std::vector<uint32_t>{1, 3, 0, 3, 0, 1, 0, 1, 3, 0, 3, 1, 1, 0, 3}));
    EXPECT_EQ(split.plainIndexCount, 6u);
    EXPECT_EQ(split.water, (std::vector<uint32_t>{2, 1, 3}));
}

// The normal of (b - a) x (c - a), counter-clockwise seen from the front, names the direction only
// when it lies along an axis.
TEST(ChunkMeshSplit, TriangleDirectionFollowsTheWinding) {
    using D = render::FaceDirection;
    struct Case {
        const char* what;
        float a[3], b[3], c[3];
        D direction;
    };
    const Case cases[] = {
        {"+x", {5, 0, 0}, {5, 1, 0}, {5, 0, 1}, D::PlusX},
        {"-x", {5, 0, 0}, {5, 0, 1}, {5, 1, 0}, D::MinusX},
        {"+y", {0, 2.5f, 0}, {0, 2.5f, 1}, {1, 2.5f, 0}, D::PlusY},
        {"-y", {0, 2.5f, 0}, {1, 2.5f, 0}, {0, 2.5f, 1}, D::MinusY},
        {"+z", {0, 0, -3}, {1, 0, -3}, {0, 1, -3}, D::PlusZ},
        {"-z", {0, 0, -3}, {0, 1, -3}, {1, 0, -3}, D::MinusZ},
        {"slanted", {0, 0, 0}, {1, 0, 0}, {0, 1, 1}, D::Any},
        {"slightly slanted", {5, 0, 0}, {5, 1, 0}, {5.001f, 0, 1}, D::Any},
        {"no area", {0, 0, 0}, {1, 1, 1}, {2, 2, 2}, D::Any},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(render::triangleDirection(vertex(c.a[0], c.a[1], c.a[2], 0), vertex(c.b[0], c.b[1], c.b[2], 0),
                                            vertex(c.c[0], c.c[1], c.c[2], 0)),
                  c.direction)
            << c.what;
    }
}

// Plain triangles run by direction (in FaceDirection order), then by the 16-high section of their
// lowest vertex (+z, an odd direction, top down), each run in mesh order; the others follow untouched.
TEST(ChunkMeshSplit, PlainTrianglesAreGroupedByDirectionThenSection) {
    using D = render::FaceDirection;
    std::vector<render::MeshVertex> vertices;
    std::vector<uint32_t> indices;
    const auto add = [&](float a0, float a1, float a2, float b0, float b1, float b2, float c0, float c1, float c2) {
        for (const render::MeshVertex& v : {vertex(a0, a1, a2, 1), vertex(b0, b1, b2, 1), vertex(c0, c1, c2, 1)}) {
            indices.push_back(static_cast<uint32_t>(vertices.size()));
            vertices.push_back(v);
        }
    };
    add(0, 16, 0, 0, 16, 1, 1, 16, 0);            // 0: +y, section 1
    add(2, 0, 0, 2, 0, 1, 2, 1, 0);               // 1: -x, section 0
    add(0, 15.999f, 0, 0, 15.999f, 1, 1, 15.999f, 0);  // 2: +y, still section 0
    add(3, 16, 3, 3, 16, 4, 4, 16, 3);            // 3: +y, section 1
    add(0, 40, 0, 0, 40, 1, 1, 40, 0);            // 4: tied
    add(0, 128, 0, 0, 128, 1, 1, 128, 0);         // 5: +y on the top of the world, section 8
    add(0, 0, 0, 1, 0, 0, 0, 1, 1);               // 6: slanted
    add(0, 0, 5, 1, 0, 5, 0, 1, 5);               // 7: +z, section 0
    add(0, 32, 5, 1, 32, 5, 0, 33, 5);            // 8: +z, section 2
    const std::vector<uint8_t> tied{0, 0, 0, 0, 1, 0, 0, 0, 0};
    const render::SplitIndices split = render::splitChunkTriangles(vertices, indices, tied, std::vector<uint8_t>(4, 0));
    const auto triangle = [](uint32_t t) { return std::vector<uint32_t>{3 * t, 3 * t + 1, 3 * t + 2}; };
    std::vector<uint32_t> expected;
    for (uint32_t t : {1, 8, 7, 2, 0, 3, 5, 6, 4}) {
        const std::vector<uint32_t> three = triangle(t);
        expected.insert(expected.end(), three.begin(), three.end());
    }
    EXPECT_EQ(split.solid, expected);
    EXPECT_EQ(split.plainIndexCount, 24u);
    struct Run {
        uint32_t first, count;
        D direction;
    };
    const Run runs[] = {{0, 3, D::MinusX}, {3, 3, D::PlusZ}, {6, 3, D::PlusZ},  {9, 3, D::PlusY},
                        {12, 6, D::PlusY}, {18, 3, D::PlusY}, {21, 3, D::Any}};
    ASSERT_EQ(split.plainGroups.size(), std::size(runs));
    for (std::size_t g = 0; g < std::size(runs); ++g) {
        EXPECT_EQ(split.plainGroups[g].firstIndex, runs[g].first) << g;
        EXPECT_EQ(split.plainGroups[g].indexCount, runs[g].count) << g;
        EXPECT_EQ(split.plainGroups[g].direction, runs[g].direction) << g;
    }
    EXPECT_EQ(split.plainGroups[4].bounds, (std::array<float, 6>{0, 16, 0, 4, 16, 4}));
    EXPECT_EQ(split.plainGroups[0].bounds, (std::array<float, 6>{2, 0, 0, 2, 1, 1}));
}

TEST(ChunkMeshSplit, BoundsAreTheVerticesOrTheWholeColumn) {
    EXPECT_EQ(render::meshBounds({}, -2, 3), (std::array<double, 6>{-32, 0, 48, -16, 128, 64}));
    const std::vector<render::MeshVertex> vertices{vertex(-30.5f, 60, 50, 0), vertex(-20, 61.25f, 49, 0),
                                                   vertex(-25, 70, 51.5f, 0)};
    EXPECT_EQ(render::meshBounds(vertices, -2, 3), (std::array<double, 6>{-30.5, 60, 49, -20, 70, 51.5}));
}

class MeshInstall : public worldtest::LoadedWorld {};

TEST_F(MeshInstall, RecordsHeightsCountsAndBoundsUnderThePackedKey) {
    load(-1, 2, 40);
    app.setBlock(-16, 90, 32, worldtest::stone);
    App::MeshWork work;
    work.key = voxel::packChunkKey(-1, 2);
    work.vertices = {vertex(-16, 40, 32, 30), vertex(-15, 40, 32, 3), vertex(-16, 40, 33, 3)};
    work.indices = {0, 1, 2, 1, 2, 0, 2, 1, 0};
    work.tied = {0, 0, 0};
    render::SplitIndices split;
    const ChunkMesh& mesh = app.recordChunkMesh(work.key, work, split);
    EXPECT_EQ(mesh.waterIndexCount, 3u);
    EXPECT_EQ(mesh.solidIndexCount, 6u);
    EXPECT_EQ(mesh.bounds, (std::array<double, 6>{-16, 40, 32, -15, 40, 33}));
    EXPECT_EQ(&mesh, &app.world.meshes.at(0x00000002FFFFFFFFull));
    const auto& heights = app.world.columnHeights.at({-1, 2});
    EXPECT_EQ(heights[0], 91);
    EXPECT_EQ(heights[5], 40);
    EXPECT_EQ(app.world.heightsRevision, 1u);

    app.recordChunkMesh(voxel::packChunkKey(7, 7), work, split);
    EXPECT_EQ(app.world.heightsRevision, 1u) << "no heights for a chunk that is not loaded";
    EXPECT_EQ(app.world.meshes.size(), 2u);
    EXPECT_EQ(mesh.plainIndexCount, 0u) << "without the atlas's flags no triangle is plain";

    app.atlases.cutOutMaterials.assign(4096, 0);
    EXPECT_EQ(app.recordChunkMesh(work.key, work, split).plainIndexCount, 6u);
    EXPECT_EQ(mesh.plainGroups.size(), 2u) << "the two plain triangles face up and down";
    app.atlases.cutOutMaterials[3] = 1;
    EXPECT_EQ(app.recordChunkMesh(work.key, work, split).plainIndexCount, 0u);

    work.split = render::splitChunkTriangles(work.vertices, work.indices, work.tied, std::vector<uint8_t>(4096, 0));
    EXPECT_EQ(app.recordChunkMesh(work.key, work, split).plainIndexCount, 6u) << "the task's split is taken as it is";
    EXPECT_EQ(split.solid, work.split->solid);
}

}  // namespace
