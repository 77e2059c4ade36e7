#include "app/chunk_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <future>
#include <set>
#include <tuple>
#include <vector>

#include "app/app.h"
#include "open_world.h"
#include "save/chunk_file.h"
#include "save/file_save.h"
#include "support/failure.h"
#include "support/held_writer.h"
#include "support/temp_dir.h"

namespace {

using testing::ElementsAre;
using testing::ThrowsMessage;
using Key = std::pair<int32_t, int32_t>;

TEST(ChunkWindow, PlayerChunkRoundsDown) {
    for (const auto& [x, chunk] : {std::pair{-0.5f, -1}, {-16.0f, -1}, {-16.5f, -2}, {15.99f, 0}, {16.0f, 1}})
        EXPECT_EQ(core::chunkOf(x), chunk) << x;
}

TEST(ChunkWindow, NearestMissingChunkBreaksTiesByZThenX) {
    std::map<Key, std::size_t> loaded;
    EXPECT_EQ(core::nearestMissingChunk(loaded, {-1, -2}, 1), Key(-1, -2));
    loaded[{-1, -2}] = 0;
    EXPECT_EQ(core::nearestMissingChunk(loaded, {-1, -2}, 1), Key(-1, -3)) << "smaller z first";
    loaded[{-1, -3}] = 1;
    EXPECT_EQ(core::nearestMissingChunk(loaded, {-1, -2}, 1), Key(-2, -2)) << "then smaller x";
    for (int32_t cz = -3; cz <= -1; ++cz) {
        for (int32_t cx = -2; cx <= 0; ++cx) loaded[{cx, cz}] = 0;
    }
    EXPECT_FALSE(core::nearestMissingChunk(loaded, {-1, -2}, 1));
}

TEST(ChunkWindow, EachRequestIsTheOneNearestMissingChunkSoTheWindowFillsInRings) {
    std::map<Key, std::size_t> loaded{{{0, 0}, 0}, {{0, -1}, 1}};
    // Distance 1: (-1, 0), (1, 0), (0, 1); then 2: (-1, -1), (1, -1), (-1, 1), (1, 1).
    const Key order[] = {{-1, 0}, {1, 0}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    for (const Key& next : order) {
        EXPECT_EQ(core::nearestMissingChunk(loaded, {0, 0}, 1), next);
        loaded[next] = loaded.size();
    }
    EXPECT_FALSE(core::nearestMissingChunk(loaded, {0, 0}, 1));
}

TEST(ChunkWindow, EnvironmentProgressUsesIntegerDivision) {
    const std::array<int32_t, 5> cases[] = {{45, 65, 1, 6, 45}, {45, 65, 85, 6, 55}, {45, 65, 169, 6, 65},
                                            {10, 50, 9, 1, 50}};
    for (const auto& [start, end, done, radius, progress] : cases)
        EXPECT_EQ(core::environmentProgress(start, end, done, radius), progress) << done;
}

class Streaming : public apptest::OpenWorld {
   protected:
    // One frame's streaming step after every task launched so far has finished, a second later.
    void step() {
        tasks.runAll();
        tasks.now += 1.0;
        app.streamWorld();
    }
    // The chunks the steps asked for, in order, until the window is full.
    std::vector<Key> fillWindow() {
        std::vector<Key> requests;
        for (int i = 0; i < 30; ++i) {
            step();
            if (!app.stream.task.valid()) break;
            requests.emplace_back(app.stream.requestX, app.stream.requestZ);
        }
        return requests;
    }
    bool loaded(int32_t cx, int32_t cz) const { return app.findChunk(cx, cz) != nullptr; }
};

TEST_F(Streaming, FillsTheWindowNearestFirstWithTiesToLowerZThenX) {
    standIn(-1, -2);
    EXPECT_THAT(fillWindow(), ElementsAre(Key(-1, -2), Key(-1, -3), Key(-2, -2), Key(0, -2), Key(-1, -1),
                                          Key(-2, -3), Key(0, -3), Key(-2, -1), Key(0, -1)));
    EXPECT_EQ(std::tuple(app.world.chunks.size(), app.world.chunkMap.size()), std::tuple(9u, 9u));
    EXPECT_FALSE(app.stream.task.valid());
}

TEST_F(Streaming, KeepsOneLoadInFlight) {
    app.streamWorld();
    EXPECT_EQ(tasks.pending(), 1u);
    app.streamWorld();
    app.streamWorld();
    EXPECT_EQ(tasks.pending(), 1u) << "an unfinished load blocks the next request";
    EXPECT_TRUE(app.world.chunks.empty());

    step();
    EXPECT_TRUE(loaded(0, 0));
    EXPECT_EQ(app.world.chunks.size(), 1u) << "one chunk a load";
    EXPECT_EQ(Key(app.stream.requestX, app.stream.requestZ), Key(0, -1));
    EXPECT_EQ(tasks.pending(), 3u) << "one load, one lighting and one meshing task";
    EXPECT_TRUE(app.lighting.task.valid()) << "an arrived chunk is lit in the background";
    EXPECT_TRUE(app.meshing.task.valid()) << "and meshed";
}

TEST_F(Streaming, ALoadWhoseChunkWasLoadedMeanwhileIsDropped) {
    app.streamWorld();                    // asks for (0, 0)
    app.world.chunks.emplace_back(0, 0);  // loaded meanwhile, say by an edit
    app.world.chunks.back().cells[0] = 3;
    app.reindexChunks();
    step();
    EXPECT_EQ(app.world.chunks.size(), 1u) << "no second (0, 0)";
    EXPECT_EQ(app.findChunk(0, 0)->cells[0], 3);
    EXPECT_EQ(Key(app.stream.requestX, app.stream.requestZ), Key(0, -1));
}

// Streamed far from the window the environment filled: the unload pass empties the window, and each
// step takes in at most the one chunk it asked for before, nearest first.
TEST_F(Streaming, EachStepTakesInAtMostOneChunkFarFromTheGeneratedWindow) {
    app.chunkRadius = 2;
    app.generateEnvironment();
    ASSERT_EQ(app.world.chunks.size(), 25u);
    standIn(40, -40);
    const auto distance = [](const Key& key) {
        return (key.first - 40) * (key.first - 40) + (key.second + 40) * (key.second + 40);
    };
    std::vector<Key> arrived;
    for (int i = 0; i < 40 && arrived.size() < 25u; ++i) {
        std::set<Key> before;
        for (const voxel::Chunk& chunk : app.world.chunks) before.insert({chunk.cx, chunk.cz});
        step();
        std::vector<Key> taken;
        for (const voxel::Chunk& chunk : app.world.chunks)
            if (!before.contains({chunk.cx, chunk.cz})) taken.emplace_back(chunk.cx, chunk.cz);
        ASSERT_LE(taken.size(), 1u) << "step " << i;
        if (!taken.empty() && !arrived.empty()) {
            EXPECT_LE(distance(arrived.back()), distance(taken[0])) << "nearest first, step " << i;
        }
        arrived.insert(arrived.end(), taken.begin(), taken.end());
    }
    EXPECT_EQ(app.world.chunks.size(), 25u);
    ASSERT_EQ(arrived.size(), 25u) << "every chunk of the new window, one a step";
    EXPECT_EQ(arrived[0], Key(40, -40));
    EXPECT_EQ(arrived[1], Key(40, -41)) << "the nearest next, smaller z first";
    for (const Key& key : arrived) EXPECT_FALSE(core::outsideWindow(key, {40, -40}, 2)) << key.first;
}

TEST_F(Streaming, ALoadThatArrivesOutsideTheWindowIsDropped) {
    app.streamWorld();  // asks for (0, 0)
    standIn(5, 0);
    step();
    EXPECT_FALSE(loaded(0, 0));
    EXPECT_TRUE(app.world.chunks.empty());
    EXPECT_EQ(Key(app.stream.requestX, app.stream.requestZ), Key(5, 0));
}

TEST_F(Streaming, FarChunksAreWrittenWhenModifiedAndDropped) {
    fillWindow();
    ASSERT_TRUE(app.setBlock(-16 + 4, 100, 5, 3));  // chunk (-1, 0)
    app.lighting.lamps[{-1, 1}] = {LampRecord{-8.5f, 90.5f, 24.5f, 1.0f}};
    app.lighting.emitters[{-1, 1}] = {BlockCellRecord{-9, 90, 24, 3}};
    app.lighting.functionalBlocks[{-1, -1}] = {BlockCellRecord{-9, 90, -8, 3}};
    const uint64_t revision = app.lighting.revision;
    const std::vector<uint8_t> edited = app.findChunk(-1, 0)->cells;

    standIn(1, 0);
    step();
    filesave::backgroundWriter().drain();
    for (int32_t cz = -1; cz <= 1; ++cz) {
        EXPECT_FALSE(loaded(-1, cz));
        EXPECT_FALSE(app.world.meshes.contains(voxel::packChunkKey(-1, cz)));
        EXPECT_FALSE(app.world.relight.contains({-1, cz}));
        EXPECT_FALSE(app.world.remesh.contains({-1, cz}));
    }
    EXPECT_TRUE(std::filesystem::exists(filesave::chunkFilePath(dir.path(), -1, 0)));
    EXPECT_FALSE(std::filesystem::exists(filesave::chunkFilePath(dir.path(), -1, 1))) << "never modified";
    EXPECT_FALSE(app.world.modified.contains({-1, 0}));
    EXPECT_FALSE(app.lighting.lamps.contains({-1, 1}) || app.lighting.emitters.contains({-1, 1}) ||
                 app.lighting.functionalBlocks.contains({-1, -1}));
    EXPECT_GT(app.lighting.revision, revision);
    EXPECT_EQ(std::tuple(app.world.chunks.size(), app.world.chunkMap.size()), std::tuple(6u, 6u));
    EXPECT_TRUE(loaded(0, 0) && loaded(1, 1));

    standIn(0, 0);
    fillWindow();
    ASSERT_TRUE(loaded(-1, 0));
    EXPECT_EQ(app.findChunk(-1, 0)->cells, edited) << "the modified chunk reloads identical";
    EXPECT_EQ(app.blockAt(-12, 100, 5), 3);
}

// A chunk saved, dropped and asked for again before the writer landed its save comes back from the
// bytes the writer holds: from the disk it would come back stale, or generated over the edit.
TEST_F(Streaming, AChunkReloadedBeforeItsSaveLandedKeepsItsEdit) {
    const struct {
        void (*save)(App&);
        bool streamed;  // else read back by an edit reaching into it
    } cases[] = {
        {[](App& app) { app.saveActionFiles({.blocks = true}); }, true},
        {[](App& app) { app.autosave(); }, true},
        {[](App&) {}, true},  // saved as it leaves the window
        {[](App& app) { app.saveActionFiles({.blocks = true}); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        std::filesystem::remove_all(dir.path() / "Chunks");
        fillWindow();
        testsupport::HeldWriter held;
        ASSERT_TRUE(app.setBlock(-12, 100, 5, 3));  // chunk (-1, 0)
        c.save(app);
        standIn(1, 0), step(), standIn(0, 0);
        ASSERT_FALSE(loaded(-1, 0));
        c.streamed ? (void)fillWindow() : app.ensureChunkAt(-12, 5);
        EXPECT_EQ(app.blockAt(-12, 100, 5), 3);
        EXPECT_FALSE(std::filesystem::exists(filesave::chunkFilePath(dir.path(), -1, 0))) << "landed already";
    }
}

// The new edge lit and showed its faces with the chunks beyond it: every edge chunk is relit, and it
// and its loaded side neighbours are meshed again; only the chunks inside that ring keep their marks.
TEST_F(Streaming, MovingOneChunkRelightsTheNewEdgeAndRemeshesItAndItsLoadedNeighbours) {
    app.chunkRadius = 2;
    fillWindow();
    // Passes that never finish: the step neither applies light nor launches meshes, so the marks
    // stay to be seen.
    std::promise<std::vector<voxel::Chunk>> light;
    std::promise<render::MeshWork> mesh;
    app.lighting.task = light.get_future();
    app.meshing.task = mesh.get_future();
    app.world.remesh.clear();
    app.world.relight.clear();

    standIn(1, 0);  // the window is now x -1..3, z -2..2; column x = 3 is not loaded yet
    app.streamWorld();
    const std::set<Key> edge{{-1, -2}, {-1, -1}, {-1, 0}, {-1, 1}, {-1, 2}, {0, -2}, {1, -2},
                             {2, -2},  {0, 2},   {1, 2},  {2, 2}};
    EXPECT_EQ(app.world.relight, edge);
    std::set<Key> remeshed;
    for (int32_t cz = -2; cz <= 2; ++cz) {
        for (int32_t cx = -1; cx <= 2; ++cx) remeshed.insert({cx, cz});
    }
    remeshed.erase({1, 0});  // neither on the edge nor beside it
    remeshed.erase({2, 0});
    EXPECT_EQ(app.world.remesh, remeshed);

    app.world.remesh.clear();
    app.world.relight.clear();
    standIn(1, 0);
    app.streamWorld();
    EXPECT_TRUE(app.world.remesh.empty() && app.world.relight.empty()) << "no move, no pass";
    light.set_value({});
    mesh.set_value({});
}

TEST_F(Streaming, ChangingTheRadiusWithoutMovingRunsTheUnloadPass) {
    app.chunkRadius = 2;
    fillWindow();
    EXPECT_EQ(app.world.chunks.size(), 25u);
    app.chunkRadius = 1;
    step();
    EXPECT_EQ(app.world.chunks.size(), 9u);
    EXPECT_EQ(app.lastUnloadRadius, 1);
}

TEST_F(Streaming, ADamagedOrForeignChunkFileRaisesOnTheMainThreadAndStays) {
    filesave::writeChunk(dir.path(), 999, 4, voxel::Chunk(0, 0));
    const std::filesystem::path foreign = filesave::chunkFilePath(dir.path(), 0, 0);
    const std::string bytes = testsupport::readFile(foreign);
    app.streamWorld();
    tasks.runAll();
    EXPECT_THAT([&] { app.streamWorld(); },
                ThrowsMessage<std::runtime_error>("Chunk file of another world (seed 999, expected 12345): " +
                                                  foreign.string()));
    EXPECT_TRUE(app.world.chunks.empty());
    EXPECT_TRUE(app.saves.readFailed) << "no writer may touch the world's files now";
    EXPECT_EQ(testsupport::readFile(foreign), bytes);

    std::string damaged = filesave::encodeChunk(12345, 4, voxel::Chunk(0, -1));
    damaged[40] ^= 0x20;
    const std::filesystem::path file = filesave::chunkFilePath(dir.path(), 0, -1);
    testsupport::writeFile(file, damaged);
    std::filesystem::remove(foreign);
    EXPECT_EQ(testsupport::failureOf([&] { for (int i = 0; i < 5; ++i) step(); }),
              "Damaged chunk file (checksum mismatch): " + file.string());
    EXPECT_FALSE(loaded(0, -1));
    EXPECT_EQ(testsupport::readFile(file), damaged);
}

TEST(StreamingThreads, TheGamesLauncherLoadsOnAnotherThread) {
    testsupport::TempDir dir;
    App app;
    app.tasks.clock = [] { return 0.0; };
    app.files.world = dir.path();
    app.files.worldOpen = true;
    app.chunkRadius = 0;
    app.streamWorld();
    ASSERT_TRUE(app.stream.task.valid());
    app.stream.task.wait();
    app.streamWorld();
    EXPECT_NE(app.findChunk(0, 1), nullptr);
    EXPECT_GE(app.stream.lastBuildMilliseconds, 0.0);
    app.shutdown();
    EXPECT_FALSE(app.meshing.task.valid());
}

TEST_F(Streaming, EnvironmentIsTheWindowAroundTheOriginInRowOrder) {
    voxel::Chunk saved(-1, -1);
    saved.cells[voxel::cellIndex(1, 2, 3)] = 3;
    filesave::writeChunk(dir.path(), 12345, 2, saved);
    app.environmentProgressStart = 45;
    app.environmentProgressEnd = 65;
    app.generationStage = 2;
    standIn(4, 4);
    app.generateEnvironment();

    std::vector<Key> order;
    for (const voxel::Chunk& chunk : app.world.chunks) order.emplace_back(chunk.cx, chunk.cz);
    EXPECT_THAT(order, ElementsAre(Key(-1, -1), Key(0, -1), Key(1, -1), Key(-1, 0), Key(0, 0), Key(1, 0),
                                   Key(-1, 1), Key(0, 1), Key(1, 1)));
    EXPECT_EQ(std::tuple(app.world.relight.size(), app.world.remesh.size(), app.world.chunkMap.size()),
              std::tuple(9u, 9u, 9u));
    EXPECT_EQ(app.generationStage, 2) << "the world's own generation value is kept";
    EXPECT_EQ(app.world.profile, app.stream.defaultProfile);
    EXPECT_EQ(app.ui.loading.progress, 65);
    EXPECT_EQ(app.ui.loading.stage, "Генерация окружения");
    EXPECT_EQ(app.findChunk(-1, -1)->cells, saved.cells) << "a saved chunk is read, not generated again";
}

TEST_F(Streaming, EnvironmentTakesTheProfileOfTheCurrentDimension) {
    const auto ash = std::make_shared<const voxel::GenerationProfile>();
    app.rules.dimensions["core:ash"].profile = ash;
    app.chunkRadius = 0;
    app.dimension = "core:ash";
    app.generateEnvironment();
    EXPECT_EQ(app.world.profile, ash);
    app.dimension = "core:frost";
    app.generateEnvironment();
    EXPECT_EQ(app.world.profile, app.stream.defaultProfile);
    EXPECT_EQ(app.world.chunks.size(), 1u);
}

TEST_F(Streaming, ACancelledLoadingWindowStopsEnvironmentGeneration) {
    requestLoadingCancel(app.ui.loading);
    EXPECT_THAT([&] { app.generateEnvironment(); }, ThrowsMessage<std::runtime_error>("Загрузка отменена"));
    EXPECT_EQ(app.world.chunks.size(), 1u);
}

}  // namespace
