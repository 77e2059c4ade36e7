#include "ui/panel_words.h"

#include <algorithm>

#include "ui/slot_moves.h"

namespace ui {

uint32_t slotWord(const InventorySlot& slot) {
    if (slot.id == 0 || slot.count <= 0) return 0;
    return static_cast<uint32_t>(std::min(slot.count, 64)) << 8 | slot.id;
}

void writeChestPanel(std::span<uint32_t> panel, const std::array<InventorySlot, 27>& chest) {
    std::fill(panel.begin(), panel.end(), 0u);
    for (std::size_t k = 0; k < chest.size(); ++k) panel[k] = slotWord(chest[k]);
}

int32_t recipeListFirst(int32_t first, int32_t selected, int32_t total) {
    if (total <= 0) return 0;
    const int32_t rows = std::min<int32_t>(total, kRecipeRowsShown);
    selected = std::clamp(selected, 0, total - 1);
    first = std::clamp(first, selected - rows + 1, selected);
    return std::clamp(first, 0, total - rows);
}

void writeRecipePanel(std::span<uint32_t> panel, const std::vector<content::Recipe>& recipes, int32_t selected,
                      int32_t first) {
    std::fill(panel.begin(), panel.end(), 0u);
    const auto total = static_cast<int32_t>(recipes.size());
    if (total == 0) return;
    selected = std::clamp(selected, 0, total - 1);
    const int32_t rows = std::min<int32_t>(total, kRecipeRowsShown);
    first = recipeListFirst(first, selected, total);
    panel[kPanelListFirstWord - kPanelWord] = static_cast<uint32_t>(first);
    panel[kPanelListCountWord - kPanelWord] = static_cast<uint32_t>(rows);
    panel[kPanelListSelectedWord - kPanelWord] = static_cast<uint32_t>(selected - first);
    for (int32_t r = 0; r < rows; ++r) panel[kPanelListIdsWord - kPanelWord + r] = recipes[first + r].result;
}

std::array<uint32_t, 14> craftingWords(const content::Recipe* recipe, std::span<const InventorySlot> slots,
                                       uint32_t craftValue) {
    std::array<uint32_t, 14> words{};
    if (!recipe) return words;
    const std::size_t n = std::min(recipe->ingredients.size(), kMaxIngredients);
    for (std::size_t k = 0; k < n; ++k) {
        const content::RecipeIngredient& need = recipe->ingredients[k];
        const auto held = static_cast<uint32_t>(std::min(countIn(slots, need.resource), 64));
        words[k] = held << 16 | static_cast<uint32_t>(need.count);
        words[kCraftIngredientIdsWord + k / 4] |= static_cast<uint32_t>(need.resource) << (8 * (k % 4));
    }
    words[kCraftIngredientCountWord] = static_cast<uint32_t>(n);
    words[kCraftResultWord] = static_cast<uint32_t>(recipe->count) << 8 | recipe->result;
    words[kCraftValueWord] = craftValue;
    return words;
}

std::array<uint32_t, 3> furnaceWords(const Machine& furnace, int32_t recipeTicks) {
    const auto share = [](int64_t part, int64_t whole) {
        return whole <= 0 ? 0u : static_cast<uint32_t>(std::clamp<int64_t>(part * 200 / whole, 0, 200));
    };
    const uint32_t progress = share(furnace.smeltProgress, recipeTicks);
    const uint32_t burn = share(furnace.burnRemaining, furnace.burnTotal);
    return {progress << 16 | slotWord(furnace.slots[0]), burn << 16 | slotWord(furnace.slots[1]),
            slotWord(furnace.slots[2])};
}

}  // namespace ui

#include "render/interface/overlay_text.h"

namespace ui {

void writeOverlayPanels(std::span<uint32_t> words, OverlayPanels panels) {
    const uint32_t lastLine =
        (render::kFirstTextLineRecord + kWorldNoticeTextLine + kWorldNoticeRows) * render::kTextLineWords;
    if (words.size() < lastLine || words.size() < kPanelArmourWord + kPanelArmourWords) return;
    const std::span<uint32_t> panel = words.subspan(kPanelWord, kPanelWords);
    if (panels.chest)
        writeChestPanel(panel, *panels.chest);
    else if (panels.recipes)
        writeRecipePanel(panel, *panels.recipes, panels.selectedRecipe, panels.recipeScroll);
    else
        std::fill(panel.begin(), panel.end(), 0u);
    for (uint32_t k = 0; k < kPanelArmourWords; ++k) words[kPanelArmourWord + k] = slotWord(panels.armour[k]);
    std::u32string toast = fitMessageLine(panels.toast);
    render::encodeGlyphLine(words.data(), kToastTextLine, toast);
    render::encodeGlyphLine(words.data(), kTitleTextLine, panels.title);
    render::encodeGlyphLine(words.data(), kTitleTextLine + 1, panels.hint);
    for (uint32_t k = 0; k < kWorldNoticeRows; ++k)
        render::encodeGlyphLine(words.data(), kWorldNoticeTextLine + k, panels.worldNotice[k]);
}

}  // namespace ui
