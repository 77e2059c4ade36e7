#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "app/app.h"
#include "ui/screen_slots.h"

namespace {

void tap(App& app, int key) { app.onKey(nullptr, key, 0, GLFW_PRESS, 0); }

TEST(InventoryScreens, ChestSlotsKeepWhatIsPutInAndTheCursorStackGoesBack) {
    App app;
    app.files.worldOpen = true;
    app.inventory.hotbar[0] = {1, 64, 0};
    const CellKey cell{4, 70, -2};
    app.openContainerScreen(ContainerKind::Chest, cell);
    ASSERT_EQ(app.ui.screen, ui::kChestScreen);
    app.clickScreenSlot(0, false);
    app.clickScreenSlot(ui::kChestSlotBase + 26, true);
    app.clickScreenSlot(ui::kChestSlotBase, false);
    EXPECT_EQ(app.containers.chests[cell][26].count, 1);
    EXPECT_EQ(app.containers.chests[cell][0].count, 63);
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
    app.containers.chests.erase(cell);
    app.handleScreenInput();
    EXPECT_EQ(app.ui.screen, 0) << "the chest was broken while open";
}

TEST(InventoryScreens, ArmourSlotRefusesABlockAndTheFurnaceOutputOnlyGives) {
    App app;
    app.files.worldOpen = true;
    app.inventory.cursor = {2, 5, 0};
    app.clickScreenSlot(ui::kArmourSlotBase + 1, false);
    EXPECT_EQ(app.player.armor[1].id, 0);
    EXPECT_EQ(app.inventory.cursor.count, 5);
    const CellKey cell{0, 64, 0};
    app.openContainerScreen(ContainerKind::Furnace, cell);
    app.clickScreenSlot(ui::kFurnaceSlotBase + 2, false);
    EXPECT_EQ(app.machines[cell].slots[2].id, 0) << "nothing is put into the output";
    app.machines[cell].slots[2] = {7, 3, 0};
    app.inventory.cursor = {};
    app.clickScreenSlot(ui::kFurnaceSlotBase + 2, false);
    EXPECT_EQ(app.inventory.cursor.count, 3);
}

TEST(InventoryScreens, WorkbenchCraftsTheSelectedRecipeFromInventoryStacks) {
    App app;
    app.files.worldOpen = true;
    app.rules.recipes = {{"test:a", "workbench", 9, 1, {{1, 5}}}, {"test:b", "workbench", 7, 4, {{2, 3}, {3, 1}}}};
    app.inventory.hotbar = {};
    app.inventory.main = {};
    app.inventory.hotbar[2] = {2, 2, 0};
    app.inventory.main[5] = {2, 4, 0};
    app.inventory.main[6] = {3, 1, 0};
    app.openContainerScreen(ContainerKind::Workbench, {1, 1, 1});
    tap(app, GLFW_KEY_DOWN);
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

}  // namespace

namespace {

TEST(InventoryScreens, InventoryKeyOpensAndEscapeClosesReturningTheCursorStack) {
    App app;
    app.files.worldOpen = true;
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

}  // namespace
