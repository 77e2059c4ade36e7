#include "game/hand_rules.h"

#include <gtest/gtest.h>

#include <array>

#include "support/fresh_registry.h"

namespace {

TEST(HandRay, StopsAtTheFirstBlockWithinReachAndNotBeyond) {
    const struct {
        const char* name;
        double originX;
        int32_t blockX;
        bool hit;
    } cases[] = {
        {"face exactly at reach, 7 blocks", 0.0, 7, true},
        {"face just past reach", -0.001, 7, false},
        {"near block", 0.5, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const double origin[3] = {c.originX, 3.25, 0.5}, dir[3] = {2.0, 0.0, 0.0};
        const game::RayCell ray = game::castRay(origin, dir, game::kHandReach,
                                                [&](int32_t x, int32_t, int32_t) { return x == c.blockX; });
        ASSERT_EQ(ray.hit, c.hit);
        if (!c.hit) continue;
        EXPECT_EQ(ray.x, c.blockX);
        EXPECT_EQ(ray.px, c.blockX - 1) << "the cell in front of the face";
        EXPECT_EQ(ray.py, 3);
        EXPECT_FLOAT_EQ(ray.hitHeight, 0.25f);
    }
}

TEST(ToolWear, BreaksOnTheUseThatReachesItsDurabilityNotOneBefore) {
    const struct {
        int32_t durability, wear, count;
        bool broke;
        int32_t wearAfter;
    } cases[] = {
        {1, 0, 1, true, 0},   // a single use
        {3, 1, 1, false, 2},  // one use left after this one
        {3, 2, 1, true, 0},   // the last use
        {0, 5, 1, false, 5},  // not durable: never worn
        {3, 0, 0, false, 0},  // an empty slot
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.durability << " " << c.wear << " " << c.count);
        InventorySlot slot{20, c.count, c.wear};
        EXPECT_EQ(game::wearTool(slot, c.durability), c.broke);
        EXPECT_EQ(slot.wear, c.wearAfter);
        EXPECT_EQ(slot.count, c.broke ? 0 : c.count);
        EXPECT_EQ(slot.id, c.broke ? 0 : 20);
    }
}

class BreakTimes : public testsupport::FreshRegistryTest {};

TEST_F(BreakTimes, HardnessAndMatchingTool) {
    voxel::BlockDef pickaxe, axe, furniture, flower;
    pickaxe.tool = "pickaxe";
    axe.tool = "axe";
    furniture.solid = true;
    furniture.behavior = "workbench";
    voxel::registerBlock(13, furniture);
    voxel::registerBlock(14, flower);
    const struct {
        const char* name;
        uint8_t block;
        const voxel::BlockDef* held;
        double seconds;
    } cases[] = {
        {"stone by hand", 3, nullptr, 1.5},
        {"stone with a pickaxe", 3, &pickaxe, 0.375},
        {"stone with an axe", 3, &axe, 1.5},
        {"log with an axe", 7, &axe, 0.5},
        {"bedrock", 6, &pickaxe, -1.0},
        {"water", 5, nullptr, -1.0},
        {"workbench with an axe", 13, &axe, 0.375},
        {"flower", 14, nullptr, 0.05},
        {"unregistered id", 15, nullptr, -1.0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(game::breakSeconds(c.block, c.held), c.seconds) << c.name;
    EXPECT_EQ(game::blockDrop(1), 2) << "grass gives dirt";
    EXPECT_EQ(game::blockDrop(3), 3);
}

}  // namespace
