// The inventory self-test: items given, stacks moved and split with the inventory screen's clicks,
// a workbench recipe of the content pack made, an ore smelted in a furnace through the world step,
// and the inventory and furnace files saved and read back by a second App.
#include <algorithm>
#include <string>

#include "app/app.h"
#include "selftest/check_list.h"
#include "selftest/scenario_world.h"
#include "selftest/scenarios.h"
#include "ui/screen_slots.h"
#include "world/block_registry.h"

namespace selftest {

namespace {

constexpr int32_t kFloor = 64;
const CellKey kFurnaceCell{3, kFloor, 3};

std::string slotText(const InventorySlot& slot) {
    return std::to_string(slot.id) + " x" + std::to_string(slot.count) + " wear " + std::to_string(slot.wear);
}

bool sameSlot(const InventorySlot& a, const InventorySlot& b) {
    return a.id == b.id && a.count == b.count && a.wear == b.wear;
}

void requireSlot(const InventorySlot& slot, uint8_t id, int32_t count, const std::string& check) {
    require(slot.id == id && slot.count == count, check,
            slotText(slot) + ", not " + std::to_string(id) + " x" + std::to_string(count));
}

void giveAndCount(App& app, uint8_t log) {
    require(app.giveItem(log, 10) == 0, "add", "10 logs did not fit an empty inventory");
    require(app.countItem(log) == 10, "add", std::to_string(app.countItem(log)) + " logs counted");
    requireSlot(app.inventory.hotbar[0], log, 10, "add: first hotbar slot");
}

// Picks the stack up from hotbar slot 0, puts it into main slot 5, then takes half of it back and
// puts that into main slot 6.
void moveAndSplit(App& app, uint8_t log) {
    app.openInventory();
    app.clickScreenSlot(0, false);
    app.clickScreenSlot(14, false);
    require(app.inventory.hotbar[0].count == 0, "move", "hotbar slot 0 still holds " + slotText(app.inventory.hotbar[0]));
    requireSlot(app.inventory.main[5], log, 10, "move: main slot 5");
    app.clickScreenSlot(14, true);
    requireSlot(app.inventory.cursor, log, 5, "split: cursor");
    app.clickScreenSlot(15, false);
    requireSlot(app.inventory.main[5], log, 5, "split: main slot 5");
    requireSlot(app.inventory.main[6], log, 5, "split: main slot 6");
    require(app.inventory.cursor.count == 0, "split", "cursor still holds " + slotText(app.inventory.cursor));
    app.closeScreen();
}

void armourRefusesWrongItems(App& app, uint8_t log, uint8_t helmet) {
    require(!app.slotAccepts(ui::kArmourSlotBase, InventorySlot{log, 1, 0}), "armour", "head slot took a log");
    require(app.slotAccepts(ui::kArmourSlotBase, InventorySlot{helmet, 1, 0}), "armour", "head slot refused a helmet");
    require(!app.slotAccepts(ui::kArmourSlotBase + 3, InventorySlot{helmet, 1, 0}), "armour", "feet slot took a helmet");
    app.player.armor[0] = InventorySlot{helmet, 1, 7};
}

// The content pack's workbench recipe that makes planks from logs, made once.
void craftPlanks(App& app, uint8_t log, uint8_t planks) {
    const std::vector<content::Recipe>& recipes = app.rules.recipes;
    const auto recipe = std::find_if(recipes.begin(), recipes.end(), [&](const content::Recipe& r) {
        return r.result == planks && r.ingredients.size() == 1 && r.ingredients[0].resource == log;
    });
    require(recipe != recipes.end(), "craft", "no recipe makes planks from logs");
    const int32_t uses = recipe->ingredients[0].count;
    app.ui.container = ContainerView{ContainerKind::Workbench, {0, 0, 0}, static_cast<int32_t>(recipe - recipes.begin())};
    const uint32_t possible = app.craftSelected(false);
    require(possible == static_cast<uint32_t>(10 / uses), "craft", std::to_string(possible) + " makeable");
    const uint32_t made = app.craftSelected(true);
    require(made == static_cast<uint32_t>(recipe->count), "craft", std::to_string(made) + " made");
    require(app.countItem(planks) == recipe->count, "craft", std::to_string(app.countItem(planks)) + " planks");
    require(app.countItem(log) == 10 - uses, "craft", std::to_string(app.countItem(log)) + " logs left");
}

// One ore and one coal: the ingot appears at exactly the recipe's step, not one step before.
void smeltOre(App& app, uint8_t ore, uint8_t ingot, uint8_t coal) {
    const uint8_t furnaceBlock = requireResource("core:furnace", "smelt");
    const auto [x, y, z] = kFurnaceCell;
    require(app.setBlock(x, y, z, furnaceBlock), "smelt", "the furnace could not be placed");
    const auto recipe = std::find_if(app.rules.furnace.recipes.begin(), app.rules.furnace.recipes.end(),
                                     [&](const content::SmeltingRecipe& r) { return r.input == ore; });
    require(recipe != app.rules.furnace.recipes.end(), "smelt", "no furnace recipe for iron ore");
    require(recipe->result == ingot, "smelt", "iron ore smelts into " + std::to_string(recipe->result));
    require(app.rules.furnace.fuels.contains(coal), "smelt", "coal is no fuel");
    app.openContainerScreen(ContainerKind::Furnace, kFurnaceCell);
    Machine& furnace = app.machines[app.dimension][kFurnaceCell];
    furnace.slots[0] = InventorySlot{ore, 1, 0};
    furnace.slots[1] = InventorySlot{coal, 1, 0};
    for (int32_t step = 1; step < recipe->ticks; ++step) app.stepFurnaces();
    require(furnace.slots[2].count == 0, "smelt", "the ingot came before the recipe's " + std::to_string(recipe->ticks) + " steps");
    app.stepFurnaces();
    requireSlot(furnace.slots[2], ingot, 1, "smelt: output after the recipe's steps");
    require(furnace.slots[0].count == 0 && furnace.slots[1].count == 0, "smelt", "ore or coal left in the furnace");
    const int32_t left = app.rules.furnace.fuels.at(coal) - recipe->ticks;
    require(furnace.burnRemaining == left, "smelt", "burn left " + std::to_string(furnace.burnRemaining));
}

// The output slot only gives: the ingot goes to the cursor and from there into the inventory.
void takeIngot(App& app, uint8_t ingot) {
    app.clickScreenSlot(ui::kFurnaceSlotBase + 2, false);
    requireSlot(app.inventory.cursor, ingot, 1, "take: cursor");
    app.clickScreenSlot(ui::kFurnaceSlotBase + 2, false);
    require(app.machines[app.dimension][kFurnaceCell].slots[2].count == 0, "take",
            "the output slot took the ingot back");
    app.clickScreenSlot(20, false);
    requireSlot(app.inventory.main[11], ingot, 1, "take: main slot 11");
    app.closeScreen();
}

void compareReloaded(const App& saved, const App& loaded) {
    const auto sameSlots = [](const auto& a, const auto& b) { return std::ranges::equal(a, b, sameSlot); };
    require(sameSlots(saved.inventory.hotbar, loaded.inventory.hotbar), "reload", "the hotbar differs");
    require(sameSlots(saved.inventory.main, loaded.inventory.main), "reload", "the main slots differ");
    require(sameSlots(saved.player.armor, loaded.player.armor), "reload", "the armour differs");
    const auto& furnaces = cellsIn(loaded.machines, loaded.dimension);
    require(furnaces.size() == 1 && furnaces.contains(kFurnaceCell), "reload",
            std::to_string(furnaces.size()) + " furnaces read back");
    const Machine& a = cellsIn(saved.machines, saved.dimension).at(kFurnaceCell);
    const Machine& b = furnaces.at(kFurnaceCell);
    require(sameSlots(a.slots, b.slots) && a.burnRemaining == b.burnRemaining && a.burnTotal == b.burnTotal &&
                a.smeltProgress == b.smeltProgress,
            "reload", "the furnace differs");
}

void saveAndReload(App& app) {
    app.saveInventory();
    app.saveMachines();
    App loaded;
    loaded.useBaseDirectory(app.files.base);
    loaded.loadInventory();
    loaded.loadMachines();
    compareReloaded(app, loaded);
}

void inventoryChecks(const Path& work, const Path& contentRoot) {
    App app;
    prepareScenarioApp(app, work, contentRoot);
    loadScenarioContent(app);
    addGroundChunk(app, 0, 0, requireResource("core:stone", "ground"), kFloor);
    app.inventory = Inventory{};
    app.inventory.hotbar.fill(InventorySlot{});
    const uint8_t log = requireResource("core:oak_log", "add"), planks = requireResource("core:oak_planks", "craft");
    giveAndCount(app, log);
    moveAndSplit(app, log);
    armourRefusesWrongItems(app, log, requireResource("core:iron_helmet", "armour"));
    craftPlanks(app, log, planks);
    const uint8_t ingot = requireResource("core:iron_ingot", "smelt");
    smeltOre(app, requireResource("core:iron_ore", "smelt"), ingot, requireResource("core:coal", "smelt"));
    takeIngot(app, ingot);
    saveAndReload(app);
}

}  // namespace

int inventory(const Path& out, const Path& contentRoot) {
    return runChecks(out / "inventory-self-test.log",
                     "INVENTORY_OK: items added, stacks moved and split, armour slots, planks crafted, iron ore "
                     "smelted, inventory and furnace saved and read back",
                     [&] { inventoryChecks(out / "inventory-self-test", contentRoot); });
}

}  // namespace selftest
