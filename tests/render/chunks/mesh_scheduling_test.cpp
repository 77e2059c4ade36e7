#include "render/chunks/mesh_scheduling.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <iterator>
#include <optional>
#include <tuple>

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
    app.player.chunkX = 9;
    app.player.chunkZ = 9;
    app.world.remesh = {{9, 9}, {1, 1}, {-1, -1}};
    app.uploadMesh(render::meshPoll);
    EXPECT_EQ(tasks.pending(), 1u);
    EXPECT_EQ(app.world.remesh, (std::set<Key>{{-1, -1}})) << "(9, 9) dropped, (1, 1) launched";
}

// One launch: the nearest waiting chunk whose chunk is loaded; keys met on the way without their
// chunk leave the set. The square holds the chunks -2..2 on each axis.
TEST_F(MeshUpload, ALaunchTakesTheOneNearestLoadedWaitingChunk) {
    load(2);
    const struct {
        const char* what;
        Key player;
        std::set<Key> waiting;
        std::optional<Key> launched;
        std::set<Key> left;
    } cases[] = {
        {"ties to the smaller cx, then cz", {0, 0}, {{0, 1}, {1, 0}, {0, -1}, {-1, 0}, {2, 0}}, Key(-1, 0),
         {{0, 1}, {1, 0}, {0, -1}, {2, 0}}},
        {"nearest, not first in set order", {0, 0}, {{-2, -2}, {1, 1}}, Key(1, 1), {{-2, -2}}},
        {"an unloaded key is skipped and the next launched", {3, 0}, {{3, 0}, {2, 0}, {1, 0}}, Key(2, 0),
         {{1, 0}}},
        {"nothing loaded: nothing launched", {0, 0}, {{9, 9}, {-9, 0}}, std::nullopt, {}},
        {"an unset player chunk must not overflow", {INT32_MIN, INT32_MIN}, {{0, 1}, {1, 0}, {-1, 0}},
         Key(-1, 0), {{0, 1}, {1, 0}}},
    };
    for (const auto& c : cases) {
        app.player.chunkX = c.player.first;
        app.player.chunkZ = c.player.second;
        app.world.remesh = c.waiting;
        app.uploadMesh(render::meshPoll);
        EXPECT_EQ(app.world.remesh, c.left) << c.what;
        ASSERT_EQ(app.meshing.task.valid(), c.launched.has_value()) << c.what;
        if (!c.launched) continue;
        EXPECT_EQ(tasks.pending(), 1u) << c.what;
        tasks.runAll();
        EXPECT_EQ(app.meshing.task.get().key, voxel::packChunkKey(c.launched->first, c.launched->second)) << c.what;
    }
}

// One task a call and one chunk a task: a fresh result installs, a chunk marked again while it was
// built is dropped and launched again, and the waiting chunks follow nearest first.
TEST_F(MeshUpload, EachTaskMeshesOneChunkAndTheWaitingOnesFollowNearestFirst) {
    load(2);
    app.world.remesh = {{2, 2}, {0, 1}, {-1, 0}, {1, -1}, {9, 9}};
    const struct {
        bool run, markAgain;  // before the call: finish the pending task; mark (-1, 0) again, as an edit does
        uint64_t installed, dropped;
        std::set<Key> left;
    } frames[] = {
        {false, false, 0, 0, {{0, 1}, {1, -1}, {2, 2}, {9, 9}}},  // (-1, 0) launched
        {false, false, 0, 0, {{0, 1}, {1, -1}, {2, 2}, {9, 9}}},  // not ready: neither waited for nor joined
        {true, true, 0, 1, {{0, 1}, {1, -1}, {2, 2}, {9, 9}}},    // dropped, the nearest again
        {true, false, 1, 1, {{1, -1}, {2, 2}, {9, 9}}},
        {true, false, 2, 1, {{2, 2}, {9, 9}}},
        {true, false, 3, 1, {{9, 9}}},
        {true, false, 4, 1, {}},  // (9, 9) is not loaded: skipped, nothing launched
    };
    for (std::size_t i = 0; i < std::size(frames); ++i) {
        const auto& f = frames[i];
        if (f.markAgain) app.world.remesh.insert({-1, 0});
        if (f.run) tasks.runAll();
        app.uploadMesh(render::meshPoll);
        EXPECT_EQ(std::tuple(app.meshing.installed, app.meshing.dropped), std::tuple(f.installed, f.dropped)) << i;
        EXPECT_EQ(app.world.remesh, f.left) << i;
        EXPECT_EQ(tasks.pending(), i + 1 < std::size(frames) ? 1u : 0u) << i;
    }
    EXPECT_TRUE(meshed(-1, 0) && meshed(0, 1) && meshed(1, -1) && meshed(2, 2));
    EXPECT_FALSE(meshed(9, 9));
}

TEST_F(MeshUpload, EverythingModeWaitsForThePendingTaskAndInstallsIt) {
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
