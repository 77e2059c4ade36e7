// Which functional blocks the App draws, at which angle, and when it rebuilds their geometry.
#include <gtest/gtest.h>

#include "world/loaded_world.h"

namespace {

constexpr uint8_t kChest = 20;
constexpr uint8_t kFurnace = 21;

class FunctionalBlocksTest : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        voxel::BlockDef chest;
        chest.id = "test:chest";
        chest.behavior = "chest";
        chest.modelVertices = {ModelVertex{}, ModelVertex{}, ModelVertex{}};
        for (ModelVertex& m : chest.modelVertices) m.part = 1;
        chest.movingParts = true;
        voxel::registerBlock(kChest, chest);
        voxel::BlockDef furnace;
        furnace.id = "test:furnace";
        furnace.behavior = "furnace";
        voxel::registerBlock(kFurnace, furnace);
        for (int32_t cx = 0; cx < 4; ++cx) load(cx, 0);
        app.player.x = 0.5f;
        app.player.z = 0.5f;
    }
    // Places the block on the ground and lists it as the lighting pass would.
    void put(int32_t x, int32_t z, uint8_t id, uint8_t state = 0) {
        app.setBlock(x, 64, z, id);
        if (state != 0) app.setBlockState(x, 64, z, state);
        app.lighting.functionalBlocks[{voxel::floorDiv(x, 16), 0}].push_back({x, 64, z, id});
    }
};

TEST_F(FunctionalBlocksTest, DoorWithoutSwingIsDrawnAtItsStoredPosition) {
    put(2, 2, worldtest::door, voxel::stateOpen);
    put(3, 2, worldtest::door, 0);
    put(4, 2, worldtest::door, voxel::stateUpper);  // drawn from its lower half
    const auto blocks = app.visibleFunctionalBlocks();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_FLOAT_EQ(static_cast<float>(blocks[0].angle), 1.5707964f);
    EXPECT_EQ(blocks[1].angle, 0.0);
    app.world.movingDoors[{3, 64, 2}] = 0.7f;
    EXPECT_FLOAT_EQ(static_cast<float>(app.visibleFunctionalBlocks()[1].angle), 0.7f);
}

TEST_F(FunctionalBlocksTest, ChestsBeyond48BlocksAreLeftOutButDoorsAreNot) {
    put(48, 0, kChest);  // 48 blocks from the player's column, horizontally
    put(49, 0, kChest);
    put(49, 1, worldtest::door);
    const auto blocks = app.visibleFunctionalBlocks();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].x, 48);
    EXPECT_EQ(blocks[0].id, kChest);
    EXPECT_EQ(blocks[1].id, worldtest::door);
}

TEST_F(FunctionalBlocksTest, RebuildsOnlyWhileSomethingMoves) {
    put(2, 2, kChest);
    app.buildFunctionalMeshes();
    app.buildFunctionalMeshes();
    EXPECT_EQ(app.functional.rebuilds, 1u) << "nothing changed";
    EXPECT_EQ(app.functional.vertices.size(), 3u);

    app.functional.openChest = CellKey{2, 64, 2};
    uint64_t frames = 0;
    for (; frames < 10; ++frames) {
        app.animateChestLids(0.1f);
        app.buildFunctionalMeshes();
    }
    // A third a frame over the default 0.3 s: resting at 1.0 from the third frame on.
    EXPECT_EQ(app.functional.rebuilds, 4u);
    EXPECT_FLOAT_EQ(app.functional.chestLids.at({2, 64, 2}), 1.0f);

    app.functional.openChest.reset();
    for (int frame = 0; frame < 2; ++frame) app.animateChestLids(0.1f);
    EXPECT_EQ(app.functional.chestLids.size(), 1u) << "still shutting";
    for (int frame = 0; frame < 2; ++frame) app.animateChestLids(0.1f);
    EXPECT_TRUE(app.functional.chestLids.empty()) << "a shut lid leaves the map";
}

TEST_F(FunctionalBlocksTest, BurningFurnaceRebuildsEveryFrameOnlyWithinReach) {
    struct Case {
        int32_t x;
        uint64_t rebuilds;
    };
    for (const Case c : {Case{48, 3}, Case{49, 1}}) {
        app.functional = FunctionalState{};
        app.machines.clear();
        app.setBlock(c.x, 64, 0, kFurnace);
        app.machines[app.dimension][{c.x, 64, 0}].burnRemaining = 100;
        for (const double accumulator : {0.01, 0.02, 0.03}) {
            app.clock.accumulator = accumulator;
            app.buildFunctionalMeshes();
        }
        EXPECT_EQ(app.functional.rebuilds, c.rebuilds) << c.x;
        EXPECT_EQ(app.functional.vertices.size(), c.rebuilds == 1 ? 0u : 324u) << c.x;
    }
}

}  // namespace
