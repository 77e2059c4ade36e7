#include "ui/message_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u32string repeated(char32_t c, std::size_t n) {
    return std::u32string(n, c);
}

// Each length at its edge: a line that fits exactly stays, one glyph more shortens the path from
// the left and keeps the message and the file's name; a cause after the name stays too.
TEST(MessageLines, ALongPathLosesItsLeftSideFirst) {
    const std::u32string message = U"Damaged chunk file (checksum mismatch): ";  // 40 characters
    const std::u32string file = U"/Chunks/5_0.bin";
    const std::u32string fits = message + U"/s" + repeated(U'd', 60 - 40 - 2 - 15) + file;
    const std::u32string over = message + U"/s" + repeated(U'd', 60 - 40 - 2 - 15 + 1) + file;
    const struct {
        const char* name;
        std::u32string text, line;
    } cases[] = {
        {"fits exactly", fits, fits},
        {"one glyph too long", over, message + U"..." + (repeated(U'd', 2) + file)},
        {"relative path", U"Unreadable save file, left as it is: Saves/" + repeated(U'w', 30) + U"/bed.dat",
         U"Unreadable save file, left as it is: ..." + repeated(U'w', 12) + U"/bed.dat"},
        {"cause after the name", U"Invalid world name in /" + repeated(U'x', 30) + U"/world.txt: holds a tab",
         U"Invalid world name in ..." + repeated(U'x', 12) + U"/world.txt: holds a tab"},
        {"no path", repeated(U'Ж', 61), repeated(U'Ж', 60)},
        {"no room beside the message", repeated(U'm', 58) + U": /a/b.txt", repeated(U'm', 58) + U": "},
        {"empty", U"", U""},
    };
    for (const auto& c : cases) {
        const std::u32string line = ui::fitMessageLine(c.text);
        EXPECT_EQ(line, c.line) << c.name;
        EXPECT_LE(line.size(), ui::kLineGlyphs) << c.name;
    }
}

TEST(MessageLines, TheWorldListSaysHowManyWorldsWereLeftOutAndWhy) {
    EXPECT_EQ(ui::worldListNotice({}), (std::array<std::u32string, 3>{})) << "nothing left out, no notice";
    const auto notice =
        ui::worldListNotice({"world_2: world.txt is missing", "world_7: world.txt cannot be read"});
    EXPECT_EQ(notice[0], U"ОТЛОЖЕНО МИРОВ: 2, ИХ ФАЙЛЫ НЕ ЧИТАЮТСЯ");
    EXPECT_EQ(notice[1], U"world_2: world.txt is missing");
    EXPECT_EQ(notice[2], U"ВСЕ ПРИЧИНЫ: SAVES/WORLD_LIST_ERRORS.TXT");
    for (const std::u32string& row : notice) EXPECT_LE(row.size(), ui::kLineGlyphs);
}

}  // namespace
