// What the interface block of a frame is made from, gathered from the App: the screen, the
// inventory, the hovered slot, the player's health and food, the held bow and the open window.
#include "render/frame/interface_inputs.h"

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "ui/panel_words.h"
#include "ui/screen_slots.h"
#include "world/terrain_columns.h"

namespace {

uint32_t hoveredValue(const App& app, std::array<float, 2> cursor) {
    const auto width = static_cast<float>(app.gpu.swapchainWidth), height = static_cast<float>(app.gpu.swapchainHeight);
    if (app.ui.inventoryOpen) return ui::inventoryHit(cursor[0], cursor[1], width, height);
    if (app.ui.menuOpen && app.ui.screen == ui::kChestScreen) return ui::inventorySlotAt(cursor[0], cursor[1], width, height);
    if (app.ui.menuOpen && (app.ui.screen == ui::kFurnaceScreen || app.ui.screen == ui::kCraftingScreen))
        return ui::screenSlotAt(app.ui.screen, cursor[0], cursor[1], width, height);
    if (app.ui.menuOpen) return app.ui.hoveredSlot;
    const voxel::GenerationContext context{app.files.seed, app.generationStage, app.world.profile};
    const int32_t biome = voxel::biomeIndex(context, static_cast<int32_t>(std::floor(app.player.x)),
                                            static_cast<int32_t>(std::floor(app.player.z)));
    return render::kBiomeHoverBase + static_cast<uint32_t>(biome);
}

// The open furnace's or crafting station's words of the interface block.
void containerWords(const App& app, render::InterfaceInputs& in) {
    const std::array<int32_t, 3>& c = app.ui.container.cell;
    if (app.ui.screen == ui::kFurnaceScreen) {
        const auto& furnaces = cellsIn(app.machines, app.dimension);
        const auto furnace = furnaces.find({c[0], c[1], c[2]});
        if (furnace == furnaces.end()) return;
        int32_t ticks = 0;
        for (const content::SmeltingRecipe& recipe : app.rules.furnace.recipes)
            if (recipe.input == furnace->second.slots[0].id && ticks == 0) ticks = recipe.ticks;
        in.furnaceWords = ui::furnaceWords(furnace->second, ticks);
    } else if (app.ui.screen == ui::kCraftingScreen) {
        in.craftingWords = ui::craftingWords(app.selectedRecipe(), in.slots, app.craftableCount());
    }
}

}  // namespace

namespace render {

InterfaceInputs interfaceInputs(const App& app) {
    InterfaceInputs in;
    in.framebuffer = {static_cast<float>(app.gpu.swapchainWidth), static_cast<float>(app.gpu.swapchainHeight)};
    in.screen = app.ui.screen;
    in.menuOpen = app.ui.menuOpen;
    in.hideInterface = !app.gpu.capturePath.empty() && !app.frame.keepInterface;
    in.selectedSlot = static_cast<uint32_t>(app.inventory.selected);
    std::copy(app.inventory.hotbar.begin(), app.inventory.hotbar.end(), in.slots.begin());
    std::copy(app.inventory.main.begin(), app.inventory.main.end(), in.slots.begin() + app.inventory.hotbar.size());
    in.head = app.frame.head;
    in.cursor = app.cursorInFramebuffer();
    in.hovered = hoveredValue(app, in.cursor);
    in.health = app.player.health;
    // Each level of the first skill raises the maximum health by 2, and the bar shows the share of it.
    in.firstSkill = app.combat.progression.skills[0];
    in.food = app.player.food[0];
    in.menuValue = app.frame.menuValue;
    in.cursorStack = app.inventory.cursor;
    in.inventoryOpen = app.ui.inventoryOpen;
    in.useFraction = app.useFraction();
    if (app.isHoldingBow()) {
        const uint8_t arrow = app.arrowResourceId();
        const float draw = bowDrawFraction(app.actions.bowDrawing, app.clock.tick, app.actions.bowDrawStartTick);
        in.bow = bowField(draw, app.countItem(arrow), arrow);
    }
    app.buildMenuLabels(in.labelGlyphs, in.labelCounts);
    containerWords(app, in);
    return in;
}

}  // namespace render
