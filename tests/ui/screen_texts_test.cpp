#include "ui/screen_texts.h"

#include <gtest/gtest.h>

#include "render/interface/overlay_text.h"

namespace {

TEST(ScreenTexts, WrapBreaksAtSpacesSplitsLongWordsAndStopsAtTheLineCount) {
    EXPECT_EQ(ui::wrapText(U"AB CD EF", 5, 4), (std::vector<std::u32string>{U"AB CD", U"EF"}));
    EXPECT_EQ(ui::wrapText(U"ABCDEFG", 3, 4), (std::vector<std::u32string>{U"ABC", U"DEF", U"G"}));
    EXPECT_EQ(ui::wrapText(U"AB CD EF", 2, 2), (std::vector<std::u32string>{U"AB", U"CD"}));
    EXPECT_TRUE(ui::wrapText(U"   ", 4, 4).empty());
}

TEST(ScreenTexts, NpcOverlayMarksRowStatesAndTheAcceptButton) {
    ui::NpcWindow window;
    window.quests = {{"a", U"A", U"", adventure::QuestState::accepted, 2, 5},
                     {"b", U"B", U"", adventure::QuestState::locked, 0, 10}};
    window.selected = 1;
    const ui::ScreenOverlay o = ui::npcOverlay(window);
    EXPECT_EQ(o.state[ui::kStateRows], 2u);
    EXPECT_EQ(o.state[ui::kStateRowStates], 2u | 1u << 2);
    EXPECT_EQ(o.state[ui::kStateAccept], 0u);
    EXPECT_EQ(o.lines[ui::kLineDetail], U"ПРОГРЕСС: 0 / 10");
}

TEST(ScreenTexts, PauseListShowsTenNamesAndCountsAll) {
    std::vector<std::string> names;
    for (int k = 0; k < 12; ++k) names.push_back("P" + std::to_string(k));
    ui::ScreenOverlay o;
    ui::addPlayerList(o, names);
    EXPECT_EQ(o.state[ui::kStatePlayers], 10u);
    EXPECT_EQ(o.lines[ui::kLinePlayers], U"ИГРОКИ: 12");
    EXPECT_EQ(o.lines[ui::kLinePlayers + 10], U"P9");
    EXPECT_TRUE(o.lines[ui::kLinePlayers + 11].empty());
}

TEST(ScreenTexts, OverlayWritesStateWordsAndClearsUnusedLines) {
    std::vector<uint32_t> words((render::kFirstTextLineRecord + 100) * render::kTextLineWords, 7u);
    ui::ScreenOverlay o = ui::deathOverlay(false);
    o.state[3] = 42u;
    ui::writeScreenOverlay(words, o);
    const auto line = [&](uint32_t slot) { return words.data() + (render::kFirstTextLineRecord + slot) * 16; };
    EXPECT_EQ(line(ui::kScreenStateLine)[3], 42u);
    EXPECT_EQ(line(ui::kScreenFirstLine + ui::kLineTitle)[0], 10u);  // "ВЫ ПОГИБЛИ"
    EXPECT_EQ(line(ui::kScreenFirstLine + 5)[0], 0u);
    EXPECT_EQ(line(ui::kScreenFirstLine + 5)[1], 0u);
}

}  // namespace
