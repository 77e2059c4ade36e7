#pragma once
// What the inventory-type screens hand to the interface layout: the panel region of the per-frame
// overlay (the open chest's slots, the recipe list) and the interface block's words of the furnace
// and crafting screens. Pure, so the packing is tested without a window.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "content/recipes.h"
#include "game/machine.h"
#include "game/player_state.h"
#include "ui/message_lines.h"

namespace ui {

// Panel region of the overlay, in 32-bit words of the content meta buffer (bytes 40,960..41,216).
inline constexpr uint32_t kPanelWord = 10240;
inline constexpr uint32_t kPanelChestWord = kPanelWord;         // 27 slots, count << 8 | id
inline constexpr uint32_t kPanelListFirstWord = kPanelWord + 28;  // first shown recipe row
inline constexpr uint32_t kPanelListCountWord = kPanelWord + 29;  // rows shown, 0..10
inline constexpr uint32_t kPanelListSelectedWord = kPanelWord + 30;
inline constexpr uint32_t kPanelListIdsWord = kPanelWord + 31;  // result id of each shown row
inline constexpr uint32_t kPanelWords = 41;
// The worn armour after it, head to feet (slots 40..43 of the inventory screen).
inline constexpr uint32_t kPanelArmourWord = kPanelWord + kPanelWords;
inline constexpr uint32_t kPanelArmourWords = 4;
inline constexpr uint32_t kRecipeRowsShown = 10;

// Overlay text-line slots of the status message and the open window's title.
inline constexpr uint32_t kToastTextLine = 20;
inline constexpr uint32_t kTitleTextLine = 21;
// The world list's notice rows (ui/message_lines.h), from this line on; the title's hint is line 22.
inline constexpr uint32_t kWorldNoticeTextLine = 23;

// Crafting screen words of the interface block's slot area. Words 9..11 carry the settings.
inline constexpr std::size_t kCraftIngredientIdsWord = 6;  // four ids a word, two words
inline constexpr std::size_t kCraftIngredientCountWord = 8;
inline constexpr std::size_t kCraftResultWord = 12;  // count << 8 | id
inline constexpr std::size_t kCraftValueWord = 13;
inline constexpr std::size_t kMaxIngredients = 6;

uint32_t slotWord(const InventorySlot& slot);

// The panel region for an open chest (empty list) or recipe list (no chest slots).
void writeChestPanel(std::span<uint32_t> panel, const std::array<InventorySlot, 27>& chest);
// The recipe in the list's first row: `first` as it was, moved only as far as it takes to show the
// selected recipe and to fill the rows, so that a click never moves the list under the pointer.
int32_t recipeListFirst(int32_t first, int32_t selected, int32_t total);
// The shown rows from recipeListFirst(first, selected, total).
void writeRecipePanel(std::span<uint32_t> panel, const std::vector<content::Recipe>& recipes, int32_t selected,
                      int32_t first);

// Ingredients as min(held, 64) << 16 | required, their ids, their count, the result and the value
// of craftSelected(false). Zero words without a recipe.
std::array<uint32_t, 14> craftingWords(const content::Recipe* recipe, std::span<const InventorySlot> slots,
                                       uint32_t craftValue);

// The furnace screen's input (with smelting progress 0..200 << 16), fuel (with burn left 0..200
// << 16) and output words; recipeTicks 0 means the input has no recipe.
std::array<uint32_t, 3> furnaceWords(const Machine& furnace, int32_t recipeTicks);

}  // namespace ui

namespace ui {

// What the overlay's panel region and text lines show this frame.
struct OverlayPanels {
    std::u32string toast;  // empty once the 4 s are over
    std::u32string title;  // of the open container window
    std::u32string hint;
    std::array<std::u32string, kWorldNoticeRows> worldNotice;  // empty unless the world list shows it
    const std::array<InventorySlot, 27>* chest = nullptr;
    const std::vector<content::Recipe>* recipes = nullptr;
    int32_t selectedRecipe = 0;
    int32_t recipeScroll = 0;
    std::array<InventorySlot, 4> armour{};
};

// Writes the panel region, the armour words and the toast, title, hint and notice lines into the
// overlay words (the whole content meta buffer); the fixed regions are not touched. The toast is
// fitted to its line, so a long message keeps the name of the file it is about.
void writeOverlayPanels(std::span<uint32_t> words, OverlayPanels panels);

}  // namespace ui
