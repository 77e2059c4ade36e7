#include <gtest/gtest.h>

#include <vector>

#include "loaded_world.h"

namespace {

using worldtest::LoadedWorld;
namespace id = worldtest;

class ChunkQueries : public LoadedWorld {};

TEST_F(ChunkQueries, BlocksAreFoundByFloorDivisionOfNegativeCoordinates) {
    load(0, 0);
    load(-1, -1);
    EXPECT_EQ(app.findChunk(-1, -1)->cx, -1);
    EXPECT_EQ(app.findChunk(1, 0), nullptr);
    ASSERT_TRUE(app.setBlock(-1, 70, -16, 2));
    EXPECT_EQ(app.findChunk(-1, -1)->get(15, 70, 0), 2);
    EXPECT_EQ(app.blockAt(-1, 70, -16), 2);
    EXPECT_EQ(app.blockAt(-1, 70, -17), 0) << "chunk (-1, -2) is not loaded";
    EXPECT_EQ(app.blockAt(0, 10, 0), id::stone);
    EXPECT_EQ(app.blockAt(0, -1, 0), 0);
    EXPECT_EQ(app.blockAt(0, 128, 0), 0);
    EXPECT_EQ(app.blockAt(16, 10, 0), 0);
}

// A coordinate on either side of a chunk border, along x and along z, lands in its own chunk and
// local cell (floor division, not truncation), and reads, writes and states agree on that cell.
TEST_F(ChunkQueries, CellsBesideEachChunkBorderMapToTheirChunkAndLocalCell) {
    const struct {
        int32_t c, chunk;
        uint32_t local;
    } rows[] = {{-17, -2, 15}, {-16, -1, 0}, {-1, -1, 15}, {0, 0, 0}, {15, 0, 15}, {16, 1, 0}};
    for (int32_t c : {-2, -1, 1}) {
        load(c, 0);
        load(0, c);
    }
    load(0, 0);
    for (const auto& row : rows) {
        ASSERT_TRUE(app.setBlock(row.c, 70, 0, id::lantern)) << row.c;
        ASSERT_TRUE(app.setBlockState(row.c, 70, 0, 3));
        ASSERT_TRUE(app.setBlock(0, 71, row.c, id::lantern)) << row.c;
        ASSERT_TRUE(app.setBlockState(0, 71, row.c, 5));
        const voxel::Chunk& alongX = *app.findChunk(row.chunk, 0);
        const voxel::Chunk& alongZ = *app.findChunk(0, row.chunk);
        EXPECT_EQ(alongX.get(row.local, 70, 0), id::lantern) << row.c;
        EXPECT_EQ(alongZ.get(0, 71, row.local), id::lantern) << row.c;
        EXPECT_EQ(alongX.states.at(voxel::cellIndex(row.local, 70, 0)), 3) << row.c;
        EXPECT_EQ(alongZ.states.at(voxel::cellIndex(0, 71, row.local)), 5) << row.c;
        EXPECT_EQ(app.blockAt(row.c, 70, 0), id::lantern) << row.c;
        EXPECT_EQ(app.findBlockEntity(0, 71, row.c), 5) << row.c;
    }
}

TEST_F(ChunkQueries, EditsOutsideTheLoadedWorldAreRefused) {
    load(0, 0);
    forgetChanges();
    EXPECT_FALSE(app.setBlock(0, -1, 0, 2));
    EXPECT_FALSE(app.setBlock(0, 128, 0, 2));
    EXPECT_FALSE(app.setBlock(16, 70, 0, 2));
    EXPECT_FALSE(app.setBlockState(0, -1, 0, 3));
    EXPECT_FALSE(app.setBlockState(0, 128, 0, 3));
    EXPECT_FALSE(app.setBlockState(-1, 70, 0, 3));
    EXPECT_TRUE(app.world.modified.empty());
    EXPECT_TRUE(app.world.remesh.empty());
    EXPECT_TRUE(app.world.updateQueue.empty());
    EXPECT_TRUE(app.world.blockStates.empty());
    EXPECT_TRUE(app.setBlock(0, 0, 0, 2)) << "the lowest layer is inside";
    EXPECT_TRUE(app.setBlock(0, 127, 0, 2)) << "the highest layer is inside";
}

TEST_F(ChunkQueries, SetBlockMarksChunksAndQueuesTheCellThenItsNeighbours) {
    load(0, 0);
    load(1, 0);
    load(5, 5);
    forgetChanges();
    ASSERT_TRUE(app.setBlock(15, 64, 5, 2));
    EXPECT_EQ(app.world.modified, (std::set<ChunkKey>{{0, 0}}));
    EXPECT_EQ(app.world.relight, (std::set<ChunkKey>{{0, 0}}));
    EXPECT_EQ(app.world.remesh, (std::set<ChunkKey>{{0, 0}, {1, 0}})) << "unloaded neighbours are left out";
    const std::vector<CellKey> expected{{15, 64, 5}, {16, 64, 5}, {14, 64, 5}, {15, 65, 5},
                                        {15, 63, 5}, {15, 64, 6}, {15, 64, 4}};
    EXPECT_EQ(std::vector<CellKey>(app.world.updateQueue.begin(), app.world.updateQueue.end()), expected);
    EXPECT_EQ(app.world.updateSet.size(), 7u);
}

TEST_F(ChunkQueries, NeighbourUpdatesSkipTheBottomLayerUnloadedCellsAndWaitingCells) {
    load(0, 0);
    forgetChanges();
    app.queueCellUpdate(3, 5, 3);
    app.queueNeighbourUpdates(0, 1, 3);
    const std::vector<CellKey> expected{{3, 5, 3}, {0, 1, 3}, {1, 1, 3}, {0, 2, 3}, {0, 1, 4}, {0, 1, 2}};
    EXPECT_EQ(std::vector<CellKey>(app.world.updateQueue.begin(), app.world.updateQueue.end()), expected);
    app.queueNeighbourUpdates(2, 5, 3);
    EXPECT_EQ(app.world.updateQueue.size(), expected.size() + 6) << "(3, 5, 3) was already waiting";
    app.queueCellUpdate(0, 128, 0);
    app.queueCellUpdate(0, 0, 0);
    EXPECT_EQ(app.world.updateQueue.size(), expected.size() + 6);
}

TEST_F(ChunkQueries, BlockClassOfCells) {
    load(0, 0);
    app.setBlock(1, 64, 1, id::door);
    app.setBlock(2, 64, 1, id::water);
    app.setBlock(3, 64, 1, id::leaves);
    app.setBlock(4, 64, 1, id::flower);
    app.setBlock(5, 64, 1, id::ladder);
    EXPECT_EQ(app.blockState(1, 64, 1), 0) << "door";
    EXPECT_EQ(app.blockState(5, 64, 1), 0) << "ladder";
    EXPECT_EQ(app.blockState(2, 64, 1), 1) << "water";
    EXPECT_EQ(app.blockState(3, 64, 1), 2) << "solid leaves";
    EXPECT_EQ(app.blockState(4, 64, 1), 0) << "flower";
    EXPECT_EQ(app.blockState(1, 10, 1), 2) << "stone";
    EXPECT_EQ(app.blockState(1, 100, 1), 0) << "air";
    EXPECT_EQ(app.blockState(1, -1, 1), 2) << "below the world";
    EXPECT_EQ(app.blockState(1, 200, 1), 0) << "above the world";
    EXPECT_EQ(app.blockState(20, 10, 1), 3) << "unloaded";
    EXPECT_EQ(app.blockState(20, -1, 1), 3) << "unloaded comes first";
}

TEST_F(ChunkQueries, LightAtReadsTheCellOrTheBrightestFaceOfAnOpaqueCell) {
    voxel::Chunk& chunk = load(0, 0);
    EXPECT_FLOAT_EQ(app.lightAt(3, 70, 3).sky, 1.0f) << "an unlit chunk is full sky";
    EXPECT_FLOAT_EQ(app.lightAt(3, 128, 3).sky, 1.0f);
    EXPECT_FLOAT_EQ(app.lightAt(3, 128, 3).block, 0.0f);
    EXPECT_FLOAT_EQ(app.lightAt(30, 70, 3).sky, 0.0f) << "unloaded is dark";
    EXPECT_FLOAT_EQ(app.lightAt(3, -1, 3).sky, 0.0f);

    chunk.light.assign(voxel::chunkCellCount, 0);
    chunk.light[voxel::cellIndex(4, 63, 3)] = 0x3A;  // sky 10, block 3 beside the stone
    chunk.light[voxel::cellIndex(3, 64, 3)] = 0x5C;  // sky 12, block 5 above it
    chunk.light[voxel::cellIndex(3, 62, 3)] = 0x70;  // block 7 below it
    const App::Light inStone = app.lightAt(3, 63, 3);
    EXPECT_FLOAT_EQ(inStone.sky, 12.0f / 15.0f);
    EXPECT_FLOAT_EQ(inStone.block, 7.0f / 15.0f);
    const App::Light inAir = app.lightAt(3, 64, 3);
    EXPECT_FLOAT_EQ(inAir.sky, 12.0f / 15.0f);
    EXPECT_FLOAT_EQ(inAir.block, 5.0f / 15.0f);
    EXPECT_FLOAT_EQ(app.lightAt(4, 64, 3).sky, 0.0f) << "an air cell keeps its own light";
    // At the chunk edge the unloaded side is skipped; the top of the world counts as full sky.
    EXPECT_FLOAT_EQ(app.lightAt(15, 10, 15).sky, 0.0f);
    app.setBlock(15, 127, 15, id::stone);
    EXPECT_FLOAT_EQ(app.lightAt(15, 127, 15).sky, 1.0f);
}

TEST_F(ChunkQueries, StoredStatesHoldOnlyWhileTheCellKeepsItsId) {
    voxel::Chunk& chunk = load(0, 0);
    app.setBlock(2, 64, 2, id::trapdoor);
    EXPECT_TRUE(app.setBlockState(2, 64, 2, 0x2D));
    EXPECT_EQ(app.findBlockEntity(2, 64, 2), 0x0D) << "only the low five bits are kept";
    ASSERT_EQ(chunk.states.size(), voxel::chunkCellCount);
    EXPECT_EQ(chunk.states[voxel::cellIndex(2, 64, 2)], 0x0D);
    app.setBlock(2, 64, 2, id::stone);
    EXPECT_EQ(app.findBlockEntity(2, 64, 2), 0);
    app.setBlockState(2, 64, 2, 0);
    EXPECT_EQ(app.world.blockStates.count({2, 64, 2}), 0u) << "a zero state of a plain block is dropped";
    EXPECT_EQ(app.findBlockEntity(9, 9, 9), 0);

    voxel::Chunk& other = load(1, 0);
    app.setBlock(17, 64, 2, id::ladder);
    app.setBlockState(17, 64, 2, 0);
    EXPECT_TRUE(other.states.empty()) << "a zero state does not create the list";
    EXPECT_EQ(app.world.blockStates.count({17, 64, 2}), 1u) << "a shaped block keeps its zero state";
}

TEST_F(ChunkQueries, ShapedCellsAreListedForTheFunctionalMeshesWithoutUpperHalves) {
    load(0, 0);
    app.setBlock(1, 64, 1, id::door);
    app.setBlockState(1, 64, 1, 1);
    app.setBlock(1, 65, 1, id::door);
    app.setBlockState(1, 65, 1, voxel::stateUpper | 1);
    app.setBlock(3, 64, 1, id::trapdoor);
    app.setBlockState(3, 64, 1, voxel::stateUpper);
    app.setBlock(5, 64, 1, id::bed);
    app.setBlockState(5, 64, 1, voxel::stateUpper);
    EXPECT_EQ(app.world.functionalCells[ChunkKey(0, 0)], (std::set<CellKey>{{1, 64, 1}, {3, 64, 1}}));
}

TEST_F(ChunkQueries, ArrivingChunksGetTheirStoredStatesOnce) {
    app.world.blockStates[{3, 70, 4}] = {id::ladder, 2};
    app.world.blockStates[{5, 70, 4}] = {id::ladder, 3};  // the cell holds something else now
    app.world.blockStates[{3, 70, 20}] = {id::ladder, 1};  // another chunk
    voxel::Chunk chunk(0, 0);
    chunk.cells[voxel::cellIndex(3, 70, 4)] = id::ladder;
    chunk.cells[voxel::cellIndex(5, 70, 4)] = id::stone;
    app.world.chunks.push_back(chunk);
    app.reindexChunks();
    voxel::Chunk& loaded = *app.findChunk(0, 0);
    EXPECT_TRUE(loaded.statesApplied);
    ASSERT_FALSE(loaded.states.empty());
    EXPECT_EQ(loaded.states[voxel::cellIndex(3, 70, 4)], 2);
    EXPECT_EQ(loaded.states[voxel::cellIndex(5, 70, 4)], 0);
    EXPECT_EQ(app.findBlockEntity(3, 70, 4), 2);

    loaded.states[voxel::cellIndex(3, 70, 4)] = 9;
    app.reindexChunks();
    EXPECT_EQ(loaded.states[voxel::cellIndex(3, 70, 4)], 9) << "states are applied once per chunk";
}

TEST_F(ChunkQueries, LoneDoorsGrowTheirUpperHalfOnlyIntoAir) {
    voxel::Chunk chunk(0, 0);
    chunk.cells[voxel::cellIndex(1, 64, 1)] = id::door;  // air above
    chunk.cells[voxel::cellIndex(3, 64, 1)] = id::door;
    chunk.cells[voxel::cellIndex(3, 65, 1)] = id::stone;
    chunk.cells[voxel::cellIndex(5, 64, 1)] = id::door;  // a stored pair without states
    chunk.cells[voxel::cellIndex(5, 65, 1)] = id::door;
    chunk.cells[voxel::cellIndex(7, 127, 1)] = id::door;  // nothing above the world
    chunk.cells[voxel::cellIndex(9, 64, 1)] = id::bed;
    app.world.chunks.push_back(chunk);
    app.reindexChunks();

    EXPECT_EQ(app.blockAt(1, 65, 1), id::door);
    EXPECT_EQ(app.findBlockEntity(1, 64, 1), 0);
    EXPECT_EQ(app.findBlockEntity(1, 65, 1), voxel::stateUpper);
    EXPECT_EQ(app.blockAt(1, 66, 1), 0) << "the grown half is not grown again";

    EXPECT_EQ(app.blockAt(3, 65, 1), id::stone);
    EXPECT_EQ(app.world.blockStates.count({3, 64, 1}), 1u);
    EXPECT_EQ(app.findBlockEntity(3, 64, 1), 0);

    EXPECT_EQ(app.findBlockEntity(5, 65, 1), voxel::stateUpper);
    EXPECT_EQ(app.blockAt(5, 66, 1), 0);

    EXPECT_EQ(app.world.blockStates.count({7, 127, 1}), 1u);
    EXPECT_EQ(app.world.blockStates.count({9, 64, 1}), 1u) << "other shaped blocks get state 0";
}

TEST_F(ChunkQueries, BlockColourIsTheMapColour) {
    EXPECT_EQ(app.blockColour(1, 127) & 0xFF, 103u);
    EXPECT_EQ(app.blockColour(0, 50), 0x4F4030u);
}

TEST_F(ChunkQueries, CitySitesAreCachedPerRegion) {
    const voxel::CitySite first = app.citySiteCached(2, -3);
    EXPECT_EQ(first.gx, 2);
    EXPECT_EQ(first.gz, -3);
    EXPECT_EQ(app.world.citySites.size(), 1u);
    app.citySiteCached(2, -3);
    EXPECT_EQ(app.world.citySites.size(), 1u);
    app.citySiteCached(0, 0);
    EXPECT_EQ(app.world.citySites.size(), 2u);
    app.files.seed = 99;
    app.citySiteCached(0, 0);
    EXPECT_EQ(app.world.citySites.size(), 1u) << "another world starts an empty cache";
    app.citySiteCached(1, 0);
    ASSERT_EQ(app.world.citySites.size(), 2u);
    app.generationStage = 3;
    app.citySiteCached(1, 0);
    EXPECT_EQ(app.world.citySites.size(), 1u) << "another generation stage starts an empty cache";
}

TEST_F(ChunkQueries, MissingChunksAreGeneratedOnDemand) {
    app.ensureChunkAt(-5, 40);
    ASSERT_NE(app.findChunk(-1, 2), nullptr);
    EXPECT_EQ(app.world.chunks.size(), 1u);
    EXPECT_EQ(app.world.relight, (std::set<ChunkKey>{{-1, 2}}));
    EXPECT_EQ(app.world.remesh, (std::set<ChunkKey>{{-1, 2}}));
    EXPECT_EQ(app.blockAt(-5, 0, 40), 6) << "generated ground stands on bedrock";
    app.ensureChunkAt(-16, 47);
    EXPECT_EQ(app.world.chunks.size(), 1u);
}

TEST_F(ChunkQueries, EditsWithASecondCellLoadItsChunkAndApplyEitherSide) {
    load(0, 0);
    BlockEdit edit;
    edit.x = 15;
    edit.y = 64;
    edit.z = 3;
    edit.ids[1] = id::bed;
    edit.states[1] = 1;
    edit.hasSecond = true;
    edit.dx = 1;
    edit.secondIds[1] = id::bed;
    edit.secondStates[1] = 9;
    app.placeTwoPartBlock(edit, 1);
    ASSERT_NE(app.findChunk(1, 0), nullptr);
    EXPECT_EQ(app.blockAt(15, 64, 3), id::bed);
    EXPECT_EQ(app.blockAt(16, 64, 3), id::bed);
    EXPECT_EQ(app.findBlockEntity(16, 64, 3), 9);
    app.placeTwoPartBlock(edit, 0);
    EXPECT_EQ(app.blockAt(15, 64, 3), 0);
    EXPECT_EQ(app.blockAt(16, 64, 3), 0);
}

}  // namespace
