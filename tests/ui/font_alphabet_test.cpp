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

TEST(FontAlphabet, EveryCharacterOnceAndUnknownOnesBecomeTheSpace) {
    const std::u32string& alphabet = ui::fontAlphabet();
    for (std::size_t i = 0; i < alphabet.size(); ++i) EXPECT_EQ(ui::glyphIndex(alphabet[i]), i);
    for (const char32_t c : {U'a', U'я', U'€'}) EXPECT_EQ(ui::glyphIndex(c), 0u) << static_cast<uint32_t>(c);
    EXPECT_EQ(&ui::fontAlphabet(), &alphabet);
}

}  // namespace
