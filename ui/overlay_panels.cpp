#include <GLFW/glfw3.h>

#include "app/app.h"
#include "ui/chat.h"
#include "ui/menu_buttons.h"
#include "ui/panel_words.h"
#include "ui/screen_slots.h"

namespace {

// The furnace and chest screens are named by their screen; the crafting screen by its station.
std::u32string windowTitle(int32_t screen, ContainerKind kind) {
    if (screen == ui::kFurnaceScreen) return U"ПЕЧЬ";
    if (screen == ui::kChestScreen) return U"СУНДУК";
    return kind == ContainerKind::Alchemy ? U"АЛХИМИЧЕСКИЙ СТОЛ" : U"ВЕРСТАК";
}

}  // namespace

// In play the open entry shows the scrolled view; closed, the newest lines show for a while.
ui::ChatOverlay App::chatOverlay() const {
    ui::ChatOverlay chat;
    if (ui.menuOpen || ui.inGameWindow) return chat;
    chat.entryOpen = ui.textEntryActive;
    chat.entry = ui.chatEntry;
    if (chat.entryOpen)
        chat.rows = ui::chatViewRows(ui.chatLines, ui.textViewLine, ui::kChatRowsShown);
    else if (gpu.win && glfwGetTime() < ui.chatShownUntil)
        chat.rows = ui::chatViewRows(ui.chatLines, 0, ui::kChatIdleRows);
    return chat;
}

void App::writeScreenOverlay(std::span<uint32_t> words) {
    ui::OverlayPanels panels;
    if (gpu.win && glfwGetTime() < ui.toast.until) panels.toast = ui.toast.text;
    const ContainerView& view = ui.container;
    if (ui.screen >= ui::kCraftingScreen && ui.screen <= ui::kChestScreen) {
        panels.title = windowTitle(ui.screen, view.kind);
        panels.hint = U"ESC ИЛИ E ЗАКРЫТЬ";
    }
    const auto& chests = cellsIn(containers.chests, dimension);
    const auto chest = chests.find({view.cell[0], view.cell[1], view.cell[2]});
    if (ui.screen == ui::kChestScreen && chest != chests.end()) {
        panels.chest = &chest->second;
    } else if (ui.screen == ui::kCraftingScreen) {
        panels.recipes = &openRecipes();
        panels.selectedRecipe = view.recipe;
        panels.recipeScroll = view.recipeScroll;
        panels.hint = openRecipes().empty() ? U"НЕТ РЕЦЕПТОВ" : U"ENTER ИЛИ ЛКМ ПО РЕЗУЛЬТАТУ: СОЗДАТЬ";
    }
    panels.armour = player.armor;
    // Screen 5, the world list: with no world listed, its notice says why.
    if (ui.screen == 5 && ui.worlds.empty())
        panels.worldNotice = ui::worldListNotice(saves.worldListProblems);
    ui::writeOverlayPanels(words, std::move(panels));
    ui::writeMenuButtonLines(words);
    writeLanScreenOverlay(words);
    writeMapOverlay(words);
    ui::writeChatOverlay(words, chatOverlay());
}
