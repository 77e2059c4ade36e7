#include <gtest/gtest.h>

#include <climits>

#include "loaded_world.h"

namespace {

namespace id = worldtest;

constexpr int32_t noClick = INT32_MIN;

class Placement : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        load(0, 0);
    }

    bool place(int32_t x, int32_t y, int32_t z, uint8_t block) {
        return app.placeBlock(x, y, z, block, noClick, 0, 0, 0.5f);
    }

    bool placeClicked(int32_t x, int32_t y, int32_t z, uint8_t block, CellKey click, float hit = 0.5f) {
        const auto [cx, cy, cz] = click;
        return app.placeBlock(x, y, z, block, cx, cy, cz, hit);
    }

    // Puts the player's feet at the bottom centre of a cell.
    void standIn(double x, int32_t y, double z) {
        app.player.x = static_cast<float>(x);
        app.player.y = static_cast<float>(y + 1.62);
        app.player.z = static_cast<float>(z);
    }
};

TEST_F(Placement, RefusesCellsOutsideTheWorldItemsAndOccupiedCells) {
    EXPECT_FALSE(place(1, -1, 1, 2)) << "below the world";
    EXPECT_FALSE(place(1, 128, 1, 2)) << "above the world";
    EXPECT_FALSE(place(1, 70, 1, id::stick)) << "an item";
    EXPECT_FALSE(place(1, 70, 1, 200)) << "an unknown id";
    EXPECT_FALSE(place(1, 63, 1, 2)) << "stone is there";
    EXPECT_FALSE(place(20, 70, 1, 2)) << "not loaded";
    EXPECT_TRUE(app.world.undo.empty());
    app.setBlock(1, 64, 1, id::water);
    EXPECT_TRUE(place(1, 64, 1, 2)) << "water gives way";
    EXPECT_EQ(app.blockAt(1, 64, 1), 2);
    ASSERT_EQ(app.world.undo.size(), 1u);
    EXPECT_EQ(app.world.undo.back().ids[0], id::water);
    EXPECT_EQ(app.world.undo.back().ids[1], 2);
}

TEST_F(Placement, RotatableBlocksTakeTheirFacingFromTheYaw) {
    const float yaws[] = {1.5708f, 3.1416f, 0.0f};
    const uint8_t facings[] = {0, 1, 3};
    for (int i = 0; i < 3; ++i) {
        app.player.yaw = yaws[i];
        ASSERT_TRUE(place(i, 64, 8, id::lantern));
        EXPECT_EQ(app.findBlockEntity(i, 64, 8), facings[i]);
    }
    app.player.yaw = 3.1416f;
    ASSERT_TRUE(place(5, 64, 8, 2));
    EXPECT_EQ(app.world.blockStates.count({5, 64, 8}), 0u) << "plain blocks keep no facing";
}

TEST_F(Placement, DoorsNeedGroundAndRoomForTheUpperHalf) {
    app.player.yaw = 3.1416f;
    EXPECT_FALSE(place(2, 127, 2, id::door));
    app.setBlock(2, 127, 2, id::stone);
    EXPECT_FALSE(place(2, 126, 2, id::door)) << "stone above";
    app.setBlock(2, 127, 2, id::water);
    app.setBlock(2, 125, 2, id::stone);
    EXPECT_TRUE(place(2, 126, 2, id::door)) << "water above gives way";
    EXPECT_FALSE(place(4, 70, 4, id::door)) << "nothing below";
    app.setBlock(6, 0, 6, 0);
    EXPECT_FALSE(place(6, 0, 6, id::door)) << "the bottom layer";

    ASSERT_TRUE(place(4, 64, 4, id::door));
    EXPECT_EQ(app.findBlockEntity(4, 64, 4), 1);
    EXPECT_EQ(app.blockAt(4, 65, 4), id::door);
    EXPECT_EQ(app.findBlockEntity(4, 65, 4), 1 | voxel::stateUpper);
    EXPECT_EQ(app.twoPartAnchor(4, 65, 4), (CellKey{4, 64, 4}));
    EXPECT_EQ(app.twoPartAnchor(4, 64, 4), (CellKey{4, 64, 4}));
}

TEST_F(Placement, TrapdoorsTakeTheirPositionFromTheClickedCell) {
    app.player.yaw = 1.5708f;  // facing 0
    app.setBlock(2, 67, 2, id::stone);
    ASSERT_TRUE(placeClicked(2, 66, 2, id::trapdoor, {2, 67, 2}));
    EXPECT_EQ(app.findBlockEntity(2, 66, 2), voxel::stateUpper) << "under a block: the top position";

    app.setBlock(4, 67, 2, id::flower);
    EXPECT_FALSE(placeClicked(4, 66, 2, id::trapdoor, {4, 67, 2})) << "hung from nothing solid";

    ASSERT_TRUE(placeClicked(6, 64, 2, id::trapdoor, {6, 63, 2}));
    EXPECT_EQ(app.findBlockEntity(6, 64, 2), 0) << "on top of a block";

    app.setBlock(9, 70, 2, id::stone);
    ASSERT_TRUE(placeClicked(8, 70, 2, id::trapdoor, {9, 70, 2}, 0.3f));
    EXPECT_EQ(app.findBlockEntity(8, 70, 2), voxel::stateWall | 1) << "on a wall, lower half";
    ASSERT_TRUE(placeClicked(10, 70, 2, id::trapdoor, {9, 70, 2}, 0.7f));
    EXPECT_EQ(app.findBlockEntity(10, 70, 2), voxel::stateWall | voxel::stateUpper | 3) << "upper half: 24 + facing";
    app.setBlock(9, 72, 2, id::leaves);
    EXPECT_FALSE(placeClicked(8, 72, 2, id::trapdoor, {9, 72, 2})) << "leaves are no wall";

    app.setBlock(2, 81, 6, id::stone);
    ASSERT_TRUE(place(2, 80, 6, id::trapdoor));
    EXPECT_EQ(app.findBlockEntity(2, 80, 6), voxel::stateUpper) << "unclicked, held from above";
    EXPECT_FALSE(place(4, 80, 6, id::trapdoor)) << "unclicked in the air: nothing below";
}

TEST_F(Placement, LaddersNeedAnOpaqueLoadedWall) {
    EXPECT_FALSE(place(5, 70, 5, id::ladder));
    app.setBlock(5, 70, 4, id::leaves);
    EXPECT_FALSE(place(5, 70, 5, id::ladder)) << "leaves are not opaque";
    app.setBlock(4, 70, 5, id::stone);  // the wall of facing 3
    EXPECT_FALSE(placeClicked(5, 70, 5, id::ladder, {5, 71, 5})) << "the clicked cell is no wall";
    ASSERT_TRUE(place(5, 70, 5, id::ladder));
    EXPECT_EQ(app.findBlockEntity(5, 70, 5), 3);
    EXPECT_FALSE(place(15, 70, 5, id::ladder)) << "the only side left is in an unloaded chunk";
}

TEST_F(Placement, BedsNeedTheirSecondCell) {
    app.player.yaw = 1.5708f;  // facing 0: the second half lies at z + 1
    app.setBlock(4, 64, 5, id::stone);
    EXPECT_FALSE(place(4, 64, 4, id::bed)) << "second cell taken";
    EXPECT_FALSE(place(4, 70, 8, id::bed)) << "no ground";
    EXPECT_FALSE(place(8, 64, 15, id::bed)) << "second cell not loaded";
    ASSERT_TRUE(place(8, 64, 8, id::bed));
    EXPECT_EQ(app.blockAt(8, 64, 9), id::bed);
    EXPECT_EQ(app.findBlockEntity(8, 64, 9), voxel::stateUpper);
    EXPECT_EQ(app.twoPartAnchor(8, 64, 9), (CellKey{8, 64, 8}));
}

TEST_F(Placement, BlocksMayNotEncloseThePlayer) {
    standIn(2.8, 64, 2.5);
    EXPECT_FALSE(place(2, 64, 2, 2));
    EXPECT_FALSE(place(2, 65, 2, 2)) << "the head cell";
    EXPECT_FALSE(place(3, 64, 2, 2)) << "the box reaches 0.29 around";
    EXPECT_TRUE(place(2, 66, 2, 2)) << "above the head";
    EXPECT_TRUE(place(2, 64, 2, id::flower)) << "nothing solid";
    EXPECT_TRUE(place(4, 64, 2, 2));

    // A door's panel is thin: the player may stand in the rest of its cell.
    app.player.yaw = -1.5708f;  // facing 2: the panel lies on the far z side
    standIn(6.5, 64, 6.3);
    EXPECT_TRUE(place(6, 64, 6, id::door));
    standIn(8.5, 64, 8.9);
    EXPECT_FALSE(place(8, 64, 8, id::door));
}

TEST_F(Placement, TheUndoHistoryKeepsTheLast128Edits) {
    for (int i = 0; i < 130; ++i) app.editBlock(i % 16, 70, i / 16, 2, 0);
    ASSERT_EQ(app.world.undo.size(), 128u);
    EXPECT_EQ(app.world.undo.front().x, 2);
}

class DoorSwing : public Placement {
   protected:
    void SetUp() override {
        Placement::SetUp();
        app.player.yaw = -1.5708f;  // facing 2
        ASSERT_TRUE(place(2, 64, 2, id::door));
    }
};

TEST_F(DoorSwing, ClosingDoorsSwingShutInSteps) {
    app.world.movingDoors[{2, 64, 2}] = 1.5707964f;
    EXPECT_FLOAT_EQ(app.doorAngle({2, 64, 2}), 1.5707964f);
    app.animateDoors(5.0);  // a long frame counts as 0.1 s
    EXPECT_NEAR(app.world.movingDoors.at({2, 64, 2}), voxel::halfPi * 2 / 3, 1e-6);
    app.animateDoors(0.1);
    app.animateDoors(0.1);
    EXPECT_TRUE(app.world.movingDoors.empty()) << "shut";
    EXPECT_EQ(app.doorAngle({2, 64, 2}), 0.0f);
    app.setBlockState(2, 64, 2, 2 | voxel::stateOpen);
    EXPECT_EQ(app.doorAngle({2, 64, 2}), 1.5707964f);
}

TEST_F(DoorSwing, EntriesOfUpperHalvesAndOtherBlocksAreDropped) {
    app.world.movingDoors[{2, 65, 2}] = 1.0f;
    app.world.movingDoors[{7, 70, 7}] = 1.0f;
    app.animateDoors(0.0);
    EXPECT_TRUE(app.world.movingDoors.empty());
}

TEST_F(DoorSwing, ADoorClosingOnThePlayerSpringsOpen) {
    standIn(2.5, 64, 2.9);
    EXPECT_FALSE(app.doorSwingBlocked({2, 64, 2}, 1.5707964f, 1.5707964f)) << "open, it misses the player";
    EXPECT_TRUE(app.doorSwingBlocked({2, 64, 2}, 1.5707964f, 0.0f));
    app.world.movingDoors[{2, 64, 2}] = 1.5707964f;
    app.animateDoors(0.05);
    EXPECT_EQ(app.findBlockEntity(2, 64, 2), 2 | voxel::stateOpen);
    EXPECT_EQ(app.findBlockEntity(2, 65, 2), 2 | voxel::stateOpen | voxel::stateUpper);
    EXPECT_FLOAT_EQ(app.world.movingDoors.at({2, 64, 2}), 1.5707964f) << "it stays where it was";
    EXPECT_DOUBLE_EQ(app.world.doorBlockedUntil, 2.0);
    app.animateDoors(0.05);
    EXPECT_TRUE(app.world.movingDoors.empty()) << "already at its open angle";
}

}  // namespace
