#include "render/chunks/chunk_mesher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

#include "app/app.h"
#include "render/chunks/finished_mesh.h"
#include "support/fresh_registry.h"
#include "world/block_registry.h"

namespace {

using testing::ElementsAre;
using testing::FloatEq;

constexpr uint8_t stone = 3;
constexpr uint8_t water = 5;
constexpr uint8_t leaves = 8;

constexpr render::MeshOptions flat{true, false, false};
constexpr render::MeshOptions shaded{true, true, true};

void put(voxel::Chunk& chunk, uint32_t x, uint32_t y, uint32_t z, uint8_t id) {
    chunk.cells[voxel::cellIndex(x, y, z)] = id;
}

void putLight(voxel::Chunk& chunk, uint32_t x, uint32_t y, uint32_t z, uint32_t sky, uint32_t block) {
    if (chunk.light.empty()) chunk.light.assign(voxel::chunkCellCount, 0);
    chunk.light[voxel::cellIndex(x, y, z)] = static_cast<uint8_t>(block << 4 | sky);
}

render::BlockFaces mesh(const voxel::Chunk& chunk, render::MeshOptions options = flat,
                        render::SideChunks sides = {}) {
    return render::emitBlockFaces(chunk, sides, options);
}

// A vertex's position, its sky and block light, and its height and motion, each compared at once.
std::array<float, 3> position(const render::MeshVertex& v) { return {v.x, v.y, v.z}; }
std::array<float, 2> light(const render::MeshVertex& v) { return {v.sky, v.block}; }
std::array<float, 2> rise(const render::MeshVertex& v) { return {v.y, v.motion}; }

std::vector<uint32_t> quadIndices(const render::BlockFaces& faces, std::size_t quad) {
    return {faces.indices.begin() + 6 * quad, faces.indices.begin() + 6 * quad + 6};
}

ModelVertex mv(float x, float y, float z, int32_t texture = 0, uint32_t part = 0) {
    ModelVertex v;
    v.x = x, v.y = y, v.z = z;
    v.texture = texture;
    v.shade = 0.8f;
    v.part = part;
    return v;
}

// Two triangles on the east face, one loose triangle and one of a moving part.
std::vector<ModelVertex> testModel() {
    return {mv(1, 0, 0), mv(1, 1, 0), mv(1, 1, 1),       mv(1, 0, 0),       mv(1, 1, 1),
            mv(1, 0, 1), mv(1, 0.25f, 0.5f, 1),           mv(0.5f, 0.5f, 0.5f, 1), mv(0.5f, 0.25f, 0.5f, 1),
            mv(0.2f, 0.2f, 0.2f, 0, 1), mv(0.3f, 0.2f, 0.2f, 0, 1), mv(0.2f, 0.3f, 0.2f, 0, 1)};
}

// The unit cube, two triangles per face.
std::vector<ModelVertex> cubeModel() {
    static const int corners[6][4] = {{2, 6, 7, 3}, {0, 1, 5, 4}, {0, 2, 3, 1}, {4, 5, 7, 6}, {1, 3, 7, 5}, {0, 4, 6, 2}};
    std::vector<ModelVertex> model;
    for (const auto& face : corners) {
        for (int k : {0, 1, 2, 0, 2, 3}) {
            const int c = face[k];
            model.push_back(mv(c & 1 ? 1.0f : 0.0f, c & 2 ? 1.0f : 0.0f, c & 4 ? 1.0f : 0.0f));
        }
    }
    return model;
}

class ChunkMesherTest : public testsupport::FreshRegistryTest {
protected:
    // Registers a default block as `edit` changes it.
    template <typename Edit>
    static void registerBlock(uint32_t id, Edit edit) {
        voxel::BlockDef def;
        edit(def);
        voxel::registerBlock(id, std::move(def));
    }
};

TEST_F(ChunkMesherTest, CullsFacesBetweenOpaqueBlocksOnly) {
    voxel::Chunk chunk(0, 0);
    put(chunk, 8, 64, 8, stone);
    render::BlockFaces lone = mesh(chunk);
    EXPECT_EQ(lone.vertices.size(), 24u);
    EXPECT_EQ(lone.indices.size(), 36u);
    EXPECT_EQ(quadIndices(lone, 5), (std::vector<uint32_t>{20, 21, 22, 20, 22, 23}));

    put(chunk, 8, 65, 8, stone);
    EXPECT_EQ(mesh(chunk).vertices.size(), 40u);

    voxel::Chunk pair(0, 0);
    put(pair, 3, 10, 3, leaves);
    put(pair, 4, 10, 3, leaves);
    EXPECT_EQ(mesh(pair).vertices.size(), 48u) << "leaves are not opaque, so both keep their shared faces";

    voxel::Chunk wet(0, 0);
    put(wet, 3, 10, 3, stone);
    put(wet, 4, 10, 3, water);
    EXPECT_EQ(mesh(wet).vertices.size(), 44u) << "stone shows its face to water, water hides its face";
}

// The split reads a face's direction from its winding: each of a lone block's faces must come out
// facing away from the block, whichever diagonal its quad was cut along.
TEST_F(ChunkMesherTest, EachFaceGroupFacesAwayFromItsBlock) {
    using D = render::FaceDirection;
    voxel::Chunk chunk(1, -1);
    put(chunk, 8, 64, 8, stone);
    put(chunk, 9, 65, 8, stone);  // shades some corners, so that some quads flip their diagonal
    const render::BlockFaces faces = mesh(chunk, shaded);
    const render::SplitIndices split =
        render::splitChunkTriangles(faces.vertices, faces.indices, faces.tied, std::vector<uint8_t>(4096, 0));
    ASSERT_EQ(split.plainIndexCount, split.solid.size());
    ASSERT_EQ(split.plainGroups.size(), 6u) << "one section, six directions";
    // The plane each direction's faces lie on, for the block at world (24, 64, -8); the second block
    // adds +x faces at 26, +y at 66 and so on.
    struct Plane {
        D direction;
        int axis;
        float low, high;
    };
    const Plane planes[] = {{D::MinusX, 0, 24, 25}, {D::PlusZ, 2, -7, -7}, {D::PlusY, 1, 65, 66},
                            {D::MinusZ, 2, -8, -8}, {D::PlusX, 0, 25, 26}, {D::MinusY, 1, 64, 65}};
    for (std::size_t g = 0; g < 6; ++g) {
        const render::FaceGroup& group = split.plainGroups[g];
        EXPECT_EQ(group.direction, planes[g].direction) << g;
        EXPECT_EQ(group.bounds[planes[g].axis], planes[g].low) << g;
        EXPECT_EQ(group.bounds[planes[g].axis + 3], planes[g].high) << g;
    }
}

TEST_F(ChunkMesherTest, ReadsNeighbourChunksAcrossBorders) {
    voxel::Chunk chunk(0, 0), east(1, 0), north(0, -1);
    put(chunk, 15, 64, 8, stone);
    put(chunk, 8, 64, 0, stone);
    EXPECT_EQ(mesh(chunk).vertices.size(), 48u);

    put(east, 0, 64, 8, stone);
    put(north, 8, 64, 15, stone);
    EXPECT_EQ(mesh(chunk, flat, {&north, nullptr, &east, nullptr}).vertices.size(), 40u);
    // The other chunks' far sides do not matter.
    EXPECT_EQ(mesh(chunk, flat, {nullptr, &north, nullptr, &east}).vertices.size(), 48u);

    // Light across a border comes from the neighbour's own light list.
    voxel::Chunk darkNorth(0, -1);
    putLight(darkNorth, 8, 64, 15, 4, 2);
    render::BlockFaces lit = mesh(chunk, flat, {&darkNorth, nullptr, nullptr, nullptr});
    // Cell order puts (8, 64, 0) first; its north face is the third.
    EXPECT_THAT(light(lit.vertices[8]), ElementsAre(FloatEq(4.0f / 15.0f), FloatEq(2.0f / 15.0f)));

    // With no east chunk the east face stays, unlit.
    voxel::Chunk alone(0, 0);
    put(alone, 15, 64, 8, stone);
    render::BlockFaces faces = mesh(alone);
    ASSERT_EQ(faces.vertices.size(), 24u);
    for (int k = 16; k < 20; ++k) {
        EXPECT_FLOAT_EQ(faces.vertices[k].x, 16.0f);
        EXPECT_FLOAT_EQ(faces.vertices[k].sky, 0.0f);
    }
    EXPECT_FLOAT_EQ(faces.vertices[20].sky, 1.0f) << "the west face looks into the unlit chunk itself";
}

TEST_F(ChunkMesherTest, FacesCarryShadesLayersCornersAndWorldPositions) {
    voxel::Chunk chunk(-2, 3);
    put(chunk, 8, 64, 8, 1);  // grass: its faces have different layers
    render::BlockFaces faces = mesh(chunk);
    ASSERT_EQ(faces.vertices.size(), 24u);
    const float shades[6] = {1.0f, 0.7f, 0.9f, 0.9f, 0.81f, 0.81f};
    for (int face = 0; face < 6; ++face) {
        for (int k = 0; k < 4; ++k) {
            // Red, blue, layer, sky, block light and motion; an unlit chunk reads as full sky.
            const render::MeshVertex& v = faces.vertices[face * 4 + k];
            EXPECT_THAT((std::array{v.r, v.b, v.layer, v.sky, v.block, v.motion}),
                        ElementsAre(FloatEq(shades[face]), FloatEq(shades[face]), FloatEq(6.0f + face), FloatEq(1.0f),
                                    FloatEq(0.0f), FloatEq(0.0f)))
                << "face " << face << " corner " << k;
        }
    }
    // Top corners (0,1,0) (0,1,1) (1,1,1) (1,1,0) with (u, v) (0,0) (0,1) (1,1) (1,0).
    EXPECT_THAT(position(faces.vertices[2]),
                ElementsAre(FloatEq(-32.0f + 9.0f), FloatEq(65.0f), FloatEq(48.0f + 9.0f)));
    EXPECT_THAT((std::array{faces.vertices[1].u, faces.vertices[1].v}), ElementsAre(FloatEq(0.0f), FloatEq(1.0f)));
    // North corner 0 is (1,0,0) with (u, v) (0, 1).
    EXPECT_THAT(position(faces.vertices[8]),
                ElementsAre(FloatEq(-32.0f + 9.0f), FloatEq(64.0f), FloatEq(48.0f + 8.0f)));
    EXPECT_FLOAT_EQ(faces.vertices[8].v, 1.0f);
}

TEST_F(ChunkMesherTest, FaceLightComesFromTheCellInFrontAndTheWorldEdges) {
    voxel::Chunk chunk(0, 0);
    put(chunk, 8, 64, 8, stone);
    putLight(chunk, 8, 65, 8, 9, 6);
    put(chunk, 2, 0, 2, stone);
    put(chunk, 2, 127, 2, stone);
    render::BlockFaces faces = mesh(chunk);
    ASSERT_EQ(faces.vertices.size(), 72u);
    // Cell order is y first: the floor block, the middle block, the block at the top.
    EXPECT_FLOAT_EQ(faces.vertices[4].sky, 0.0f) << "below the world is dark";
    EXPECT_THAT(light(faces.vertices[24]), ElementsAre(FloatEq(9.0f / 15.0f), FloatEq(6.0f / 15.0f)));
    EXPECT_THAT(light(faces.vertices[48]), ElementsAre(FloatEq(1.0f), FloatEq(0.0f))) << "above the world is open sky";
}

TEST_F(ChunkMesherTest, WaterSurfaceHeights) {
    voxel::Chunk chunk(0, 0);
    put(chunk, 1, 10, 1, water);
    EXPECT_FLOAT_EQ(voxel::waterSurfaceHeight(chunk, 1, 10, 1), 0.94f);
    put(chunk, 1, 11, 1, water);
    EXPECT_FLOAT_EQ(voxel::waterSurfaceHeight(chunk, 1, 10, 1), 1.0f);
    chunk.waterLevels.assign(voxel::chunkCellCount, 0);
    const uint8_t levels[] = {0, 2, 7, 8};
    const float heights[] = {0.94f, 0.75f, 0.15f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        chunk.waterLevels[voxel::cellIndex(1, 11, 1)] = levels[i];
        EXPECT_FLOAT_EQ(voxel::waterSurfaceHeight(chunk, 1, 11, 1), heights[i]) << int{levels[i]};
    }
    put(chunk, 1, 127, 1, water);
    EXPECT_FLOAT_EQ(voxel::waterSurfaceHeight(chunk, 1, 127, 1), 0.94f);
}

TEST_F(ChunkMesherTest, WaterSurfacesMoveAndHideEqualWater) {
    voxel::Chunk chunk(0, 0);
    put(chunk, 4, 20, 4, water);
    render::BlockFaces lone = mesh(chunk);
    ASSERT_EQ(lone.vertices.size(), 24u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_THAT(rise(lone.vertices[k]), ElementsAre(FloatEq(20.94f), FloatEq(1.0f)));
        EXPECT_FLOAT_EQ(lone.vertices[4 + k].motion, 0.0f) << "the bottom never moves";
    }
    // North face corners (1,0,0) (0,0,0) (0,1,0) (1,1,0): only the top two move.
    EXPECT_THAT(rise(lone.vertices[8]), ElementsAre(FloatEq(20.0f), FloatEq(0.0f)));
    EXPECT_THAT(rise(lone.vertices[10]), ElementsAre(FloatEq(20.94f), FloatEq(1.0f)));

    put(chunk, 5, 20, 4, water);
    EXPECT_EQ(mesh(chunk).vertices.size(), 40u);

    voxel::Chunk column(0, 0);
    put(column, 4, 20, 4, water);
    put(column, 4, 21, 4, water);
    render::BlockFaces stacked = mesh(column);
    ASSERT_EQ(stacked.vertices.size(), 40u);
    // The lower cell starts with its bottom, then its sides reach the full block under more water.
    EXPECT_THAT(rise(stacked.vertices[6]), ElementsAre(FloatEq(21.0f), FloatEq(0.0f)));
}

TEST_F(ChunkMesherTest, HigherWaterShowsItsSideDownToTheLowerSurface) {
    voxel::Chunk chunk(0, 0), east(1, 0);
    put(chunk, 15, 30, 2, water);
    put(east, 0, 30, 2, water);
    chunk.waterLevels.assign(voxel::chunkCellCount, 0);
    east.waterLevels.assign(voxel::chunkCellCount, 0);
    chunk.waterLevels[voxel::cellIndex(15, 30, 2)] = 8;
    east.waterLevels[voxel::cellIndex(0, 30, 2)] = 4;

    render::BlockFaces high = mesh(chunk, flat, {nullptr, nullptr, &east, nullptr});
    ASSERT_EQ(high.vertices.size(), 24u);
    // East face corners (1,0,1) (1,0,0) (1,1,0) (1,1,1): from the neighbour's 0.5 up to 1.0.
    EXPECT_THAT(rise(high.vertices[16]), ElementsAre(FloatEq(30.5f), FloatEq(1.0f)));
    EXPECT_THAT(rise(high.vertices[18]), ElementsAre(FloatEq(31.0f), FloatEq(1.0f)));

    render::BlockFaces low = mesh(east, flat, {nullptr, nullptr, nullptr, &chunk});
    EXPECT_EQ(low.vertices.size(), 20u) << "the lower cell hides its face toward the higher one";
}

// Stone at (8, 64, 8) with its top face; corner 0 is (0,1,0), sampling x - 1 and z - 1 around the
// face cell (8, 65, 8).
class CornerTest : public ChunkMesherTest {
protected:
    voxel::Chunk chunk{0, 0};
    void SetUp() override {
        ChunkMesherTest::SetUp();
        chunk.light.assign(voxel::chunkCellCount, 0);
        put(chunk, 8, 64, 8, stone);
    }
    const render::MeshVertex& corner(const render::BlockFaces& faces, int k) { return faces.vertices.at(k); }
};

TEST_F(CornerTest, SmoothLightAveragesTheOpenCellsAroundTheCorner) {
    putLight(chunk, 8, 65, 8, 15, 4);
    putLight(chunk, 7, 65, 8, 12, 2);
    putLight(chunk, 8, 65, 7, 9, 0);
    putLight(chunk, 7, 65, 7, 6, 0);
    render::BlockFaces faces = mesh(chunk, {true, true, false});
    EXPECT_THAT(light(corner(faces, 0)), ElementsAre(FloatEq(57.0f / 75.0f), FloatEq(10.0f / 75.0f)));
    EXPECT_FLOAT_EQ(corner(faces, 0).r, 1.0f);

    put(chunk, 7, 65, 8, stone);
    faces = mesh(chunk, {true, true, false});
    EXPECT_FLOAT_EQ(corner(faces, 0).sky, 39.0f / 45.0f) << "an opaque side also hides the diagonal";

    faces = mesh(chunk, flat);
    EXPECT_FLOAT_EQ(corner(faces, 0).sky, 1.0f);
}

TEST_F(CornerTest, DiagonalChunksAreLeftOutOfSmoothLight) {
    voxel::Chunk edge(0, 0), east(1, 0), south(0, 1);
    put(edge, 15, 64, 15, stone);
    putLight(edge, 15, 65, 15, 15, 0);
    // Top corner 2 is (1,1,1): its sides lie in the east and south chunks, its diagonal in neither.
    render::BlockFaces faces = mesh(edge, {true, true, false}, {nullptr, &south, &east, nullptr});
    EXPECT_FLOAT_EQ(corner(faces, 2).sky, 1.0f);
    faces = mesh(edge, {true, true, false}, {nullptr, &south, nullptr, nullptr});
    EXPECT_FLOAT_EQ(corner(faces, 2).sky, 45.0f / 60.0f) << "a missing side chunk counts as dark air";
}

TEST_F(CornerTest, CornerShadingCountsOccludersAndFlipsTheDiagonal) {
    put(chunk, 7, 65, 7, stone);
    render::BlockFaces faces = mesh(chunk, shaded);
    EXPECT_FLOAT_EQ(corner(faces, 0).r, 0.92f);
    EXPECT_FLOAT_EQ(corner(faces, 1).g, 1.0f);
    EXPECT_EQ(quadIndices(faces, 0), (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));

    put(chunk, 7, 65, 8, stone);
    EXPECT_FLOAT_EQ(corner(mesh(chunk, shaded), 0).r, 0.84f);
    put(chunk, 8, 65, 7, stone);
    EXPECT_FLOAT_EQ(corner(mesh(chunk, shaded), 0).r, 0.76f);
    put(chunk, 7, 65, 7, 0);
    EXPECT_FLOAT_EQ(corner(mesh(chunk, shaded), 0).r, 0.76f) << "two sides shade fully without the diagonal";

    voxel::Chunk other(0, 0);
    put(other, 8, 64, 8, stone);
    put(other, 7, 65, 9, stone);  // the diagonal of corner 1 only
    faces = mesh(other, shaded);
    EXPECT_FLOAT_EQ(corner(faces, 1).r, 0.92f);
    EXPECT_EQ(quadIndices(faces, 0), (std::vector<uint32_t>{0, 1, 3, 1, 2, 3}));
    EXPECT_EQ(quadIndices(mesh(other, {true, true, false}), 0), (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
}

TEST_F(ChunkMesherTest, WindCodesOfLeavesAndPlants) {
    voxel::Chunk chunk(0, 0);
    put(chunk, 1, 1, 1, leaves);
    for (const render::MeshVertex& v : mesh(chunk).vertices) EXPECT_FLOAT_EQ(v.motion, -9.9f);

    registerBlock(13, [](voxel::BlockDef& d) { d.wind_animation = 1; });
    voxel::Chunk tuft(0, 0);
    put(tuft, 1, 1, 1, 13);
    render::BlockFaces faces = mesh(tuft);
    // North face corners (1,0,0) (0,0,0) (0,1,0) (1,1,0): the top sways, the foot stays.
    EXPECT_FLOAT_EQ(faces.vertices[8].motion, -14.0f);
    EXPECT_FLOAT_EQ(faces.vertices[10].motion, -14.9f);
    EXPECT_FLOAT_EQ(faces.vertices[8].layer, 130.0f);

    registerBlock(14, [](voxel::BlockDef& d) {
        d.wind_animation = 1;
        d.modelVertices = {mv(0.5f, 0, 0.5f), mv(0.5f, 1, 0.5f), mv(0.5f, 0.5f, 0.2f)};
        d.modelBounds = {0.5f, 0.0f, 0.2f, 0.5f, 1.0f, 0.5f};
    });
    put(tuft, 1, 1, 1, 14);
    faces = mesh(tuft);
    ASSERT_EQ(faces.vertices.size(), 3u);
    EXPECT_THAT((std::array{faces.vertices[0].motion, faces.vertices[1].motion, faces.vertices[2].motion}),
                ElementsAre(FloatEq(-15.0f), FloatEq(-15.9f), FloatEq(-(15.0f + 0.9f * 0.25f))));
}

TEST_F(ChunkMesherTest, ModelsAreCulledLitAndTurnedByFacing) {
    registerBlock(13, [](voxel::BlockDef& d) { d.modelVertices = testModel(); });
    voxel::Chunk chunk(1, 0);
    put(chunk, 4, 10, 4, 13);
    putLight(chunk, 4, 10, 4, 7, 2);
    putLight(chunk, 5, 10, 4, 12, 3);

    render::BlockFaces faces = mesh(chunk);
    ASSERT_EQ(faces.vertices.size(), 9u) << "static meshes leave the moving part out";
    EXPECT_EQ(faces.indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_FLOAT_EQ(faces.vertices[0].r, 0.8f);
    EXPECT_FLOAT_EQ(faces.vertices[0].sky, 7.0f / 15.0f) << "a see-through model takes its own cell's light";
    EXPECT_THAT((std::array{faces.vertices[6].layer, faces.vertices[6].x, faces.vertices[6].z}),
                ElementsAre(FloatEq(129.0f), FloatEq(21.0f), FloatEq(4.5f)));
    EXPECT_EQ(mesh(chunk, {false, true, true}).vertices.size(), 12u);

    // The model comes first in cell order; the stone adds its own 24 vertices after it.
    put(chunk, 5, 10, 4, stone);
    EXPECT_EQ(mesh(chunk).vertices.size(), 3u + 24u) << "the east triangles face an opaque block";

    chunk.ensureStates();
    chunk.states[voxel::cellIndex(4, 10, 4)] = 1;  // a quarter turn: east becomes south
    faces = mesh(chunk);
    ASSERT_EQ(faces.vertices.size(), 9u + 24u);
    // Model (1, 0.25, 0.5) turns to (0.5, 0.25, 1) in the cell.
    EXPECT_THAT(position(faces.vertices[6]),
                ElementsAre(testing::FloatNear(20.5f, 1e-5f), FloatEq(10.25f), testing::FloatNear(5.0f, 1e-5f)));
    put(chunk, 4, 10, 5, stone);
    EXPECT_EQ(mesh(chunk).vertices.size(), 3u + 48u);
}

TEST_F(ChunkMesherTest, OpaqueModelsTakeTheLightOfTheCellEachTriangleFaces) {
    registerBlock(13, [](voxel::BlockDef& d) {
        d.opaque = true;
        d.modelVertices = testModel();
    });
    voxel::Chunk chunk(0, 0);
    put(chunk, 4, 10, 4, 13);
    putLight(chunk, 5, 10, 4, 12, 3);
    putLight(chunk, 4, 10, 5, 5, 1);
    render::BlockFaces faces = mesh(chunk);
    EXPECT_THAT(light(faces.vertices[0]), ElementsAre(FloatEq(12.0f / 15.0f), FloatEq(3.0f / 15.0f)));

    chunk.ensureStates();
    chunk.states[voxel::cellIndex(4, 10, 4)] = 1;
    faces = mesh(chunk);
    EXPECT_FLOAT_EQ(faces.vertices[0].sky, 5.0f / 15.0f);
}

TEST_F(ChunkMesherTest, SeeThroughFullCubesHideFacesBetweenEqualBlocks) {
    registerBlock(13, [](voxel::BlockDef& d) { d.modelVertices = cubeModel(); });
    ASSERT_TRUE(voxel::blockDef(13).fullCube);
    voxel::Chunk chunk(0, 0);
    put(chunk, 4, 10, 4, 13);
    EXPECT_EQ(mesh(chunk).vertices.size(), 36u);
    put(chunk, 5, 10, 4, 13);
    EXPECT_EQ(mesh(chunk).vertices.size(), 60u);
    put(chunk, 5, 10, 4, leaves);
    EXPECT_EQ(mesh(chunk).vertices.size(), 36u + 24u);
}

TEST_F(ChunkMesherTest, BedHalvesAndDoorsFollowTheirRules) {
    registerBlock(13, [](voxel::BlockDef& d) { d.behavior = "bed"; });
    registerBlock(14, [](voxel::BlockDef& d) { d.behavior = "door"; });

    voxel::Chunk chunk(0, 0);
    put(chunk, 2, 5, 2, 13);
    put(chunk, 6, 5, 6, 14);
    chunk.ensureStates();
    EXPECT_EQ(mesh(chunk).vertices.size(), 24u);
    EXPECT_EQ(mesh(chunk, {false, true, true}).vertices.size(), 48u) << "item meshes keep doors";
    chunk.states[voxel::cellIndex(2, 5, 2)] = 8;
    EXPECT_EQ(mesh(chunk).vertices.size(), 0u) << "the second half of a bed is drawn from the first";
}

TEST_F(ChunkMesherTest, CheckerboardEmitsEveryFaceOfEveryBlock) {
    voxel::Chunk chunk(0, 0);
    for (uint32_t y = 0; y < 128; ++y) {
        for (uint32_t z = 0; z < 16; ++z) {
            for (uint32_t x = 0; x < 16; ++x) {
                if ((x + y + z) % 2 == 0) put(chunk, x, y, z, stone);
            }
        }
    }
    for (render::MeshOptions options : {flat, shaded}) {
        render::BlockFaces faces = mesh(chunk, options);
        EXPECT_EQ(faces.vertices.size(), 16384u * 24u);
        EXPECT_EQ(faces.indices.size(), 16384u * 36u);
        EXPECT_EQ(faces.vertices.capacity(), faces.vertices.size()) << "the output is sized once";
    }
}

TEST_F(ChunkMesherTest, UnknownIdsFailAsRegistryLookups) {
    voxel::Chunk chunk(0, 0);
    put(chunk, 1, 1, 1, 40);
    EXPECT_THROW(mesh(chunk), std::out_of_range);
}

TEST_F(ChunkMesherTest, MeshWorkIsTheTimedStaticMeshOfItsChunk) {
    registerBlock(13, [](voxel::BlockDef& d) { d.behavior = "door"; });
    voxel::Chunk chunk(-3, 7), west(-4, 7);
    put(chunk, 0, 40, 3, stone);
    put(chunk, 9, 40, 3, 13);
    put(west, 15, 40, 3, stone);
    const uint64_t key = voxel::packChunkKey(-3, 7);

    render::MeshWork work = App::buildMeshWork(key, chunk, nullptr, nullptr, nullptr, &west, true, true);
    EXPECT_EQ(work.key, key);
    EXPECT_EQ(work.vertices.size(), 20u);
    EXPECT_EQ(work.indices.size(), 30u);
    EXPECT_GE(work.milliseconds, 0.0);
    render::BlockFaces faces = App::emitBlockFaces(chunk, nullptr, nullptr, nullptr, &west, false, true, true);
    EXPECT_EQ(faces.vertices.size(), 44u);
}

// The chunk passes decode one channel of the brightness for all three, so every vertex of a chunk
// mesh carries a grey one: faces, corners shaded or not, water, leaves and plants, and models.
TEST_F(ChunkMesherTest, ChunkBrightnessIsAlwaysGrey) {
    registerBlock(13, [](voxel::BlockDef& d) { d.modelVertices = testModel(); });
    voxel::Chunk chunk(0, 0);
    // Blocks of every id with holes among them, so that corners are occluded, and mixed light.
    uint32_t k = 0;
    for (uint32_t y = 40; y < 60; ++y)
        for (uint32_t z = 0; z < 16; ++z)
            for (uint32_t x = 0; x < 16; ++x, ++k) {
                if ((x * 7 + y * 3 + z * 5) % 4 == 0) {
                    putLight(chunk, x, y, z, k % 16, (k * 7) % 16);
                    continue;
                }
                put(chunk, x, y, z, static_cast<uint8_t>(1 + k % (voxel::blockCount() - 1)));
            }
    for (render::MeshOptions options : {flat, shaded}) {
        const render::BlockFaces faces = mesh(chunk, options);
        ASSERT_GT(faces.vertices.size(), 1000u);
        for (const render::MeshVertex& v : faces.vertices) {
            ASSERT_EQ(v.r, v.g) << "layer " << v.layer;
            ASSERT_EQ(v.r, v.b) << "layer " << v.layer;
        }
    }
}

// The triangles of a mesh that lie flat on an axis: water or not, the axis, its coordinate and
// their extent.
struct Flat {
    bool water;
    int axis;
    float at;
    std::array<float, 3> low, high;
};

std::vector<Flat> flatTriangles(const render::BlockFaces& faces) {
    std::vector<Flat> flats;
    for (std::size_t t = 0; t + 2 < faces.indices.size(); t += 3) {
        const auto layer = static_cast<int>(faces.vertices[faces.indices[t]].layer + 0.5f);
        Flat f{layer >= 30 && layer <= 35, -1, 0, {1e9f, 1e9f, 1e9f}, {-1e9f, -1e9f, -1e9f}};
        for (int k = 0; k < 3; ++k) {
            const std::array<float, 3> p = position(faces.vertices[faces.indices[t + k]]);
            for (int a = 0; a < 3; ++a) f.low[a] = std::min(f.low[a], p[a]), f.high[a] = std::max(f.high[a], p[a]);
        }
        for (int a = 0; a < 3; ++a)
            if (f.low[a] == f.high[a]) f.axis = a, f.at = f.low[a];
        if (f.axis >= 0) flats.push_back(f);
    }
    return flats;
}

// Water triangles on a triangle of another block, with some area in common.
std::size_t waterOnOtherFaces(const std::vector<Flat>& flats) {
    std::size_t found = 0;
    for (const Flat& w : flats) {
        for (const Flat& o : flats) {
            if (!w.water || o.water || w.axis != o.axis || w.at != o.at) continue;
            bool overlap = true;
            for (int a = 0; a < 3; ++a)
                if (a != w.axis) overlap = overlap && std::min(w.high[a], o.high[a]) > std::max(w.low[a], o.low[a]);
            found += overlap ? 1 : 0;
        }
    }
    return found;
}

// Shallow water, levels 1..7 and a full-height cell, in a basin of one kind of block: a floor under
// it and a wall around it. Water never lies on the face of a solid block that fills its cell, so no
// two faces fight; beside a plant, which fills nothing, its side still shows.
TEST_F(ChunkMesherTest, ShallowWaterNeverLiesOnTheFaceOfTheBlockBesideIt) {
    registerBlock(13, [](voxel::BlockDef& d) { d.solid = true; });  // a plain cube light passes through
    registerBlock(14, [](voxel::BlockDef& d) { d.solid = true; d.modelVertices = cubeModel(); });
    registerBlock(15, [](voxel::BlockDef& d) {  // a plant: one leaf across the cell
        d.modelVertices = {mv(0, 0, 0), mv(1, 0, 1), mv(1, 1, 1), mv(0, 0, 0), mv(1, 1, 1), mv(0, 1, 0)};
    });
    const struct {
        uint8_t basin;
        std::size_t waterSides;  // water faces towards the wall
    } cases[] = {{stone, 0}, {leaves, 0}, {13, 0}, {14, 0}, {15, 2 * 8 + 2 * 1}};
    for (const auto& c : cases) {
        voxel::Chunk chunk(0, 0);
        chunk.waterLevels.assign(voxel::chunkCellCount, 0);
        for (uint32_t x = 3; x <= 12; ++x) {
            for (uint32_t z = 3; z <= 5; ++z) {
                put(chunk, x, 10, z, c.basin);
                const bool inside = x > 3 && x < 12 && z == 4;
                put(chunk, x, 11, z, inside ? water : c.basin);
                if (inside) chunk.waterLevels[voxel::cellIndex(x, 11, z)] = static_cast<uint8_t>(x == 4 ? 8 : x - 4);
            }
        }
        put(chunk, 4, 12, 4, c.basin);  // a lid on the full-height cell
        const std::vector<Flat> flats = flatTriangles(mesh(chunk, shaded));
        EXPECT_EQ(waterOnOtherFaces(flats), 0u) << int{c.basin};
        std::size_t sides = 0;
        for (const Flat& w : flats)
            sides += w.water && (w.axis == 2 || (w.axis == 0 && (w.at == 4.0f || w.at == 12.0f))) ? 1 : 0;
        EXPECT_EQ(sides / 2, c.waterSides) << int{c.basin};
    }
}

// A cube face that shares its square with a face of the block beside it (neither air nor water) is
// tied, so that the solid pass keeps it in mesh order; so is every model triangle. Faces beside air
// or water are not.
TEST_F(ChunkMesherTest, FacesThatShareTheirSquareWithAnotherAreTied) {
    registerBlock(13, [](voxel::BlockDef& d) { d.modelVertices = testModel(); });
    voxel::Chunk chunk(0, 0);
    put(chunk, 4, 10, 4, stone);
    put(chunk, 5, 10, 4, leaves);  // its face towards the stone is hidden, the stone's is not
    put(chunk, 3, 10, 4, water);
    put(chunk, 10, 20, 10, 13);
    for (render::MeshOptions options : {flat, shaded}) {
        const render::BlockFaces faces = mesh(chunk, options);
        ASSERT_EQ(faces.tied.size(), faces.indices.size() / 3);
        std::size_t tied = 0;
        for (std::size_t t = 0; t < faces.tied.size(); ++t) {
            const render::MeshVertex* v[3];
            for (int k = 0; k < 3; ++k) v[k] = &faces.vertices[faces.indices[3 * t + k]];
            const bool onStoneAndLeaves = v[0]->x == 5.0f && v[1]->x == 5.0f && v[2]->x == 5.0f;
            const bool model = v[0]->y >= 20.0f;
            EXPECT_EQ(faces.tied[t], onStoneAndLeaves || model ? 1 : 0) << "triangle " << t;
            tied += faces.tied[t];
        }
        EXPECT_EQ(tied, 2u + 3u)
            << "the stone's face beside the leaves and the model's three static triangles";
    }
}

}  // namespace
