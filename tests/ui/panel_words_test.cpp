#include <gtest/gtest.h>

#include "ui/panel_words.h"

namespace {

TEST(PanelWords, FurnaceShareOf200ClampsAndNeedsAWhole) {
    const struct {
        const char* name;
        int32_t progress, recipeTicks, burnLeft, burnTotal;
        uint32_t inputShare, fuelShare;
    } cases[] = {
        {"halfway", 100, 200, 30, 60, 100, 100},
        {"done exactly", 200, 200, 60, 60, 200, 200},
        {"past the end", 201, 200, 61, 60, 200, 200},
        {"no recipe, no total", 50, 0, 5, 0, 0, 0},
        {"one tick of three", 1, 3, 1, 3, 66, 66},
    };
    for (const auto& c : cases) {
        const Machine furnace{.slots = {InventorySlot{3, 2, 0}, InventorySlot{8, 70, 0}, InventorySlot{9, 5, 0}},
                              .burnRemaining = c.burnLeft, .smeltProgress = c.progress, .burnTotal = c.burnTotal};
        const std::array<uint32_t, 3> words = ui::furnaceWords(furnace, c.recipeTicks);
        EXPECT_EQ(words[0], c.inputShare << 16 | 2u << 8 | 3u) << c.name;
        EXPECT_EQ(words[1], c.fuelShare << 16 | 64u << 8 | 8u) << c.name << ": the count shows at most 64";
        EXPECT_EQ(words[2], 5u << 8 | 9u) << c.name;
    }
}

TEST(PanelWords, RecipeListKeepsTheSelectedRowInView) {
    std::vector<content::Recipe> recipes(12);
    for (std::size_t k = 0; k < recipes.size(); ++k) recipes[k].result = static_cast<uint8_t>(20 + k);
    const struct {
        int32_t selected;
        uint32_t first, row;
    } cases[] = {{0, 0, 0}, {9, 0, 9}, {10, 1, 9}, {11, 2, 9}, {40, 2, 9}, {-3, 0, 0}};
    for (const auto& c : cases) {
        std::array<uint32_t, ui::kPanelWords> panel{};
        ui::writeRecipePanel(panel, recipes, c.selected);
        EXPECT_EQ(panel[ui::kPanelListFirstWord - ui::kPanelWord], c.first) << c.selected;
        EXPECT_EQ(panel[ui::kPanelListSelectedWord - ui::kPanelWord], c.row) << c.selected;
        EXPECT_EQ(panel[ui::kPanelListIdsWord - ui::kPanelWord], 20u + c.first) << c.selected;
    }
}

}  // namespace
