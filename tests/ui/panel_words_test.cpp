#include <gtest/gtest.h>

#include <vector>

#include "render/interface/overlay_text.h"
#include "ui/font_alphabet.h"
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

// The list moves only as far as it takes to show the selected recipe and to fill its ten rows:
// the selection at the first and last visible rows and one past them, lists shorter than the view.
TEST(PanelWords, RecipeListMovesOnlyToShowTheSelectedRow) {
    const struct {
        int32_t total, first, selected, shownFirst;
    } cases[] = {
        {12, 0, 0, 0},  {12, 0, 9, 0},  {12, 0, 10, 1},  {12, 2, 2, 2},  {12, 2, 1, 1},  {12, 2, 11, 2},
        {12, 1, 11, 2}, {12, 5, 11, 2}, {12, 0, 40, 2},  {12, -3, 0, 0}, {12, 2, -3, 0}, {10, 0, 9, 0},
        {10, 1, 9, 0},  {11, 0, 10, 1}, {3, 1, 2, 0},    {0, 4, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ui::recipeListFirst(c.first, c.selected, c.total), c.shownFirst)
            << c.total << " " << c.first << " " << c.selected;
}

// A long file message fills the toast line with the message, "..." and the end of the path.
TEST(PanelWords, TheToastLineKeepsTheFileNameOfALongMessage) {
    std::vector<uint32_t> words((render::kFirstTextLineRecord + 40) * render::kTextLineWords, 0);
    ui::OverlayPanels panels;
    panels.toast = U"Damaged chunk file (checksum mismatch): /" + std::u32string(40, U'D') + U"/CHUNKS/5.BIN";
    ui::writeOverlayPanels(words, panels);
    const uint32_t* line = words.data() + (render::kFirstTextLineRecord + ui::kToastTextLine) * render::kTextLineWords;
    const auto glyph = [&](uint32_t i) { return (line[1 + i / 4] >> (8 * (i % 4))) & 0xFFu; };
    EXPECT_EQ(line[0], 60u);
    EXPECT_EQ(glyph(40), ui::glyphIndex(U'.'));
    EXPECT_EQ(glyph(59), ui::glyphIndex(U'N'));
}

}  // namespace
