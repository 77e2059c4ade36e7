// The chat: lines kept, the typed line at its limit, the view scrolled to both ends, what the
// overlay shows, and the keys that open, fill, send and cancel the entry.
#include "ui/chat.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "app/app.h"
#include "render/interface/overlay_text.h"

namespace {

std::vector<std::u32string> numbered(std::size_t count) {
    std::vector<std::u32string> lines;
    for (std::size_t i = 0; i < count; ++i) lines.push_back(ui::utf8ToUtf32(std::to_string(i)));
    return lines;
}

TEST(Chat, LinesAreKeptUpToTheCapAndTheOldestGoesFirst) {
    for (const std::size_t before : {ui::kMaxChatLines - 1, ui::kMaxChatLines}) {
        std::vector<std::u32string> lines = numbered(before);
        ui::addChatLine(lines, U"NEW");
        ASSERT_EQ(lines.size(), ui::kMaxChatLines) << before;
        EXPECT_EQ(lines.front(), before == ui::kMaxChatLines ? U"1" : U"0");
        EXPECT_EQ(lines.back(), U"NEW");
    }
}

TEST(Chat, TheEntryTakesPrintableCharactersUpToItsLength) {
    struct Row {
        std::size_t typed;
        char32_t c;
        bool taken;
    };
    const Row rows[] = {
        {ui::kMaxChatChars - 1, U'Я', true}, {ui::kMaxChatChars, U'Я', false}, {0, U' ', true},
        {0, U'~', true},  {0, 0x1F, false}, {0, 0x7F, false}, {0, 0x85, false}, {0, 0xD800, false},
        {0, 0x1F600, false},
    };
    for (const Row& row : rows) {
        std::u32string entry(row.typed, U'a');
        EXPECT_EQ(ui::typeChatChar(entry, row.c), row.taken) << row.typed << " " << static_cast<uint32_t>(row.c);
        EXPECT_EQ(entry.size(), row.typed + (row.taken ? 1 : 0));
    }
}

TEST(Chat, LinesNameTheSpeakerAndKeepToTheirLengths) {
    EXPECT_EQ(ui::chatLine(U"ИГРОК", U"ПРИВЕТ"), U"ИГРОК: ПРИВЕТ");
    const std::u32string longest =
        ui::chatLine(std::u32string(ui::kMaxChatNameChars + 1, U'N'), std::u32string(ui::kMaxChatChars + 1, U't'));
    EXPECT_EQ(longest, std::u32string(ui::kMaxChatNameChars, U'N') + U": " + std::u32string(ui::kMaxChatChars, U't'));
    EXPECT_LE(longest.size(), render::kTextLineGlyphs) << "one overlay line holds the longest";
    EXPECT_EQ(ui::trimmedChatEntry(U"  a b  "), U"a b");
    EXPECT_EQ(ui::trimmedChatEntry(U"   "), U"");
    EXPECT_EQ(ui::receivedChatText("a\nb\tc\x7f"), U"a b c ");
    EXPECT_EQ(ui::receivedChatText(std::string(ui::kMaxChatChars + 1, 'x')).size(), ui::kMaxChatChars);
}

TEST(Chat, TheViewScrollsBetweenTheNewestAndTheOldestLine) {
    const std::vector<std::u32string> lines = numbered(25);
    struct Row {
        int32_t back;
        std::u32string first, last;
        std::size_t count;
    };
    const Row rows[] = {
        {0, U"15", U"24", 10}, {1, U"14", U"23", 10}, {15, U"0", U"9", 10},
        {16, U"0", U"8", 9},   {24, U"0", U"0", 1},   {25, U"0", U"0", 1},
        {-1, U"15", U"24", 10},
    };
    for (const Row& row : rows) {
        const auto view = ui::chatViewRows(lines, row.back, ui::kChatRowsShown);
        ASSERT_EQ(view.size(), row.count) << row.back;
        EXPECT_EQ(view.front(), row.first) << row.back;
        EXPECT_EQ(view.back(), row.last) << row.back;
    }
    EXPECT_TRUE(ui::chatViewRows({}, 0, ui::kChatRowsShown).empty());
}

TEST(Chat, TheOverlayShowsTheNewestRowAboveTheEntry) {
    std::vector<uint32_t> words((render::kFirstTextLineRecord + 32) * render::kTextLineWords, 0xFFFFFFFFu);
    const auto count = [&](uint32_t line) { return words[(render::kFirstTextLineRecord + line) * render::kTextLineWords]; };
    ui::writeChatOverlay(words, {{U"AB", U"C"}, true, U"HI"});
    for (uint32_t line = 0; line < 8; ++line) EXPECT_EQ(count(line), 0u) << line;
    EXPECT_EQ(count(8), 2u);
    EXPECT_EQ(count(9), 1u);
    EXPECT_EQ(count(ui::kChatEntryTextLine), 4u) << "\"> \" and the text";
    EXPECT_EQ(count(ui::kChatEntryTextLine + 1), 0xFFFFFFFFu) << "the lines after it are not the chat's";
    ui::writeChatOverlay(words, {});
    for (uint32_t line = 0; line <= ui::kChatEntryTextLine; ++line) EXPECT_EQ(count(line), 0u) << line;
}

// An App in play as the key and character callbacks see it, without a window.
struct Playing : testing::Test {
    Playing() {
        app.files.worldOpen = true;
        app.setScreen(UiState::kPlaying);
    }
    void type(const std::u32string& text) {
        for (const char32_t c : text) app.onChar(nullptr, static_cast<unsigned int>(c));
    }
    void press(int key) { app.onKey(nullptr, key, 0, GLFW_PRESS, 0); }
    App app;
};

TEST_F(Playing, TTypedOpensTheEntryEnterSendsEscapeCancels) {
    press(GLFW_KEY_T);
    ASSERT_TRUE(app.ui.textEntryActive);
    type(U"tпривет");  // the letter of the opening key comes first and types nothing
    press(GLFW_KEY_E);  // a key that does something in play does nothing while typing
    press(GLFW_KEY_BACKSPACE);
    EXPECT_EQ(app.ui.chatEntry, U"приве");
    press(GLFW_KEY_ENTER);
    EXPECT_FALSE(app.ui.textEntryActive);
    ASSERT_EQ(app.ui.chatLines, std::vector<std::u32string>{U"ИГРОК: приве"});
    EXPECT_FALSE(app.ui.inventoryOpen);
    EXPECT_EQ(ui::takePresses(app.ui.keyPresses, GLFW_KEY_E), 0u);

    press(GLFW_KEY_ENTER);  // Enter opens it too, and types no letter of its own
    type(U"x");
    press(GLFW_KEY_ESCAPE);
    app.handleEscape();
    EXPECT_FALSE(app.ui.textEntryActive);
    EXPECT_EQ(app.ui.screen, UiState::kPlaying) << "Escape closed the entry, not the game";
    EXPECT_EQ(app.ui.chatLines.size(), 1u) << "nothing sent";

    press(GLFW_KEY_ENTER);
    type(U"   ");
    press(GLFW_KEY_ENTER);
    EXPECT_EQ(app.ui.chatLines.size(), 1u) << "a blank line is not said";
}

TEST_F(Playing, TheEntryOpensOnlyInPlay) {
    app.setScreen(UiState::kPause);
    press(GLFW_KEY_T);
    EXPECT_FALSE(app.ui.textEntryActive);
    app.setScreen(UiState::kPlaying);
    app.openInventory();
    press(GLFW_KEY_T);
    EXPECT_FALSE(app.ui.textEntryActive);
}

TEST_F(Playing, TheWheelScrollsTheOpenViewAndANewLineKeepsAScrolledViewInPlace) {
    for (int i = 0; i < 20; ++i) ui::showChatLine(app.ui, U"L" + ui::utf8ToUtf32(std::to_string(i)), 0.0);
    press(GLFW_KEY_T);
    app.onScroll(nullptr, 0.0, 2.0);
    EXPECT_EQ(app.ui.textViewLine, 6);
    EXPECT_EQ(app.player.scrollAccumulator, 0.0) << "the hotbar does not turn";
    ui::showChatLine(app.ui, U"L20", 0.0);
    EXPECT_EQ(app.ui.textViewLine, 7);
    EXPECT_EQ(ui::chatViewRows(app.ui.chatLines, app.ui.textViewLine, ui::kChatRowsShown).back(), U"L13");
    app.onScroll(nullptr, 0.0, 100.0);
    EXPECT_EQ(app.ui.textViewLine, 20);
    app.onScroll(nullptr, 0.0, -100.0);
    EXPECT_EQ(app.ui.textViewLine, 0);
}

}  // namespace
