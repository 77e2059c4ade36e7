// A kill right after each action of the player, before the background writer landed its save, and
// one after: the world opened again from its files holds every item exactly once, as it was before
// the action and then where the action left it, never a mix.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <tuple>

#include "game/hands_fixture.h"
#include "support/held_writer.h"
#include "ui/screen_slots.h"
#include "world/features.h"

namespace {

namespace id = worldtest;
using gametest::apple;
using gametest::chest;
using gametest::pickaxe;
constexpr uint8_t gold = 23, furnace = 24, potion = 25, coal = 26;

// How many of each item lie where ("pack 23": the cursor and the armour are the pack's; "chest 23",
// "furnace 23", "dropped 23", "block 3"), and what eating, drinking and a quest change with them.
using Places = std::map<std::string, int64_t>;

Places placesOf(const App& app) {
    Places places;
    const auto add = [&](const char* where, uint8_t item, int64_t n) {
        if (item != voxel::airId && n > 0) places[std::string(where) + " " + std::to_string(item)] += n;
    };
    const auto addSlots = [&](const char* where, std::span<const InventorySlot> slots) {
        for (const InventorySlot& slot : slots) add(where, slot.id, slot.count);
    };
    addSlots("pack", app.inventory.hotbar), addSlots("pack", app.inventory.main), addSlots("pack", app.player.armor);
    add("pack", app.inventory.cursor.id, app.inventory.cursor.count);
    for (const auto& [dimension, chests] : app.containers.chests)
        for (const auto& [cell, slots] : chests) addSlots("chest", slots);
    for (const auto& [dimension, furnaces] : app.machines)
        for (const auto& [cell, machine] : furnaces) addSlots("furnace", machine.slots);
    for (const DroppedItem& item : app.entities.droppedItems) add("dropped", item.id, item.count);
    std::array<int64_t, 256> blocks{};
    for (const voxel::Chunk& chunk : app.world.chunks)
        for (const uint8_t cell : chunk.cells) ++blocks[cell];
    for (std::size_t item = 0; item < blocks.size(); ++item) add("block", static_cast<uint8_t>(item), blocks[item]);
    places["food"] = app.player.food[0];
    places["health"] = app.player.health;
    places["speed"] = game::effectOf(app.potionEffects, game::EffectKind::Speed).ticksLeft;
    places["quests done"] = static_cast<int64_t>(app.adventureState.standing.quests.completed.size());
    return places;
}

class ActionSaves;

struct ActionCase {
    const char* name;
    void (*prepare)(ActionSaves&);  // before the last whole save
    void (*act)(ActionSaves&);
};

void PrintTo(const ActionCase& action, std::ostream* out) { *out << action.name; }

// The hands' world with a chest of 5 gold at (8, 64, 8), a furnace with 3 gold of output at
// (9, 64, 8) and a door at (10, 64, 8); the player looks at the sky, or at the wall to dig or build.
class ActionSaves : public gametest::Hands, public testing::WithParamInterface<ActionCase> {
   public:
    using Hands::app, Hands::hold, Hands::rightClick, Hands::load;

    void SetUp() override {
        Hands::SetUp();
        for (const uint8_t item : {gold, potion, coal}) worldtest::addBlock(item, "", false, false, false);
        worldtest::addBlock(furnace, "furnace", true, true);
        app.rules.potions[potion] = {"test:speed", "SPEED", "speed", potion, 30, 1800};
        app.rules.recipes = {{"test:lantern", "workbench", id::lantern, 1, {{id::stone, 2}}}};
        app.rules.lootTables["core:ruins"] = {LootEntry{coal, 4, 4, 1.0}};
        app.setBlock(8, 64, 8, chest);
        app.containers.chests[app.dimension][{8, 64, 8}][0] = {gold, 5, 0};
        app.setBlock(9, 64, 8, furnace);
        app.machines[app.dimension][{9, 64, 8}].slots[2] = {gold, 3, 0};
        app.editBlock(10, 64, 8, id::door, 0);
        app.player.food[0] = 10;
        app.player.pitch = 1.5f;
        app.files.worldOpen = true;
    }
    void digTheWall() {
        hold(pickaxe);
        app.player.pitch = 0.0f;
        button(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
        for (int i = 0; i < 3; ++i) frame();
    }
    // The right button held through the 32 ticks of eating or drinking.
    void useTheHeldItem() {
        button(GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS);
        frame();
        app.clock.tick += 32;
        frame();
    }
    // Takes from a window's slot with the button given into the first main slot, and closes it.
    void takeAndClose(uint32_t slot, bool right) {
        app.clickScreenSlot(slot, right);
        app.clickScreenSlot(9, false);
        app.closeScreen();
    }

    // The world folder as a kill leaves it, copied then, opened by a new App as the menu opens a
    // world, with the chunks this one has loaded streamed in and what the next frame spills spilled.
    void copyWorld(const testsupport::TempDir& killed) {
        std::filesystem::copy(worldDir.path(), killed.path(), std::filesystem::copy_options::recursive);
    }
    Places reopened(const testsupport::TempDir& killed) {
        App reopened;
        reopened.chunkRadius = 0;
        reopened.openWorld(killed.path());
        for (const voxel::Chunk& chunk : app.world.chunks) reopened.ensureChunkAt(16 * chunk.cx, 16 * chunk.cz);
        reopened.spillOrphanedFurnaces(), reopened.spillOrphanedChests();
        return placesOf(reopened);
    }

    CellKey ruinsChest;  // the chest of the first ruins of the world's seed, in a chunk of its own
};

TEST_P(ActionSaves, AKillRightAfterItKeepsEveryItemExactlyOnce) {
    if (GetParam().prepare) GetParam().prepare(*this);
    app.saveWorld();
    const Places before = placesOf(app);
    testsupport::TempDir killedBeforeItLanded, killedAfter;
    {
        const testsupport::HeldWriter held;
        GetParam().act(*this);
        copyWorld(killedBeforeItLanded);
    }
    copyWorld(killedAfter);
    app.spillOrphanedFurnaces(), app.spillOrphanedChests();  // the next frame's, as in the reopened world
    const Places after = placesOf(app);
    ASSERT_NE(after, before) << "the action changed nothing";
    EXPECT_EQ(reopened(killedBeforeItLanded), before) << "a save landed before its turn, or a mix";
    const Places landed = reopened(killedAfter);
    EXPECT_EQ(landed, after) << (landed == before ? "not saved" : "a mix of before and after it");
}

const ActionCase kActions[] = {
    {"ChestWindowClosedAfterThreeOfFiveGoldWereTaken", nullptr,
     [](ActionSaves& t) { t.app.useBlock(8, 64, 8), t.takeAndClose(ui::kChestSlotBase, true); }},
    {"FurnaceWindowClosedAfterItsOutputWasTaken", nullptr,
     [](ActionSaves& t) { t.app.useBlock(9, 64, 8), t.takeAndClose(ui::kFurnaceSlotBase + 2, false); }},
    {"InventoryClosedWithGoldOnTheCursorAndNoRoomDropsIt",
     [](ActionSaves& t) {
         t.app.inventory.hotbar.fill({id::stick, 64, 0}), t.app.inventory.main.fill({id::stick, 64, 0});
         t.app.inventory.cursor = {gold, 3, 0};
     },
     [](ActionSaves& t) { t.app.openInventory(), t.app.closeScreen(); }},
    {"StoneDug", nullptr, [](ActionSaves& t) { t.digTheWall(); }},
    {"ChestDugWithItsGold", nullptr, [](ActionSaves& t) { t.app.breakBlock(8, 64, 8); }},
    {"FurnaceDugWithItsGold", nullptr, [](ActionSaves& t) { t.app.breakBlock(9, 64, 8); }},
    {"DoorDugByItsUpperHalf", nullptr, [](ActionSaves& t) { t.app.breakBlock(10, 65, 8); }},
    {"StonePlaced", [](ActionSaves& t) { t.hold(id::stone, 3), t.app.player.pitch = 0.0f; },
     [](ActionSaves& t) { t.rightClick(); }},
    {"RuinsChestFilledAsItOpens",
     [](ActionSaves& t) {
         const voxel::GenerationContext context{t.app.files.seed, t.app.generationStage, t.app.world.profile};
         voxel::RuinsSite site;
         for (int32_t r = 0; r < 64 && !site.present; ++r) site = voxel::ruinsSite(context, r % 8, r / 8);
         t.ruinsChest = {site.x + 2, site.y + 1, site.z + 2};
         t.load(voxel::floorDiv(site.x + 2, 16), voxel::floorDiv(site.z + 2, 16));
         ASSERT_TRUE(site.present && t.app.setBlock(site.x + 2, site.y + 1, site.z + 2, chest));
     },
     [](ActionSaves& t) { std::apply([&](auto... at) { t.app.useBlock(at...); }, t.ruinsChest); }},
    {"PilePickedUp",
     [](ActionSaves& t) {
         t.app.dropItem(gold, 3, 2.5f, 64.0f, 4.5f);
         t.app.entities.droppedItems[0].age = 9;  // one step short of its pick-up delay
     },
     [](ActionSaves& t) { t.app.stepDroppedItems(); }},
    {"RecipeCrafted", nullptr,
     [](ActionSaves& t) {
         t.app.openContainerScreen(ContainerKind::Workbench, {0, 64, 0});
         ASSERT_EQ(t.app.craftSelected(true), 1u);
     }},
    {"AppleEaten", [](ActionSaves& t) { t.hold(apple, 2); }, [](ActionSaves& t) { t.useTheHeldItem(); }},
    {"PotionDrunk", [](ActionSaves& t) { t.hold(potion, 2); }, [](ActionSaves& t) { t.useTheHeldItem(); }},
    {"QuestRewardedTheFrameAfterTheStoneItAskedForWasDug",
     [](ActionSaves& t) {
         adventure::Quest& quest = t.app.adventureState.catalog.quests["test:dig"];
         quest.id = "test:dig", quest.rewardItem = gold, quest.rewardCount = 2;
         t.app.adventureState.standing.quests.accepted[quest.id].targetBlock = id::stone;
     },
     [](ActionSaves& t) { t.digTheWall(), t.app.updateQuests(); }},
};

INSTANTIATE_TEST_SUITE_P(Actions, ActionSaves, testing::ValuesIn(kActions),
                         [](const testing::TestParamInfo<ActionCase>& info) { return info.param.name; });

}  // namespace
