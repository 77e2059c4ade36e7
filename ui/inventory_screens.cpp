// The inventory and the container windows over play: opening and closing them, moving stacks with
// the mouse, crafting from the selected recipe.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "render/interface/interface_block.h"
#include "ui/panel_words.h"
#include "ui/screen_slots.h"
#include "ui/slot_moves.h"
#include "world/block_registry.h"

namespace {

constexpr int kInventoryKey = GLFW_KEY_E;

bool containerScreen(int32_t screen) { return screen >= ui::kCraftingScreen && screen <= ui::kChestScreen; }

int32_t maxStackOf(uint8_t id) {
    if (id == 0 || !voxel::isValidBlockId(id)) return 64;
    return std::clamp(voxel::blockIntField(id), 1, 64);
}

std::array<InventorySlot, 36> gather(const Inventory& inventory) {
    std::array<InventorySlot, 36> all{};
    std::copy(inventory.hotbar.begin(), inventory.hotbar.end(), all.begin());
    std::copy(inventory.main.begin(), inventory.main.end(), all.begin() + 9);
    return all;
}

void scatter(Inventory& inventory, const std::array<InventorySlot, 36>& all) {
    std::copy(all.begin(), all.begin() + 9, inventory.hotbar.begin());
    std::copy(all.begin() + 9, all.end(), inventory.main.begin());
}

CellKey cellOf(const ContainerView& view) { return {view.cell[0], view.cell[1], view.cell[2]}; }

// The slot under the cursor on the open inventory (screen 0) or container screen.
uint32_t slotUnderCursor(const App& app) {
    const auto [x, y] = app.cursorInFramebuffer();
    const int32_t screen = app.ui.inventoryOpen ? 0 : app.ui.screen;
    return ui::screenSlotAt(screen, x, y, static_cast<float>(app.gpu.swapchainWidth),
                            static_cast<float>(app.gpu.swapchainHeight));
}

}  // namespace

// A stack left on the cursor goes back into the inventory; what has no room falls at the feet.
void App::returnCursorStack() {
    InventorySlot& cursor = inventory.cursor;
    if (cursor.id == 0 || cursor.count <= 0) {
        cursor = InventorySlot{};
        return;
    }
    std::array<InventorySlot, 36> all = gather(inventory);
    const int32_t left = cursor.wear == 0 ? ui::addItems(all, cursor.id, cursor.count, maxStackOf(cursor.id))
                                          : cursor.count;
    if (left < cursor.count) scatter(inventory, all);
    if (left > 0 && cursor.wear != 0) {
        const auto empty = std::find_if(all.begin(), all.end(), [](const InventorySlot& s) { return s.id == 0; });
        if (empty != all.end()) {
            *empty = cursor;
            scatter(inventory, all);
            cursor = InventorySlot{};
            return;
        }
    }
    if (left > 0) dropItem(cursor.id, left, player.x, player.y - 1.0f, player.z);
    cursor = InventorySlot{};
}

const std::vector<content::Recipe>& App::openRecipes() const {
    return ui.container.kind == ContainerKind::Alchemy ? rules.alchemyRecipes : rules.recipes;
}

const content::Recipe* App::selectedRecipe() const {
    const std::vector<content::Recipe>& list = openRecipes();
    if (list.empty()) return nullptr;
    return &list[static_cast<std::size_t>(std::clamp(ui.container.recipe, 0, static_cast<int32_t>(list.size()) - 1))];
}

uint32_t App::craftableCount() const {
    const content::Recipe* recipe = selectedRecipe();
    return recipe ? static_cast<uint32_t>(std::min(ui::craftableTimes(*recipe, gather(inventory)), 999)) : 0u;
}

// false: how many times the selected recipe can be made now. true: makes it once and returns the
// count made (0 when refused: short of an ingredient or no room for the result).
uint32_t App::craftSelected(bool apply) {
    const content::Recipe* recipe = selectedRecipe();
    if (!apply || !recipe) return craftableCount();
    std::array<InventorySlot, 36> all = gather(inventory);
    if (!ui::craftOnce(*recipe, all, maxStackOf(recipe->result))) {
        if (ui::craftableTimes(*recipe, all) > 0) showToast(U"НЕТ МЕСТА");
        return 0;
    }
    scatter(inventory, all);
    saveActionFiles();
    return static_cast<uint32_t>(recipe->count);
}

InventorySlot* App::screenSlot(uint32_t code) {
    if (code < 9) return &inventory.hotbar[code];
    if (code < 36) return &inventory.main[code - 9];
    if (code >= ui::kArmourSlotBase && code < ui::kArmourSlotBase + 4) return &player.armor[code - ui::kArmourSlotBase];
    const CellKey cell = cellOf(ui.container);
    if (ui.screen == ui::kFurnaceScreen && code >= ui::kFurnaceSlotBase && code < ui::kFurnaceSlotBase + 3)
        return &machines[dimension][cell].slots[code - ui::kFurnaceSlotBase];
    if (ui.screen == ui::kChestScreen && code >= ui::kChestSlotBase && code < ui::kChestSlotBase + 27)
        return &containers.chests[dimension][cell][code - ui::kChestSlotBase];
    return nullptr;
}

// Whether the cursor's stack may go into that slot at all.
bool App::slotAccepts(uint32_t code, const InventorySlot& stack) const {
    if (stack.id == 0) return true;
    if (code >= ui::kArmourSlotBase && code < ui::kArmourSlotBase + 4)
        return ui::armourSlotAccepts(static_cast<int32_t>(code - ui::kArmourSlotBase), stack.id);
    if (code == ui::kFurnaceSlotBase + 1) return rules.furnace.fuels.contains(stack.id);
    return code != ui::kFurnaceSlotBase + 2;
}

void App::clickScreenSlot(uint32_t code, bool right) {
    InventorySlot* slot = screenSlot(code);
    if (!slot) return;
    InventorySlot& cursor = inventory.cursor;
    const int32_t maxStack = maxStackOf(cursor.id != 0 ? cursor.id : slot->id);
    if (code == ui::kFurnaceSlotBase + 2) return ui::takeFromOutput(*slot, cursor, maxStack);
    if (!slotAccepts(code, cursor)) return;
    // An armour slot holds a single item.
    const bool armour = code >= ui::kArmourSlotBase && code < ui::kArmourSlotBase + 4;
    const int32_t limit = armour ? 1 : maxStack;
    if (right)
        ui::rightClickSlot(*slot, cursor, limit);
    else
        ui::leftClickSlot(*slot, cursor, limit);
}

// Shift with a click: the whole stack to the other side (container and inventory, or hotbar and
// the main rows).
void App::quickMoveSlot(uint32_t code) {
    InventorySlot* slot = screenSlot(code);
    if (!slot || slot->id == 0 || slot->wear != 0) return;
    const int32_t maxStack = maxStackOf(slot->id);
    std::array<InventorySlot, 36> all = gather(inventory);
    int32_t left = slot->count;
    if (code >= 36) {
        left = ui::addItems(all, slot->id, left, maxStack);
        scatter(inventory, all);
    } else if (ui.screen == ui::kChestScreen) {
        left = ui::addItems(containers.chests[dimension][cellOf(ui.container)], slot->id, left, maxStack);
    } else if (ui.screen == ui::kFurnaceScreen) {
        const uint32_t target = ui::kFurnaceSlotBase + (rules.furnace.fuels.contains(slot->id) ? 1u : 0u);
        InventorySlot& into = *screenSlot(target);
        left = ui::addItems(std::span<InventorySlot>(&into, 1), slot->id, left, maxStack);
    } else {
        const std::span<InventorySlot> side = code < 9 ? std::span<InventorySlot>(inventory.main)
                                                       : std::span<InventorySlot>(inventory.hotbar);
        left = ui::addItems(side, slot->id, left, maxStack);
    }
    slot->count = left;
    if (left == 0) *slot = InventorySlot{};
}

std::array<float, 2> App::cursorInFramebuffer() const {
    if (!gpu.win) return {0.0f, 0.0f};
    double x = 0.0, y = 0.0;
    int ww = 0, wh = 0, fw = 0, fh = 0;
    glfwGetCursorPos(gpu.win, &x, &y);
    glfwGetWindowSize(gpu.win, &ww, &wh);
    glfwGetFramebufferSize(gpu.win, &fw, &fh);
    return render::framebufferCursor(x, y, ww, wh, fw, fh);
}

void App::handleSlotClicks() {
    const uint32_t lefts = ui::takePresses(ui.buttonPresses, GLFW_MOUSE_BUTTON_LEFT);
    const uint32_t rights = ui::takePresses(ui.buttonPresses, GLFW_MOUSE_BUTTON_RIGHT);
    if (lefts + rights == 0) return;
    const auto [x, y] = cursorInFramebuffer();
    const int32_t screen = ui.inventoryOpen ? 0 : ui.screen;
    const uint32_t code = ui::screenSlotAt(screen, x, y, static_cast<float>(gpu.swapchainWidth),
                                           static_cast<float>(gpu.swapchainHeight));
    const bool shift = gpu.win && (glfwGetKey(gpu.win, GLFW_KEY_LEFT_SHIFT) == GLFW_PRESS ||
                                   glfwGetKey(gpu.win, GLFW_KEY_RIGHT_SHIFT) == GLFW_PRESS);
    for (uint32_t k = 0; k < lefts; ++k) {
        if (code == ui::kResultCell) craftSelected(true);
        else if (code >= ui::kRecipeRowBase && code < ui::kRecipeRowBase + ui::kRecipeRowsShown) selectRecipeRow(code - ui::kRecipeRowBase);
        else if (shift) quickMoveSlot(code);
        else clickScreenSlot(code, false);
    }
    for (uint32_t k = 0; k < rights; ++k) clickScreenSlot(code, true);
}

// The row takes the recipe drawn in it; the list stays where it is, so the next click on the same
// spot finds the same recipe.
void App::selectRecipeRow(uint32_t row) {
    ContainerView& view = ui.container;
    const auto total = static_cast<int32_t>(openRecipes().size());
    const int32_t rows = std::min<int32_t>(total, ui::kRecipeRowsShown);
    view.recipeScroll = ui::recipeListFirst(view.recipeScroll, view.recipe, total);
    if (static_cast<int32_t>(row) < rows) view.recipe = view.recipeScroll + static_cast<int32_t>(row);
}

void App::handleCraftingKeys() {
    const auto total = static_cast<int32_t>(openRecipes().size());
    const int32_t down = static_cast<int32_t>(ui::takePresses(ui.keyPresses, GLFW_KEY_DOWN) +
                                              ui::takePresses(ui.keyPresses, GLFW_KEY_S));
    const int32_t up = static_cast<int32_t>(ui::takePresses(ui.keyPresses, GLFW_KEY_UP) +
                                            ui::takePresses(ui.keyPresses, GLFW_KEY_W));
    if (total > 0) ui.container.recipe = std::clamp(ui.container.recipe + down - up, 0, total - 1);
    // The keys move the list only as far as it takes to show the chosen recipe.
    ui.container.recipeScroll = ui::recipeListFirst(ui.container.recipeScroll, ui.container.recipe, total);
    const uint32_t enters = ui::takePresses(ui.keyPresses, GLFW_KEY_ENTER);
    for (uint32_t k = 0; k < enters; ++k) craftSelected(true);
}

// The container screens' turn within handleScreenInput.
void App::handleContainerInput() {
    if (!containerScreen(ui.screen)) return;
    // A chest or furnace broken while its window is open takes the window with it.
    const CellKey cell = cellOf(ui.container);
    const bool gone =
        (ui.screen == ui::kChestScreen && !cellsIn(containers.chests, dimension).contains(cell)) ||
        (ui.screen == ui::kFurnaceScreen && !cellsIn(machines, dimension).contains(cell));
    if (gone || ui::takePresses(ui.keyPresses, kInventoryKey) > 0) {
        closeScreen();
        return;
    }
    if (ui.screen == ui::kCraftingScreen) handleCraftingKeys();
    ui.hoveredSlot = slotUnderCursor(*this);
    handleSlotClicks();
}

// In play: the inventory key opens and closes the inventory; while it is open the mouse moves stacks.
void App::handleInventoryInput() {
    if (!files.worldOpen || ui.menuOpen) return;
    if (ui::takePresses(ui.keyPresses, kInventoryKey) > 0) {
        if (ui.inventoryOpen)
            closeScreen();
        else
            openInventory();
        return;
    }
    if (!ui.inventoryOpen) return;
    const double now = gpu.win ? glfwGetTime() : player.inputClock;
    player.frameDelta = static_cast<float>(now - player.inputClock);
    player.inputClock = now;
    // Hovering an armour slot brightens its piece on the portrait.
    ui.hoveredSlot = slotUnderCursor(*this);
    handleSlotClicks();
}

// Leaves the inventory or a container window: the cursor stack goes back, the host hears of it,
// the inventory is saved with the chest or furnace it took from and what fell at the feet, and play
// resumes.
void App::closeScreen() {
    returnCursorStack();
    const bool container = ui.screen >= 9 && ui.screen <= 11;
    const bool overPlay = container || ui.inventoryOpen;
    if (overPlay) {
        sendClientEvent(net::kEventScreenClosed, static_cast<uint32_t>(ui.screen));
        saveActionFiles();
    }
    ui.inventoryOpen = false;
    ui.inGameWindow = false;
    ui.hoveredSlot = ui::kNoSlot;
    if (container) {
        setScreen(UiState::kPlaying);
    } else {
        rearmInputLatches();
        if (!ui.menuOpen) setCursorCaptured(true);
    }
    releaseHeldActions();
}
