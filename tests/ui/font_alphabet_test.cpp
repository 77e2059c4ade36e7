#include <gtest/gtest.h>

#include "ui/font_alphabet.h"

namespace {

TEST(FontAlphabet, SpaceThenLatinCyrillicDigitsAndPunctuation) {
    const std::u32string& alphabet = ui::fontAlphabet();
    ASSERT_EQ(alphabet.size(), 91u);
    EXPECT_EQ(alphabet[0], U' ');
    const std::pair<char32_t, uint32_t> glyphs[] = {{U'A', 1}, {U'Z', 26}, {U'А', 27}, {U'Ё', 33},
                                                    {U'Я', 59}, {U'0', 60}, {U'9', 69}};
    for (const auto& [c, index] : glyphs) EXPECT_EQ(ui::glyphIndex(c), index) << static_cast<uint32_t>(c);
    for (char32_t c = U'А'; c <= U'Я'; ++c) EXPECT_NE(ui::glyphIndex(c), 0u) << static_cast<uint32_t>(c);
}

TEST(FontAlphabet, EveryCharacterOnce) {
    const std::u32string& alphabet = ui::fontAlphabet();
    for (std::size_t i = 0; i < alphabet.size(); ++i) EXPECT_EQ(ui::glyphIndex(alphabet[i]), i);
    EXPECT_EQ(&ui::fontAlphabet(), &alphabet);
}

// The font has capitals only: a small letter is drawn by its capital, never dropped; the ends of
// both small alphabets and their neighbours just outside are in the table.
TEST(FontAlphabet, SmallLettersTakeTheirCapitalsAndUnknownOnesTheSpace) {
    const std::pair<char32_t, char32_t> cases[] = {
        {U'a', U'A'}, {U'z', U'Z'}, {U'q', U'Q'}, {U'A', U'A'},  {U'а', U'А'}, {U'я', U'Я'}, {U'в', U'В'},
        {U'ё', U'Ё'}, {U'Ё', U'Ё'}, {U'Ж', U'Ж'}, {U'0', U'0'},  {U'9', U'9'}, {U'?', U'?'},
        {U'`', 0},    {U'{', 0},    {U'€', 0},    {U'λ', 0},     {U'ѐ', 0},    {U'ђ', 0},   {U'\0', 0},
    };
    for (const auto& [c, drawnAs] : cases) {
        const uint32_t expected = drawnAs == 0 ? 0u : ui::glyphIndex(drawnAs);
        EXPECT_EQ(ui::glyphIndex(c), expected) << static_cast<uint32_t>(c);
        if (drawnAs != 0) {
            EXPECT_NE(expected, 0u) << static_cast<uint32_t>(c);
        }
    }
}

}  // namespace
