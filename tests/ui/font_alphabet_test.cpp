#include <gtest/gtest.h>

#include "ui/font_alphabet.h"

namespace {

TEST(FontAlphabet, SpaceThenLatinCyrillicDigitsAndPunctuation) {
    const std::u32string& alphabet = ui::fontAlphabet();
    ASSERT_EQ(alphabet.size(), 91u);
    EXPECT_EQ(alphabet[0], U' ');
    EXPECT_EQ(ui::glyphIndex(U'A'), 1u);
    EXPECT_EQ(ui::glyphIndex(U'Z'), 26u);
    EXPECT_EQ(ui::glyphIndex(U'А'), 27u);
    EXPECT_EQ(ui::glyphIndex(U'Ё'), 33u);
    EXPECT_EQ(ui::glyphIndex(U'Я'), 59u);
    EXPECT_EQ(ui::glyphIndex(U'0'), 60u);
    EXPECT_EQ(ui::glyphIndex(U'9'), 69u);
    for (char32_t c = U'А'; c <= U'Я'; ++c) EXPECT_NE(ui::glyphIndex(c), 0u) << static_cast<uint32_t>(c);
}

TEST(FontAlphabet, EveryCharacterOnceAndUnknownOnesBecomeTheSpace) {
    const std::u32string& alphabet = ui::fontAlphabet();
    for (std::size_t i = 0; i < alphabet.size(); ++i) EXPECT_EQ(ui::glyphIndex(alphabet[i]), i);
    EXPECT_EQ(ui::glyphIndex(U'a'), 0u);
    EXPECT_EQ(ui::glyphIndex(U'я'), 0u);
    EXPECT_EQ(ui::glyphIndex(U'€'), 0u);
    EXPECT_EQ(&ui::fontAlphabet(), &alphabet);
}

}  // namespace
