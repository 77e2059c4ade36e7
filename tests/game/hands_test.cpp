#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "game/hands_fixture.h"
#include "save/file_save.h"
#include "save/save_set.h"
#include "save/world_state_files.h"

namespace {

namespace id = worldtest;
using gametest::apple;
using gametest::chest;
using gametest::Hands;
using gametest::kEye;
using gametest::pickaxe;

TEST_F(Hands, PickaxeBreaksStoneOnTheThirdFrameDropsItAndWears) {
    hold(pickaxe);
    button(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
    frame();
    frame();  // 0.25 s of 0.375 s
    EXPECT_EQ(app.blockAt(6, 65, 4), id::stone);
    EXPECT_TRUE(app.hands.target.mining);
    EXPECT_NEAR(app.hands.target.progress, 2.0f / 3.0f, 1e-5);
    frame();
    EXPECT_EQ(app.blockAt(6, 65, 4), voxel::airId);
    ASSERT_EQ(app.entities.droppedItems.size(), 1u);
    EXPECT_EQ(app.entities.droppedItems[0].id, id::stone);
    EXPECT_FLOAT_EQ(app.entities.droppedItems[0].x, 6.5f);
    EXPECT_EQ(app.inventory.hotbar[5].wear, 1);
    app.setBlock(6, 65, 4, id::stone);
    for (int i = 0; i < 3; ++i) frame();
    EXPECT_EQ(app.inventory.hotbar[5].count, 0) << "worn out at its durability of 2";
}

TEST_F(Hands, OpenInventoryKeepsTheButtonsFromTheWorld) {
    app.ui.inventoryOpen = true;
    hold(id::stone, 3);
    button(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
    button(GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS);
    for (int i = 0; i < 20; ++i) frame();
    EXPECT_EQ(app.blockAt(6, 65, 4), id::stone);
    EXPECT_EQ(app.blockAt(5, 65, 4), voxel::airId);
    EXPECT_EQ(app.inventory.hotbar[5].count, 3);
    app.ui.inventoryOpen = false;
    frame();
    EXPECT_FALSE(app.hands.target.mining) << "the held button waits for its release";
}

TEST_F(Hands, MobInReachTakesTheSwingInsteadOfMining) {
    for (const uint8_t wall : {uint8_t{id::stone}, voxel::airId}) {
        SCOPED_TRACE(int(wall));
        app.setBlock(6, 65, 4, wall);
        app.combat.meleeTimer = 0;
        Mob mob;
        mob.kind = 1, mob.x = 4.5, mob.y = 64.0, mob.z = 4.5, mob.health = 10;
        app.entities.mobs = {mob};
        button(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
        for (int i = 0; i < 20; ++i) frame();
        EXPECT_EQ(app.blockAt(6, 65, 4), wall);
        EXPECT_LT(app.entities.mobs[0].health, 10);
        EXPECT_FALSE(app.hands.target.mining);
    }
}

TEST_F(Hands, PlacingThroughTheRightButtonKeepsTheSupportAndBodyRules) {
    const struct {
        const char* name;
        uint8_t block;
        uint8_t wall;   // the aimed block at (6, 65, 4)
        bool noGround;  // (5, 64, 4) emptied
        int body;       // 0 none, 1 mob, 2 NPC, 3 the player
        bool placed;
    } cases[] = {
        {"stone in the open", id::stone, id::stone, false, 0, true},
        {"door on the ground", id::door, id::stone, false, 0, true},
        {"door without ground", id::door, id::stone, true, 0, false},
        {"ladder on stone", id::ladder, id::stone, false, 0, true},
        {"ladder on leaves", id::ladder, id::leaves, false, 0, false},
        {"stone into a mob", id::stone, id::stone, false, 1, false},
        {"stone into an NPC", id::stone, id::stone, false, 2, false},
        {"stone into the player", id::stone, id::stone, false, 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.setBlock(5, 65, 4, voxel::airId);
        app.setBlock(5, 66, 4, voxel::airId);
        app.setBlock(5, 64, 4, c.noGround ? voxel::airId : uint8_t{id::stone});
        app.setBlock(6, 65, 4, c.wall);
        app.entities.mobs.clear();
        app.adventureState = {};
        standAt(2.5f, 4.5f);
        if (c.body == 1) {
            Mob mob;
            mob.kind = 1, mob.x = 5.5, mob.y = 64.0, mob.z = 4.5;
            app.entities.mobs.push_back(mob);
        } else if (c.body == 2) {
            adventure::Npc npc;
            npc.id = "test:guard";
            app.adventureState.catalog.npcs.push_back(npc);
            app.adventureState.npcPositions["test:guard"] = {5.5, 64.0, 4.5};
        } else if (c.body == 3) {
            standAt(5.5f, 4.5f);
        }
        hold(c.block, 3);
        rightClick();
        EXPECT_EQ(app.blockAt(5, 65, 4) == c.block, c.placed);
        EXPECT_EQ(app.inventory.hotbar[5].count, c.placed ? 2 : 3);
    }
}

TEST_F(Hands, BrokenCropDropsItsSeedOrWhenRipeItsYield) {
    constexpr uint8_t seed = 23, wheat = 24, young = 25, ripe = 26;
    for (uint8_t item : {seed, wheat}) worldtest::addBlock(item, "", false, false, false);
    for (uint8_t stage : {young, ripe}) worldtest::addBlock(stage, "", false, false);
    content::CropRule crop;
    crop.seed = seed, crop.yield = wheat, crop.stages = {young, ripe}, crop.yieldCount = 2,
    crop.seedCount = 3;
    app.rules.crops = {crop};
    const struct {
        uint8_t stage;
        std::vector<std::pair<uint8_t, int32_t>> drops;
    } cases[] = {{young, {{seed, 1}}}, {ripe, {{wheat, 2}, {seed, 3}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.stage));
        app.entities.droppedItems.clear();
        app.setBlock(8, 64, 8, c.stage);
        app.breakBlock(8, 64, 8);
        EXPECT_EQ(app.blockAt(8, 64, 8), voxel::airId);
        ASSERT_EQ(app.entities.droppedItems.size(), c.drops.size());
        for (std::size_t i = 0; i < c.drops.size(); ++i) {
            EXPECT_EQ(app.entities.droppedItems[i].id, c.drops[i].first);
            EXPECT_EQ(app.entities.droppedItems[i].count, c.drops[i].second);
        }
    }
}

TEST_F(Hands, DroppedItemFallsOntoTheGroundAndJoinsAStack) {
    app.dropItem(id::stone, 2, 10.5f, 70.0f, 4.5f);
    for (int i = 0; i < 40; ++i) app.stepDroppedItems();
    ASSERT_EQ(app.entities.droppedItems.size(), 1u);
    const DroppedItem& item = app.entities.droppedItems[0];
    EXPECT_FLOAT_EQ(item.y, 64.0f) << "rests on top of the ground";
    EXPECT_FLOAT_EQ(item.prevY, 64.0f);
    EXPECT_EQ(item.interpolate, 1);
    app.inventory.hotbar[2] = InventorySlot{id::stone, 63, 0};
    standAt(12.01f, 4.5f);  // just outside the pick-up radius
    app.stepDroppedItems();
    ASSERT_EQ(app.entities.droppedItems.size(), 1u);
    standAt(12.0f, 4.5f);  // exactly the pick-up radius away
    app.stepDroppedItems();
    EXPECT_TRUE(app.entities.droppedItems.empty());
    EXPECT_EQ(app.inventory.hotbar[2].count, 64);
    EXPECT_EQ(app.inventory.hotbar[5].id, id::stone);
    EXPECT_EQ(app.inventory.hotbar[5].count, 1);
}

// An item lies 3,600 world steps: the step that brings its age to 3,600 takes it away.
TEST_F(Hands, DroppedItemGoesAtTheStepItsAgeReachesThreeThousandSixHundred) {
    const struct {
        int32_t age;  // before the step
        bool stays;
    } cases[] = {{3598, true}, {3599, false}, {3600, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.age);
        app.entities.droppedItems.clear();
        app.dropItem(id::stone, 1, 12.5f, 64.0f, 12.5f);  // on the ground, out of the player's reach
        app.entities.droppedItems[0].age = c.age;
        app.stepDroppedItems();
        ASSERT_EQ(app.entities.droppedItems.size(), c.stays ? 1u : 0u);
        if (c.stays) {
            EXPECT_EQ(app.entities.droppedItems[0].age, 3599);
        }
    }
}

// The edit saves the inventory at once: what it holds is what play left after the block was
// placed or dug, never the count before it.
TEST_F(Hands, TheInventorySavedByAnEditHoldsWhatPlacingAndDiggingLeft) {
    app.files.worldOpen = true;
    const auto savedSlot = [&] {
        filesave::backgroundWriter().drain();
        const auto record = filesave::decodeInventory(
            filesave::unsealFile(testsupport::readFile(worldDir.path() / filesave::kInventoryFile))
                .value_or(""));
        return record ? record->inventory.hotbar[5] : InventorySlot{0, -1, 0};
    };
    hold(id::stone, 3);
    rightClick();
    ASSERT_EQ(app.blockAt(5, 65, 4), id::stone);
    EXPECT_EQ(savedSlot().count, 2);
    hold(pickaxe);
    button(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
    for (int i = 0; i < 3; ++i) frame();
    ASSERT_EQ(app.blockAt(5, 65, 4), voxel::airId);
    EXPECT_EQ(savedSlot().wear, 1);
}

// A pile of five stones, one step short of its pick-up delay, lies on the ground near the player's
// feet; one world step later it is taken whole or stays.
TEST_F(Hands, PickUpReachesOneAndAHalfBlocksAroundAndHalfABlockPastTheBody) {
    const struct {
        const char* name;
        float dx, dz, eye;
        int32_t age;
        bool taken;
    } cases[] = {
        {"1.5 blocks along z", 0.0f, 1.5f, 65.62f, 9, true},
        {"just beyond along z", 0.0f, -1.51f, 65.62f, 9, false},
        {"diagonally within", 1.05f, 1.05f, 65.62f, 9, true},
        {"diagonally beyond", -1.07f, 1.07f, 65.62f, 9, false},
        {"feet just under half a block above it", 0.0f, 0.0f, 64.49f + kEye, 9, true},
        {"feet just over", 0.0f, 0.0f, 64.51f + kEye, 9, false},
        {"eye just over half a block below it", 0.0f, 0.0f, 63.51f, 9, true},
        {"eye just under", 0.0f, 0.0f, 63.49f, 9, false},
        {"still within its delay", 0.0f, 0.0f, 65.62f, 8, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.entities.droppedItems.clear();
        app.inventory.hotbar[5] = {};
        app.dropItem(id::stone, 5, 2.5f + c.dx, 64.0f, 4.5f + c.dz);
        app.entities.droppedItems[0].age = c.age;
        standAt(2.5f, 4.5f);
        app.player.y = c.eye;
        app.stepDroppedItems();
        EXPECT_EQ(app.entities.droppedItems.empty(), c.taken);
        EXPECT_EQ(app.inventory.hotbar[5].count, c.taken ? 5 : 0);
    }
}

// Every slot holds a full stack of sticks but one, which holds stones with `room` left; a pile of
// five stones at the player's feet fills that room and the rest stays lying as the same pile.
TEST_F(Hands, PickedUpPileFillsExactlyTheRoomThereIsAndLeavesTheRest) {
    const struct {
        const char* name;
        std::size_t slot;  // of the 36, hotbar first
        int32_t room, left;
    } cases[] = {
        {"exactly enough room", 0, 5, 0},     {"one short", 0, 4, 1},
        {"room for part", 0, 2, 3},           {"a full inventory", 0, 0, 5},
        {"exactly enough in the last slot", 35, 5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.inventory.hotbar.fill({id::stick, 64, 0});
        app.inventory.main.fill({id::stick, 64, 0});
        InventorySlot& stones = c.slot < 9 ? app.inventory.hotbar[c.slot] : app.inventory.main[c.slot - 9];
        stones = {id::stone, 64 - c.room, 0};
        app.entities.droppedItems.clear();
        app.dropItem(id::stone, 5, 2.5f, 64.0f, 4.5f);
        app.entities.droppedItems[0].age = 9;
        const uint32_t pile = app.entities.droppedItems[0].pile;
        app.stepDroppedItems();
        EXPECT_EQ(stones.count, 64);
        EXPECT_EQ(app.countItem(id::stick), 35 * 64);
        ASSERT_EQ(app.entities.droppedItems.size(), c.left > 0 ? 1u : 0u);
        if (c.left == 0) continue;
        EXPECT_EQ(app.entities.droppedItems[0].count, c.left);
        EXPECT_EQ(app.entities.droppedItems[0].pile, pile);
    }
}

// Held food takes 32 ticks to eat, is eaten only below full, and never fills past it.
TEST_F(Hands, EatingTakesThirtyTwoTicksOnlyBelowFullFoodAndFillsNoFurther) {
    app.player.pitch = 1.5f;  // the sky: nothing to use or place against
    const struct {
        int32_t food;
        bool eats;
        int32_t after;
    } cases[] = {{20, false, 20}, {19, true, 20}, {16, true, 20}, {10, true, 14}, {0, true, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.food);
        app.player.food[0] = c.food;
        hold(apple, 2);
        button(GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS);
        frame();
        EXPECT_EQ(app.actions.uses[0].active, c.eats);
        app.clock.tick += 31;
        frame();
        EXPECT_EQ(app.player.food[0], c.food);
        app.clock.tick += 1;
        frame();
        EXPECT_EQ(app.player.food[0], c.after);
        EXPECT_EQ(app.inventory.hotbar[5].count, c.eats ? 1 : 2);
        EXPECT_FALSE(app.actions.uses[0].active);
        button(GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE);
        frame();
    }
}

// A held potion is drunk like food over 32 ticks, one at a time; healing waits for lost health.
TEST_F(Hands, DrinkingTakesThirtyTwoTicksAndGivesThePotionsEffect) {
    constexpr uint8_t healing = 30, speed = 31;
    for (uint8_t id : {healing, speed}) worldtest::addBlock(id, "", false, false, false);
    app.rules.potions[healing] = {"test:healing", "HEALING", "healing", healing, 8, 0};
    app.rules.potions[speed] = {"test:speed", "SPEED", "speed", speed, 30, 1800};
    app.player.pitch = 1.5f;
    const struct {
        const char* name;
        uint8_t potion;
        int32_t health;
        bool drinks;
        int32_t healthAfter, speedTicks;
    } cases[] = {
        {"healing at full health waits", healing, 20, false, 20, 0},
        {"healing one short", healing, 19, true, 20, 0},
        {"healing from low", healing, 5, true, 13, 0},
        {"speed at full health", speed, 20, true, 20, 1800},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.player.health = c.health;
        app.potionEffects = {};
        hold(c.potion, 2);
        button(GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS);
        frame();
        EXPECT_EQ(app.actions.uses[1].active, c.drinks);
        app.clock.tick += 31;
        frame();
        EXPECT_EQ(app.inventory.hotbar[5].count, 2) << "not yet drunk";
        app.clock.tick += 1;
        frame();
        EXPECT_EQ(app.player.health, c.healthAfter);
        EXPECT_EQ(game::effectOf(app.potionEffects, game::EffectKind::Speed).ticksLeft, c.speedTicks);
        EXPECT_EQ(app.inventory.hotbar[5].count, c.drinks ? 1 : 2);
        EXPECT_FALSE(app.actions.uses[1].active);
        button(GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE);
        frame();
    }
}

TEST_F(Hands, UsingADoorTogglesBothHalvesAndSwings) {
    app.editBlock(8, 64, 8, id::door, 0);
    ASSERT_TRUE(app.useBlock(8, 65, 8)) << "the upper half answers for the door";
    EXPECT_TRUE(app.findBlockEntity(8, 64, 8) & voxel::stateOpen);
    EXPECT_TRUE(app.findBlockEntity(8, 65, 8) & voxel::stateOpen);
    ASSERT_TRUE(app.world.movingDoors.contains({8, 64, 8}));
    EXPECT_FLOAT_EQ(app.world.movingDoors[CellKey(8, 64, 8)], 0.0f);
    for (int i = 0; i < 4; ++i) app.animateDoors(0.1);  // the whole 0.3 s swing
    ASSERT_TRUE(app.useBlock(8, 64, 8));
    EXPECT_FALSE(app.findBlockEntity(8, 64, 8) & voxel::stateOpen);
    EXPECT_FLOAT_EQ(app.world.movingDoors[CellKey(8, 64, 8)], 1.5707964f);
    EXPECT_FALSE(app.useBlock(8, 70, 8)) << "air is not usable";
}

TEST_F(Hands, BedSleepsOnlyAtNight) {
    app.editBlock(8, 64, 8, id::bed, 0);
    const struct {
        int32_t time;
        bool sleeps;
    } cases[] = {{24000, false}, {24001, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        app.sleepStart = -1.0, app.hasBed = false;
        app.clock.timeOfDay = c.time;
        EXPECT_EQ(app.useBlock(8, 64, 8), c.sleeps);
        EXPECT_EQ(app.sleepStart >= 0.0, c.sleeps);
        EXPECT_EQ(app.hasBed, c.sleeps);
    }
    EXPECT_EQ(app.bedY, 64);
    EXPECT_TRUE(app.useBlock(app.bedX, app.bedY, app.bedZ)) << "the wake-up check finds the bed";
    app.updateSleepFade(0.6);
    EXPECT_EQ(app.clock.timeOfDay, 2400) << "woken in the morning";
    EXPECT_TRUE(app.woken);
}

TEST_F(Hands, ChestUseOpensItsScreen) {
    app.setBlock(8, 64, 8, chest);
    ASSERT_TRUE(app.useBlock(8, 64, 8));
    EXPECT_EQ(app.ui.screen, 11);
    EXPECT_TRUE(app.ui.inGameWindow);
    EXPECT_TRUE(cellsIn(app.containers.chests, app.dimension).contains({8, 64, 8}));
}

}  // namespace
