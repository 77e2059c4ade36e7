#include "render/chunks/mesh_scheduling.h"

#include <gtest/gtest.h>

#include <array>

#include "app/app.h"
#include "support/manual_tasks.h"
#include "world/chunk.h"

namespace {

using Key = std::pair<int32_t, int32_t>;
constexpr uint8_t kStone = 3;

TEST(MeshSchedule, NearestKeyTiesGoToTheSmallerCxThenCz) {
    const std::set<Key> keys{{0, 1}, {1, 0}, {0, -1}, {-1, 0}, {3, 3}};
    EXPECT_EQ(render::nearestKey(keys, 0, 0), Key(-1, 0));
    EXPECT_EQ(render::nearestKey({{0, 1}, {1, 0}, {0, -1}}, 0, 0), Key(0, -1));
    EXPECT_EQ(render::nearestKey(keys, 3, 2), Key(3, 3));
    EXPECT_EQ(render::nearestKey(keys, INT32_MIN, INT32_MIN), Key(-1, 0))
        << "an unset player chunk must not overflow";
}

TEST(MeshSchedule, ABatchIsAsManyChunksAsTheBudgetFitsBetweenOneAndTheLimit) {
    const double budget = render::meshBatchBudgetMilliseconds;
    const double perChunkAtLimit = budget / static_cast<double>(render::meshBatchLimit);
    const struct {
        double chunkMilliseconds;
        std::size_t size;
    } cases[] = {
        {0.0, render::meshBatchLimit},  // nothing measured yet
        {perChunkAtLimit / 2, render::meshBatchLimit},
        {perChunkAtLimit, render::meshBatchLimit},
        {perChunkAtLimit * 1.01, render::meshBatchLimit - 1},
        {budget / 2, 2},
        {budget / 2 * 1.01, 1},
        {budget, 1},
        {budget * 10, 1},  // a slow chunk still goes alone
    };
    for (const auto& c : cases)
        EXPECT_EQ(render::meshBatchSize(c.chunkMilliseconds), c.size) << c.chunkMilliseconds;
}

TEST(MeshSchedule, ABatchTakesTheNearestLoadedKeysUpToItsLimit) {
    // Distances from (0, 0): (-1, 0), (0, -1), (0, 1), (1, 0) all 1, (2, 0) 2, (3, 3) 6.
    const std::set<Key> waiting{{0, 1}, {1, 0}, {0, -1}, {-1, 0}, {2, 0}, {3, 3}};
    const auto loadedBut = [](std::set<Key> missing) {
        return [missing](const Key& key) { return !missing.contains(key); };
    };
    const struct {
        const char* what;
        std::size_t limit;
        std::set<Key> missing;
        std::vector<Key> taken;
        std::set<Key> left;
    } cases[] = {
        {"ties in set order", 4, {}, {{-1, 0}, {0, -1}, {0, 1}, {1, 0}}, {{2, 0}, {3, 3}}},
        {"exactly as many as waiting", 6, {}, {{-1, 0}, {0, -1}, {0, 1}, {1, 0}, {2, 0}, {3, 3}}, {}},
        {"one fewer than waiting", 5, {}, {{-1, 0}, {0, -1}, {0, 1}, {1, 0}, {2, 0}}, {{3, 3}}},
        {"a key without its chunk is dropped, not counted",
         2,
         {{0, -1}},
         {{-1, 0}, {0, 1}},
         {{1, 0}, {2, 0}, {3, 3}}},
        {"a missing key past the limit stays",
         1,
         {{0, -1}},
         {{-1, 0}},
         {{0, -1}, {0, 1}, {1, 0}, {2, 0}, {3, 3}}},
        {"nothing loaded", 3, {{0, 1}, {1, 0}, {0, -1}, {-1, 0}, {2, 0}, {3, 3}}, {}, {}},
    };
    for (const auto& c : cases) {
        std::set<Key> keys = waiting;
        EXPECT_EQ(render::takeNearestKeys(keys, 0, 0, c.limit, loadedBut(c.missing)), c.taken) << c.what;
        EXPECT_EQ(keys, c.left) << c.what;
    }
    std::set<Key> keys = waiting;
    EXPECT_EQ(render::takeNearestKeys(keys, INT32_MIN, INT32_MIN, 1, loadedBut({})),
              std::vector<Key>{Key(-1, 0)})
        << "an unset player chunk must not overflow";
}

TEST(MeshSchedule, ANewLightListReachesTheNeighboursWhoseFacingLayerChanged) {
    const std::vector<uint8_t> before(voxel::chunkCellCount, 0x0F);
    const auto changedAt = [&](std::initializer_list<std::array<uint32_t, 3>> cells) {
        std::vector<uint8_t> after = before;
        for (const auto& [x, y, z] : cells) after[voxel::cellIndex(x, y, z)] = 0x3C;
        return render::changedLightBorders(before, after);
    };
    EXPECT_EQ(changedAt({}), 0);
    EXPECT_EQ(changedAt({{7, 64, 7}}), 0) << "inside the chunk";
    EXPECT_EQ(changedAt({{14, 64, 7}, {1, 64, 7}, {7, 64, 14}, {7, 64, 1}}), 0)
        << "one cell short of each side";
    EXPECT_EQ(changedAt({{15, 127, 7}}), 1);
    EXPECT_EQ(changedAt({{0, 0, 7}}), 2);
    EXPECT_EQ(changedAt({{7, 64, 15}}), 4);
    EXPECT_EQ(changedAt({{7, 64, 0}}), 8);
    EXPECT_EQ(changedAt({{0, 30, 0}}), 2 | 8) << "a corner cell faces two neighbours";
    EXPECT_EQ(changedAt({{15, 30, 15}, {0, 31, 0}}), 0xF);
    EXPECT_EQ(render::changedLightBorders({}, before), 0xF) << "lit for the first time";
}

TEST(MeshSchedule, WaterLevelsReachOnlyLoadedWaterCells) {
    std::vector<voxel::Chunk> chunks{voxel::Chunk(0, 0), voxel::Chunk(-1, 0)};
    chunks[1].cells[voxel::cellIndex(15, 60, 2)] = voxel::waterId;
    chunks[1].waterLevels.assign(voxel::chunkCellCount, 7);
    const std::map<Key, std::size_t> chunkMap{{{0, 0}, 0}, {{-1, 0}, 1}};
    const std::map<std::tuple<int32_t, int32_t, int32_t>, uint8_t> levels{
        {{-1, 60, 2}, 5}, {{3, 60, 2}, 4}, {{40, 60, 2}, 3}};
    render::copyWaterLevels(chunks, chunkMap, levels);
    EXPECT_EQ(chunks[1].waterLevels[voxel::cellIndex(15, 60, 2)], 5);
    EXPECT_EQ(chunks[1].waterLevels[voxel::cellIndex(14, 60, 2)], 0) << "old levels are cleared";
    ASSERT_EQ(chunks[0].waterLevels.size(), voxel::chunkCellCount);
    EXPECT_EQ(chunks[0].waterLevels[voxel::cellIndex(3, 60, 2)], 0) << "the cell holds no water";
}

TEST(MeshSchedule, LevelsAChunkBroughtFromItsFileSurviveTheNextCopy) {
    std::vector<voxel::Chunk> chunks{voxel::Chunk(-1, 2)};
    voxel::Chunk& chunk = chunks[0];
    chunk.cells[voxel::cellIndex(4, 61, 9)] = voxel::waterId;
    chunk.waterLevels.assign(voxel::chunkCellCount, 0);
    chunk.waterLevels[voxel::cellIndex(4, 61, 9)] = 6;
    chunk.waterLevels[voxel::cellIndex(5, 61, 9)] = 3;  // not water: not kept
    std::map<std::tuple<int32_t, int32_t, int32_t>, uint8_t> levels;
    render::collectWaterLevels(chunk, levels);
    EXPECT_EQ(levels, (std::map<std::tuple<int32_t, int32_t, int32_t>, uint8_t>{{{-12, 61, 41}, 6}}));
    render::copyWaterLevels(chunks, {{{-1, 2}, 0}}, levels);
    EXPECT_EQ(chunk.waterLevels[voxel::cellIndex(4, 61, 9)], 6);
}

// Loaded chunks of a square with a stone floor, no GPU: installed meshes are recorded only.
class MeshUpload : public testing::Test {
   protected:
    MeshUpload() : tasks(app.tasks) {}

    void load(int32_t radius) {
        for (int32_t cz = -radius; cz <= radius; ++cz) {
            for (int32_t cx = -radius; cx <= radius; ++cx) {
                voxel::Chunk chunk(cx, cz);
                for (uint32_t i = 0; i < 16 * 16 * 4; ++i) chunk.cells[i] = kStone;
                app.world.chunks.push_back(std::move(chunk));
            }
        }
        app.reindexChunks();
        app.player.chunkX = 0;
        app.player.chunkZ = 0;
    }
    bool meshed(int32_t cx, int32_t cz) const {
        return app.world.meshes.contains(voxel::packChunkKey(cx, cz));
    }

    App app;
    testsupport::ManualTasks tasks;
};

TEST_F(MeshUpload, EverythingModeLightsAndMeshesEveryWaitingChunkAtOnce) {
    load(3);
    for (const voxel::Chunk& chunk : app.world.chunks) app.markChunkDirty(chunk.cx, chunk.cz);
    app.uploadMesh(render::meshEverything);
    EXPECT_EQ(app.world.meshes.size(), 49u);
    EXPECT_EQ(app.meshing.installed, 49u);
    EXPECT_TRUE(app.world.remesh.empty());
    EXPECT_EQ(tasks.pending(), 0u) << "nothing runs in the background";
    for (const voxel::Chunk& chunk : app.world.chunks) EXPECT_EQ(chunk.light.size(), voxel::chunkCellCount);
    // The floor's top and bottom faces, 2 x 256 quads of 6 indices, and the outer walls of the square.
    EXPECT_EQ(app.world.meshes.at(voxel::packChunkKey(0, 0)).solidIndexCount, 2u * 256u * 6u);
    EXPECT_EQ(app.meshing.solidIndexCount, 49u * 2u * 256u * 6u + 4u * 7u * 16u * 4u * 6u);
}

TEST_F(MeshUpload, OrdinaryModeLaunchesTheNearestAndInstallsItLater) {
    load(1);
    app.meshing.chunkMilliseconds = render::meshBatchBudgetMilliseconds;  // one chunk a task
    app.world.remesh = {{1, 1}, {0, -1}, {-1, 0}};
    app.uploadMesh(render::meshPoll);
    EXPECT_EQ(tasks.pending(), 1u);
    EXPECT_EQ(app.world.remesh, (std::set<Key>{{0, -1}, {1, 1}})) << "(-1, 0) was launched";

    app.uploadMesh(render::meshPoll);
    EXPECT_EQ(tasks.pending(), 1u) << "an unfinished task is neither waited for nor joined by another";
    EXPECT_EQ(app.world.remesh.size(), 2u);

    tasks.runAll();
    app.uploadMesh(render::meshPoll);
    EXPECT_TRUE(meshed(-1, 0));
    EXPECT_EQ(app.meshing.installed, 1u);
    EXPECT_EQ(app.world.remesh, (std::set<Key>{{1, 1}}));
}

TEST_F(MeshUpload, AChunkEditedWhileItsMeshIsBuiltIsDroppedAndMeshedAgain) {
    load(1);
    app.world.remesh = {{0, 0}};
    app.uploadMesh(render::meshPoll);
    ASSERT_TRUE(app.setBlock(5, 20, 5, kStone));
    tasks.runAll();
    app.uploadMesh(render::meshPoll);
    EXPECT_FALSE(meshed(0, 0));
    EXPECT_EQ(app.meshing.dropped, 1u);
    EXPECT_EQ(app.meshing.installed, 0u);
    EXPECT_EQ(tasks.pending(), 1u) << "the edited chunk is launched again";
    EXPECT_FALSE(app.world.remesh.contains({0, 0}));
}

TEST_F(MeshUpload, AChunkUnloadedWhileItsMeshIsBuiltIsDropped) {
    load(1);
    app.world.remesh = {{1, 0}};
    app.uploadMesh(render::meshPoll);
    std::erase_if(app.world.chunks, [](const voxel::Chunk& chunk) { return chunk.cx == 1 && chunk.cz == 0; });
    app.reindexChunks();
    tasks.runAll();
    app.uploadMesh(render::meshPoll);
    EXPECT_FALSE(meshed(1, 0));
    EXPECT_EQ(app.meshing.dropped, 1u);
}

TEST_F(MeshUpload, AWaitingKeyWithoutItsChunkIsSkippedInTheSameCall) {
    load(1);
    app.meshing.chunkMilliseconds = render::meshBatchBudgetMilliseconds;  // one chunk a task
    app.player.chunkX = 9;
    app.player.chunkZ = 9;
    app.world.remesh = {{9, 9}, {1, 1}, {-1, -1}};
    app.uploadMesh(render::meshPoll);
    EXPECT_EQ(tasks.pending(), 1u);
    EXPECT_EQ(app.world.remesh, (std::set<Key>{{-1, -1}})) << "(9, 9) dropped, (1, 1) launched";
}

TEST_F(MeshUpload, OneTaskMeshesTheNearestWaitingChunksAndEachInstallsOnItsOwn) {
    load(2);
    app.world.remesh = {{2, 2}, {0, 1}, {-1, 0}, {1, -1}, {9, 9}};
    app.meshing.chunkMilliseconds = render::meshBatchBudgetMilliseconds / 3;  // three a task
    app.uploadMesh(render::meshPoll);
    EXPECT_EQ(tasks.pending(), 1u) << "one task for the batch";
    EXPECT_EQ(app.world.remesh, (std::set<Key>{{2, 2}, {9, 9}}));

    app.uploadMesh(render::meshPoll);
    EXPECT_EQ(tasks.pending(), 1u) << "a task that is not ready is neither waited for nor joined by another";
    EXPECT_EQ(app.meshing.installed, 0u);

    app.world.remesh.insert({0, 1});  // marked again while its batch is built, as an edit does
    std::erase_if(app.world.chunks,
                  [](const voxel::Chunk& chunk) { return chunk.cx == 1 && chunk.cz == -1; });
    app.reindexChunks();
    tasks.runAll();
    app.uploadMesh(render::meshPoll);
    EXPECT_TRUE(meshed(-1, 0));
    EXPECT_FALSE(meshed(0, 1));
    EXPECT_FALSE(meshed(1, -1));
    EXPECT_EQ(app.meshing.installed, 1u);
    EXPECT_EQ(app.meshing.dropped, 2u) << "the changed chunk and the unloaded one";
    EXPECT_EQ(tasks.pending(), 1u) << "the next batch";
    EXPECT_FALSE(app.world.remesh.contains({0, 1})) << "the changed chunk is the nearest again";

    for (int round = 0; round < 3 && tasks.pending() > 0; ++round) {
        tasks.runAll();
        app.uploadMesh(render::meshPoll);
    }
    EXPECT_TRUE(meshed(0, 1) && meshed(2, 2));
    EXPECT_FALSE(meshed(9, 9));
    EXPECT_EQ(app.meshing.installed, 3u);
    EXPECT_EQ(app.meshing.dropped, 2u);
    EXPECT_TRUE(app.world.remesh.empty());
    EXPECT_EQ(tasks.pending(), 0u);
}

TEST_F(MeshUpload, EverythingModeWaitsForThePendingBatchAndInstallsIt) {
    app.tasks.launcher = nullptr;  // a real thread
    load(1);
    app.world.remesh = {{0, 0}, {1, 0}};
    app.uploadMesh(render::meshPoll);
    ASSERT_TRUE(app.meshing.task.valid());
    app.world.remesh.insert({-1, -1});
    app.uploadMesh(render::meshEverything);
    EXPECT_FALSE(app.meshing.task.valid());
    EXPECT_EQ(app.meshing.installed, 3u);
    EXPECT_TRUE(meshed(0, 0) && meshed(1, 0) && meshed(-1, -1));
}

TEST_F(MeshUpload, ChangedWaterLevelsAreCopiedOnceIntoTheChunks) {
    load(0);
    app.world.chunks[0].cells[voxel::cellIndex(2, 10, 3)] = voxel::waterId;
    app.meshing.waterLevels[{2, 10, 3}] = 6;
    app.uploadMesh(render::meshCollectOnly);
    EXPECT_EQ(app.world.chunks[0].waterLevels[voxel::cellIndex(2, 10, 3)], 6);
    EXPECT_FALSE(app.meshing.waterLevelsChanged);
    app.meshing.waterLevels[{2, 10, 3}] = 2;
    app.uploadMesh(render::meshCollectOnly);
    EXPECT_EQ(app.world.chunks[0].waterLevels[voxel::cellIndex(2, 10, 3)], 6) << "only a set flag copies";
}

}  // namespace
