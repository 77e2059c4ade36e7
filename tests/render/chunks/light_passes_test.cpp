#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "app/app.h"
#include "support/fresh_registry.h"
#include "world/block_registry.h"

namespace {

constexpr uint8_t stone = 3;

// An App whose clock the test sets and whose lighting tasks wait until the test runs them.
class LightingScheduling : public testsupport::FreshRegistryTest {
protected:
    static constexpr uint8_t furnace = 13;
    static constexpr uint8_t lamp = 14;
    static constexpr uint8_t door = 15;
    static constexpr uint8_t smoker = 16;
    static constexpr uint8_t chest = 17;

    void SetUp() override {
        FreshRegistryTest::SetUp();
        install(furnace, [](voxel::BlockDef& d) {
            d.behavior = "furnace";
            d.opaque = true;
        });
        install(lamp, [](voxel::BlockDef& d) { d.light = 7.5f; });
        install(door, [](voxel::BlockDef& d) { d.behavior = "door"; });
        install(smoker, [](voxel::BlockDef& d) { d.particle_effect = 1; });
        install(chest, [](voxel::BlockDef& d) { d.movingParts = true; });
        app.tasks.clock = [this] { return now; };
        app.tasks.launcher = [this](BackgroundTasks::Job job) { held.push_back(std::move(job)); };
    }
    template <typename Edit>
    static void install(uint8_t id, Edit edit) {
        voxel::BlockDef def;
        def.id = "test:b" + std::to_string(id);
        def.solid = true;
        edit(def);
        voxel::registerBlock(id, def);
    }

    void load(int32_t cx, int32_t cz) {
        app.world.chunks.emplace_back(cx, cz);
        app.reindexChunks();
    }
    void unload(int32_t cx, int32_t cz) {
        std::erase_if(app.world.chunks, [&](const voxel::Chunk& c) { return c.cx == cx && c.cz == cz; });
        app.reindexChunks();
    }
    void runHeld() {
        for (auto& job : held) job();
        held.clear();
    }
    voxel::Chunk& chunk(int32_t cx, int32_t cz) { return *app.findChunk(cx, cz); }
    // The block light of the cells (x, 64, 4) for each x.
    std::vector<int> blockLightAlongX(std::initializer_list<int32_t> xs) {
        std::vector<int> levels;
        for (int32_t x : xs) {
            const voxel::Chunk& c = chunk(voxel::floorDiv(x, 16), 0);
            levels.push_back(c.light.at(voxel::cellIndex(x - 16 * c.cx, 64, 4)) >> 4);
        }
        return levels;
    }
    int skyLight(const voxel::Chunk& c, int x, int y, int z) { return c.light.at(voxel::cellIndex(x, y, z)) & 15; }

    App app;
    double now = 10.0;
    std::vector<BackgroundTasks::Job> held;
};

}  // namespace

TEST_F(LightingScheduling, SyncPassLightsEveryChunkAndQueuesItsRemeshes) {
    for (int32_t cx = 0; cx < 3; ++cx) load(cx, 0);
    load(7, 7);
    app.world.relight = {{1, 0}};
    app.refreshLights(true);
    EXPECT_TRUE(held.empty());
    EXPECT_FALSE(app.lighting.task.valid());
    EXPECT_TRUE(app.world.relight.empty());
    for (const voxel::Chunk& c : app.world.chunks) EXPECT_EQ(c.light.size(), voxel::chunkCellCount);
    EXPECT_EQ(app.world.remesh, (std::set<ChunkKey>{{0, 0}, {1, 0}, {2, 0}, {7, 7}}));
    EXPECT_EQ(app.lighting.revision, 5u);  // four light lists and one index rebuild
    EXPECT_EQ(app.lighting.lastLaunch, 10.0);

    app.world.remesh.clear();
    app.world.relight = {{0, 0}};
    app.refreshLights(true);
    EXPECT_TRUE(app.world.remesh.empty());  // same bytes: nothing to remesh
}

TEST_F(LightingScheduling, LaunchesAreSpacedAndOnlyOnePassIsInFlight) {
    for (int32_t cx : {0, 1}) load(cx, 0);
    app.world.relight = {{0, 0}};
    app.refreshLights(false);
    ASSERT_EQ(held.size(), 1u);
    EXPECT_TRUE(app.world.relight.empty());
    // An edit made while the pass runs stays; its chunk waits for the next pass.
    chunk(0, 0).cells[voxel::cellIndex(4, 100, 4)] = stone;

    now = 10.05;
    app.world.relight.insert({1, 0});
    app.refreshLights(false);
    EXPECT_EQ(held.size(), 1u);
    EXPECT_TRUE(chunk(0, 0).light.empty());  // not ready yet: nothing applied
    EXPECT_TRUE(app.lighting.lamps.contains({1, 0})) << "indexed while it waits for its pass";

    runHeld();
    now = 10.1;
    app.refreshLights(false);
    ASSERT_EQ(chunk(0, 0).light.size(), voxel::chunkCellCount);
    EXPECT_EQ(chunk(0, 0).cells[voxel::cellIndex(4, 100, 4)], stone);
    EXPECT_EQ(skyLight(chunk(0, 0), 4, 99, 4), 15);  // lit from the cells of the launch
    EXPECT_EQ(app.world.remesh, (std::set<ChunkKey>{{0, 0}, {1, 0}}));
    EXPECT_TRUE(held.empty());  // 0.1 s after the launch
    EXPECT_EQ(app.world.relight, (std::set<ChunkKey>{{1, 0}}));

    now = 10.16;
    app.refreshLights(false);
    EXPECT_EQ(held.size(), 1u);
    EXPECT_TRUE(app.world.relight.empty());
    EXPECT_EQ(app.lighting.lastLaunch, 10.16);
}

// A door, trapdoor or chest broken while a pass is in flight, or within the spacing after one, is
// out of the functional index at the very next refresh, so the next frame no longer draws it.
TEST_F(LightingScheduling, ARemovedFunctionalBlockLeavesTheIndexAtTheNextRefresh) {
    const struct {
        const char* what;
        uint8_t id;
        bool passInFlight;
    } rows[] = {{"door, pass in flight", door, true}, {"chest, pass in flight", chest, true},
                {"door, within the spacing", door, false}, {"chest, within the spacing", chest, false}};
    for (const auto& row : rows) {
        App fresh;
        fresh.tasks.clock = [this] { return now; };
        fresh.tasks.launcher = [this](BackgroundTasks::Job job) { held.push_back(std::move(job)); };
        fresh.world.chunks.emplace_back(0, 0);
        fresh.reindexChunks();
        fresh.world.chunks[0].cells[voxel::cellIndex(5, 70, 6)] = row.id;
        fresh.world.relight = {{0, 0}};
        fresh.refreshLights(true);
        ASSERT_EQ(fresh.lighting.functionalBlocks.at({0, 0}).size(), 1u) << row.what;

        now += 1.0;
        fresh.world.relight = {{0, 0}};
        fresh.refreshLights(false);  // launches a pass that the test holds
        ASSERT_EQ(held.size(), 1u) << row.what;
        if (!row.passInFlight) {
            runHeld();
            now += 0.05;
            fresh.refreshLights(false);  // collects it
        }
        const uint64_t revision = fresh.lighting.revision;
        ASSERT_TRUE(fresh.setBlock(5, 70, 6, voxel::airId)) << row.what;
        now += 0.05;
        fresh.refreshLights(false);
        EXPECT_TRUE(fresh.lighting.functionalBlocks.at({0, 0}).empty()) << row.what;
        EXPECT_GT(fresh.lighting.revision, revision) << row.what << ": the functional meshes rebuild";
        EXPECT_FALSE(fresh.world.relight.empty()) << row.what << ": the light still waits for its pass";
        runHeld();
        fresh.discardLighting();
    }
}

TEST_F(LightingScheduling, ResultForAnUnloadedChunkIsDropped) {
    for (int32_t cx : {0, 1}) load(cx, 0);
    app.world.relight = {{0, 0}, {1, 0}};
    app.refreshLights(false);
    unload(1, 0);
    runHeld();
    app.refreshLights(false);
    EXPECT_EQ(chunk(0, 0).light.size(), voxel::chunkCellCount);
    EXPECT_EQ(app.world.remesh, (std::set<ChunkKey>{{0, 0}}));
}

TEST_F(LightingScheduling, ANewLightListRemeshesOnlyTheNeighboursThatReadTheChangedLayer) {
    for (const auto& [cx, cz] : std::vector<ChunkKey>{{-1, 0}, {0, 0}, {1, 0}, {0, -1}, {0, 1}}) load(cx, cz);
    for (voxel::Chunk& c : app.world.chunks) c.light.assign(voxel::chunkCellCount, 15);
    const struct {
        uint32_t x, z;
        std::set<ChunkKey> remesh;
    } cases[] = {
        {7, 7, {{0, 0}}},
        {1, 14, {{0, 0}}},
        {15, 7, {{0, 0}, {1, 0}}},
        {0, 7, {{-1, 0}, {0, 0}}},
        {7, 15, {{0, 0}, {0, 1}}},
        {7, 0, {{0, -1}, {0, 0}}},
        {0, 0, {{-1, 0}, {0, -1}, {0, 0}}},
    };
    for (const auto& c : cases) {
        app.world.remesh.clear();
        voxel::Chunk relit(0, 0);
        relit.light = chunk(0, 0).light;
        relit.light[voxel::cellIndex(c.x, 64, c.z)] ^= 0x10;
        app.applyRelitChunks({relit});
        EXPECT_EQ(app.world.remesh, c.remesh) << c.x << ", " << c.z;
    }
    app.world.remesh.clear();
    app.applyRelitChunks({chunk(0, 0)});
    EXPECT_TRUE(app.world.remesh.empty()) << "the same bytes";
}

TEST_F(LightingScheduling, PassCopiesTheWindowAndHandsBackTheRing) {
    for (int32_t cx = -3; cx <= 3; ++cx) load(cx, 0);
    for (voxel::Chunk& c : app.world.chunks) c.light.assign(voxel::chunkCellCount, 15);
    load(10, 10);
    app.world.relight = {{0, 0}};
    app.findChunk(0, 0)->waterLevels.assign(voxel::chunkCellCount, 3);
    app.findChunk(0, 0)->ensureStates();

    std::set<ChunkKey> copied;
    const std::vector<voxel::Chunk> copies = app.lightingCopies(false);
    for (const voxel::Chunk& c : copies) copied.insert({c.cx, c.cz});
    EXPECT_EQ(copied, (std::set<ChunkKey>{{-2, 0}, {-1, 0}, {0, 0}, {1, 0}, {2, 0}, {10, 10}}));
    const voxel::Chunk& live = *app.findChunk(0, 0);
    const auto copy = std::find_if(copies.begin(), copies.end(), [](const voxel::Chunk& c) { return c.cx == 0; });
    EXPECT_EQ(copy->cells, live.cells);
    EXPECT_EQ(copy->light, live.light);
    EXPECT_TRUE(copy->waterLevels.empty() && copy->states.empty()) << "what the pass does not read stays behind";
    const std::set<ChunkKey> targets = app.lightingTargets(copies);
    EXPECT_EQ(targets, (std::set<ChunkKey>{{-1, 0}, {0, 0}, {1, 0}, {10, 10}}));

    const std::vector<voxel::Chunk> back =
        App::refreshLightsTask(copies, {}, targets, std::make_shared<voxel::LightScratch>());
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back[0].cx, -1);
    EXPECT_EQ(back[3].cx, 10);
    EXPECT_EQ(back[3].light.size(), voxel::chunkCellCount);

    app.world.relight.clear();
    EXPECT_EQ(app.lightingCopies(false).size(), 1u);  // only the unlit chunk
    app.findChunk(10, 10)->light.assign(voxel::chunkCellCount, 15);
    EXPECT_EQ(app.lightingCopies(false).size(), 8u);  // nothing asked for: everything
}

TEST_F(LightingScheduling, SyncCallWaitsForThePendingPassThenLightsEverything) {
    app.tasks.launcher = nullptr;  // a real thread
    for (int32_t cx : {0, 1}) load(cx, 0);
    app.world.relight = {{0, 0}};
    app.refreshLights(false);
    ASSERT_TRUE(app.lighting.task.valid());
    chunk(0, 0).cells[voxel::cellIndex(8, 100, 8)] = stone;
    app.world.relight.insert({0, 0});
    app.refreshLights(true);
    EXPECT_FALSE(app.lighting.task.valid());
    EXPECT_EQ(skyLight(chunk(0, 0), 8, 99, 8), 14);
    EXPECT_EQ(chunk(1, 0).light.size(), voxel::chunkCellCount);
}

TEST_F(LightingScheduling, FurnaceThatStartsOrStopsBurningRelightsItsChunk) {
    for (int32_t cx : {0, 1}) load(cx, 0);
    chunk(0, 0).cells[voxel::cellIndex(4, 64, 4)] = furnace;
    app.world.relight = {{0, 0}, {1, 0}};
    app.refreshLights(true);
    EXPECT_EQ(blockLightAlongX({4}), std::vector<int>{0});

    app.machines[app.dimension][{4, 64, 4}].burnRemaining = 100;
    app.machines[app.dimension][{200, 64, 4}].burnRemaining = 100;  // in no loaded chunk
    app.machines[app.dimension][{20, 64, 4}].burnRemaining = 100;   // its cell holds no furnace
    now = 11.0;
    app.world.remesh.clear();
    app.refreshLights(false);
    EXPECT_EQ(app.lighting.previousSources, (std::vector<voxel::LightSource>{{4, 64, 4, 10}}));
    ASSERT_EQ(held.size(), 1u);
    runHeld();
    now = 11.1;
    app.refreshLights(false);
    // x = 17 is 13 steps away.
    EXPECT_EQ(blockLightAlongX({4, 5, 17, 16, 15, 13}), (std::vector<int>{10, 9, 0, 0, 0, 1}));
    // The light ends before x = 15, the layer the mesh of (1, 0) reads.
    EXPECT_EQ(app.world.remesh, (std::set<ChunkKey>{{0, 0}}));

    now = 12.0;
    app.refreshLights(false);
    EXPECT_TRUE(held.empty());  // nothing changed

    app.machines[app.dimension][{4, 64, 4}].burnRemaining = 0;
    app.refreshLights(false);
    ASSERT_EQ(held.size(), 1u);
    runHeld();
    now = 12.2;
    app.refreshLights(false);
    EXPECT_EQ(blockLightAlongX({4, 5}), (std::vector<int>{0, 0}));
}

TEST_F(LightingScheduling, IndexesListLampsFunctionalBlocksAndAtMost64Emitters) {
    load(1, -1);
    voxel::Chunk& c = chunk(1, -1);
    c.cells[voxel::cellIndex(3, 10, 5)] = lamp;
    c.cells[voxel::cellIndex(0, 0, 0)] = door;
    c.cells[voxel::cellIndex(2, 2, 2)] = chest;
    for (uint32_t i = 0; i < 70; ++i) c.cells[voxel::cellIndex(i % 16, 20 + i / 16, 7)] = smoker;
    app.world.relight = {{1, -1}};
    app.refreshLights(true);

    const std::vector<LampRecord>& lamps = app.lighting.lamps.at({1, -1});
    ASSERT_EQ(lamps.size(), 1u);
    EXPECT_THAT((std::array{lamps[0].x, lamps[0].y, lamps[0].z, lamps[0].intensity}),
                testing::ElementsAre(testing::FloatEq(19.5f), testing::FloatEq(10.5f), testing::FloatEq(-10.5f),
                                     testing::FloatEq(0.5f)));
    ASSERT_EQ(app.lighting.lampList.size(), 1u);

    const std::vector<BlockCellRecord>& functional = app.lighting.functionalBlocks.at({1, -1});
    ASSERT_EQ(functional.size(), 2u);
    EXPECT_EQ((std::array{functional[0].x, functional[0].z, functional[1].y}), (std::array{16, -16, 2}));
    EXPECT_EQ((std::array{functional[0].id, functional[1].id}), (std::array{door, chest}));

    const std::vector<BlockCellRecord>& emitters = app.lighting.emitters.at({1, -1});
    ASSERT_EQ(emitters.size(), 64u);
    EXPECT_EQ((std::array{emitters.front().x, emitters.front().y}), (std::array{16, 20}));
    EXPECT_EQ((std::array{emitters.back().x, emitters.back().y, emitters.back().z}), (std::array{16 + 15, 23, -9}));

    // The chunk leaves the window: nothing of it stays drawn or lit.
    const uint64_t revision = app.lighting.revision;
    app.forgetChunkLighting({1, -1});
    EXPECT_FALSE(app.lighting.lamps.contains({1, -1}));
    EXPECT_FALSE(app.lighting.functionalBlocks.contains({1, -1}));
    EXPECT_FALSE(app.lighting.emitters.contains({1, -1}));
    app.refreshLights(false);
    EXPECT_TRUE(app.lighting.lampList.empty());
    EXPECT_GT(app.lighting.revision, revision);
}

TEST_F(LightingScheduling, DiscardWaitsForThePendingPassAndInstallsNothing) {
    app.tasks.launcher = nullptr;
    load(0, 0);
    chunk(0, 0).cells[0] = lamp;
    app.world.relight = {{0, 0}};
    app.refreshLights(false);
    ASSERT_TRUE(app.lighting.task.valid());
    const uint64_t revision = app.lighting.revision;
    app.discardLighting();
    EXPECT_FALSE(app.lighting.task.valid());
    EXPECT_EQ(app.lighting.revision, revision + 1);
    EXPECT_TRUE(app.lighting.lamps.empty());
    EXPECT_TRUE(app.lighting.lampList.empty());
    app.refreshLights(false);
    EXPECT_TRUE(chunk(0, 0).light.empty());
}
