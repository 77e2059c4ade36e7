#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <span>

#include "app/app.h"
#include "save/file_save.h"
#include "save/save_set.h"
#include "save/world_state_files.h"
#include "support/temp_dir.h"
#include "ui/panel_words.h"
#include "ui/screen_slots.h"

namespace {

void tap(App& app, int key) { app.onKey(nullptr, key, 0, GLFW_PRESS, 0); }

// An App playing a world whose files go to a folder of the test's own.
struct OpenWorld {
    OpenWorld() {
        app.useBaseDirectory(dir.path());
        app.files.worldOpen = true;
    }
    testsupport::TempDir dir;
    App app;
};

// Leaving the inventory or a container window saves the inventory; leaving nothing saves nothing.
TEST(InventoryScreens, ClosingAWindowOverPlaySavesTheInventory) {
    for (const int opened : {0, 1, 2}) {  // nothing, the inventory, a chest
        SCOPED_TRACE(opened);
        OpenWorld world;
        App& app = world.app;
        app.setScreen(UiState::kPlaying);
        if (opened == 1) app.openInventory();
        if (opened == 2) app.openContainerScreen(ContainerKind::Chest, {1, 64, 1});
        app.inventory.main[3] = {2, 17, 0};
        app.closeScreen();
        filesave::backgroundWriter().drain();
        const std::filesystem::path file = world.dir.path() / filesave::kInventoryFile;
        ASSERT_EQ(std::filesystem::exists(file), opened != 0);
        if (opened == 0) continue;
        EXPECT_EQ(filesave::decodeInventory(filesave::unsealFile(testsupport::readFile(file)).value_or(""))
                      .value()
                      .inventory.main[3]
                      .count,
                  17);
    }
}

TEST(InventoryScreens, ChestSlotsKeepWhatIsPutInAndTheCursorStackGoesBack) {
    OpenWorld world;
    App& app = world.app;
    app.inventory.hotbar[0] = {1, 64, 0};
    const CellKey cell{4, 70, -2};
    app.openContainerScreen(ContainerKind::Chest, cell);
    ASSERT_EQ(app.ui.screen, ui::kChestScreen);
    app.clickScreenSlot(0, false);
    app.clickScreenSlot(ui::kChestSlotBase + 26, true);
    app.clickScreenSlot(ui::kChestSlotBase, false);
    EXPECT_EQ(app.containers.chests[app.dimension][cell][26].count, 1);
    EXPECT_EQ(app.containers.chests[app.dimension][cell][0].count, 63);
    tap(app, GLFW_KEY_ESCAPE);
    app.handleEscape();
    EXPECT_EQ(app.ui.screen, 0);
    EXPECT_EQ(app.inventory.cursor.count, 0);
    EXPECT_EQ(app.countItem(1), 0) << "the whole stack went into the chest";
    app.openContainerScreen(ContainerKind::Chest, cell);
    app.clickScreenSlot(ui::kChestSlotBase, false);
    tap(app, GLFW_KEY_E);
    app.handleScreenInput();
    EXPECT_EQ(app.ui.screen, 0) << "the inventory key closes the chest";
    EXPECT_EQ(app.countItem(1), 63) << "the cursor stack went back into the inventory";

    app.openContainerScreen(ContainerKind::Chest, cell);
    app.containers.chests[app.dimension].erase(cell);
    app.handleScreenInput();
    EXPECT_EQ(app.ui.screen, 0) << "the chest was broken while open";
}

TEST(InventoryScreens, ArmourSlotRefusesABlockAndTheFurnaceOutputOnlyGives) {
    OpenWorld world;
    App& app = world.app;
    app.inventory.cursor = {2, 5, 0};
    app.clickScreenSlot(ui::kArmourSlotBase + 1, false);
    EXPECT_EQ(app.player.armor[1].id, 0);
    EXPECT_EQ(app.inventory.cursor.count, 5);
    const CellKey cell{0, 64, 0};
    app.openContainerScreen(ContainerKind::Furnace, cell);
    app.clickScreenSlot(ui::kFurnaceSlotBase + 2, false);
    EXPECT_EQ(app.machines[app.dimension][cell].slots[2].id, 0) << "nothing is put into the output";
    app.machines[app.dimension][cell].slots[2] = {7, 3, 0};
    app.inventory.cursor = {};
    app.clickScreenSlot(ui::kFurnaceSlotBase + 2, false);
    EXPECT_EQ(app.inventory.cursor.count, 3);
}

TEST(InventoryScreens, WorkbenchCraftsTheSelectedRecipeFromInventoryStacks) {
    OpenWorld world;
    App& app = world.app;
    app.rules.recipes = {{"test:a", "workbench", 9, 1, {{1, 5}}}, {"test:b", "workbench", 7, 4, {{2, 3}, {3, 1}}}};
    app.inventory.hotbar = {};
    app.inventory.main = {};
    app.inventory.hotbar[2] = {2, 2, 0};
    app.inventory.main[5] = {2, 4, 0};
    app.inventory.main[6] = {3, 1, 0};
    // At a slow frame rate the Down comes in the same frame as the click that opens the workbench.
    app.setScreen(UiState::kPlaying);
    app.onMouseButton(nullptr, GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS, 0);
    tap(app, GLFW_KEY_DOWN);
    ASSERT_EQ(ui::takePresses(app.ui.buttonPresses, GLFW_MOUSE_BUTTON_RIGHT), 1u);  // the hands' turn
    app.openContainerScreen(ContainerKind::Workbench, {1, 1, 1});
    app.handleScreenInput();
    ASSERT_EQ(app.selectedRecipe()->id, "test:b");
    EXPECT_EQ(app.craftSelected(false), 1u);
    EXPECT_EQ(app.craftSelected(true), 4u);
    EXPECT_EQ(app.countItem(2), 3);
    EXPECT_EQ(app.countItem(3), 0);
    EXPECT_EQ(app.countItem(7), 4);
    EXPECT_EQ(app.craftSelected(true), 0u) << "short of the second ingredient";
    EXPECT_EQ(app.countItem(2), 3);
}

TEST(InventoryScreens, InventoryKeyOpensAndEscapeClosesReturningTheCursorStack) {
    OpenWorld world;
    App& app = world.app;
    app.setScreen(0);
    tap(app, GLFW_KEY_E);
    app.handleInventoryInput();
    ASSERT_TRUE(app.ui.inventoryOpen);
    EXPECT_FALSE(app.ui.menuOpen) << "the world goes on under the inventory";
    app.clickScreenSlot(4, true);  // half of the 64 in hotbar slot 4
    EXPECT_EQ(app.inventory.cursor.count, 32);
    app.inventory.main.fill(InventorySlot{9, 64, 0});
    app.inventory.hotbar.fill(InventorySlot{9, 64, 0});
    tap(app, GLFW_KEY_ESCAPE);
    app.handleEscape();
    EXPECT_FALSE(app.ui.inventoryOpen);
    EXPECT_EQ(app.ui.screen, 0) << "Escape closes the inventory, not into the pause screen";
    EXPECT_EQ(app.inventory.cursor.count, 0);
    ASSERT_EQ(app.entities.droppedItems.size(), 1u) << "no room left: the stack falls at the feet";
    EXPECT_EQ(app.entities.droppedItems[0].count, 32);
}

uint32_t panelWord(const std::array<uint32_t, ui::kPanelWords>& panel, uint32_t word) {
    return panel[word - ui::kPanelWord];
}

// A click takes the recipe the list draws in that row, and the list does not move: the row drawn
// after the click holds the same recipe. First row, last visible row, scrolled and short lists.
TEST(InventoryScreens, AClickOnARecipeRowTakesItsRecipeAndLeavesTheListWhereItWas) {
    const struct {
        int32_t total, scroll, chosen;
        uint32_t row;
        int32_t taken;
    } rows[] = {
        {12, 2, 11, 0, 2},  {12, 2, 11, 9, 11}, {12, 2, 2, 9, 11},  // scrolled by two
        {12, 0, 9, 0, 0},   {12, 0, 0, 9, 9},   {11, 1, 10, 0, 1},  // at the top; one more than rows
        {10, 0, 9, 0, 0},   {10, 0, 0, 9, 9},                       // as many as rows: no scroll
        {3, 0, 0, 2, 2},    {3, 0, 1, 3, 1},                        // a row without a recipe changes nothing
    };
    App app;
    app.ui.container.kind = ContainerKind::Workbench;
    for (const auto& r : rows) {
        app.rules.recipes.assign(static_cast<std::size_t>(r.total), content::Recipe{});
        app.ui.container.recipe = r.chosen;
        app.ui.container.recipeScroll = r.scroll;
        std::array<uint32_t, ui::kPanelWords> before{}, after{};
        ui::writeRecipePanel(before, app.rules.recipes, r.chosen, r.scroll);
        app.selectRecipeRow(r.row);
        ui::writeRecipePanel(after, app.rules.recipes, app.ui.container.recipe, app.ui.container.recipeScroll);
        EXPECT_EQ(app.ui.container.recipe, r.taken) << r.total << " recipes, " << r.chosen << ", row " << r.row;
        EXPECT_EQ(panelWord(after, ui::kPanelListFirstWord), panelWord(before, ui::kPanelListFirstWord))
            << r.total << " recipes, " << r.chosen << ", row " << r.row;
        if (r.row < panelWord(before, ui::kPanelListCountWord)) {
            EXPECT_EQ(panelWord(before, ui::kPanelListFirstWord) + r.row, static_cast<uint32_t>(r.taken));
            EXPECT_EQ(panelWord(after, ui::kPanelListSelectedWord), r.row) << "the clicked row is marked";
        }
    }
}

// The keys scroll the list only past its edges.
TEST(InventoryScreens, KeysScrollTheRecipeListOnlyPastItsEdges) {
    App app;
    app.ui.container.kind = ContainerKind::Workbench;
    app.rules.recipes.assign(12, content::Recipe{});
    const struct {
        int key, presses;
        int32_t recipe, scroll;
    } steps[] = {{GLFW_KEY_DOWN, 9, 9, 0}, {GLFW_KEY_DOWN, 2, 11, 2}, {GLFW_KEY_UP, 9, 2, 2}, {GLFW_KEY_UP, 1, 1, 1}};
    for (const auto& s : steps) {
        for (int k = 0; k < s.presses; ++k) ui::notePress(app.ui.keyPresses, s.key);
        app.handleCraftingKeys();
        EXPECT_EQ(std::pair(app.ui.container.recipe, app.ui.container.recipeScroll), std::pair(s.recipe, s.scroll));
    }
}

// Shift with a click moves what the other side has room for and leaves the rest.
TEST(InventoryScreens, ShiftClickMovesOnlyWhatTheOtherSideHasRoomFor) {
    const InventorySlot other{201, 64, 0};
    const CellKey cell{2, 64, 2};
    const struct {
        const char* name;
        int32_t screen;
        uint32_t code;
        InventorySlot last;  // the other side's last slot; the rest hold other items
        int32_t left, lastCount;
    } rows[] = {
        {"the main rows are exactly full", 0, 0, other, 10, 64},
        {"room for exactly the stack", 0, 0, {200, 54, 0}, 0, 64},
        {"room for one item less", 0, 0, {200, 55, 0}, 1, 64},
        {"one empty slot", 0, 0, {}, 0, 10},
        {"the hotbar is exactly full", 0, 9, other, 10, 64},
        {"room for four in the hotbar", 0, 9, {200, 60, 0}, 6, 64},
        {"the chest is exactly full", ui::kChestScreen, 0, other, 10, 64},
        {"the chest has room for the stack", ui::kChestScreen, 0, {200, 54, 0}, 0, 64},
    };
    for (const auto& r : rows) {
        App app;
        app.files.worldOpen = true;
        app.setScreen(0);
        if (r.screen == ui::kChestScreen)
            app.openContainerScreen(ContainerKind::Chest, cell);
        else
            app.openInventory();
        app.inventory.hotbar.fill(other);
        app.inventory.main.fill(other);
        std::span<InventorySlot> side(app.inventory.hotbar);
        if (r.screen == ui::kChestScreen)
            side = app.containers.chests[app.dimension][cell];
        else if (r.code < 9)
            side = app.inventory.main;
        std::fill(side.begin(), side.end(), other);
        side.back() = r.last;
        InventorySlot& from = *app.screenSlot(r.code);
        from = {200, 10, 0};
        app.quickMoveSlot(r.code);
        EXPECT_EQ(from.count, r.left) << r.name;
        EXPECT_EQ(from.id, r.left > 0 ? 200 : 0) << r.name;
        EXPECT_EQ(side.back().count, r.lastCount) << r.name;
    }
}

// Rolling the wheel down moves right; whole notches count, a number key wins.
TEST(InventoryScreens, TheWheelWrapsPastTheFirstAndLastSlotAndANumberKeyWins) {
    const struct {
        int32_t from;
        double wheel;
        int key;
        int32_t to;
        double kept;
    } rows[] = {
        {8, -1.0, 0, 0, 0.0},  {0, 1.0, 0, 8, 0.0},  // past the last slot and past the first
        {4, 0.9, 0, 4, 0.9},   {4, -2.5, 0, 6, -0.5}, {0, 10.0, 0, 8, 0.0},
        {2, -1.0, GLFW_KEY_9, 8, 0.0}, {2, 1.0, GLFW_KEY_1, 0, 0.0},
    };
    App app;
    for (const auto& r : rows) {
        app.inventory.selected = r.from;
        app.player.scrollAccumulator = r.wheel;
        if (r.key != 0) ui::notePress(app.ui.keyPresses, r.key);
        app.selectHotbarSlot();
        EXPECT_EQ(app.inventory.selected, r.to) << r.from << " by " << r.wheel;
        EXPECT_DOUBLE_EQ(app.player.scrollAccumulator, r.kept) << r.from << " by " << r.wheel;
    }
}

}  // namespace
