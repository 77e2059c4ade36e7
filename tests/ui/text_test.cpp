#include <gtest/gtest.h>

#include "ui/ui_state.h"

namespace {

using ui::utf32ToUtf8;
using ui::utf8ToUtf32;

TEST(Utf8ToUtf32, DecodesTwoAndThreeByteSequences) {
    EXPECT_EQ(utf8ToUtf32("Привет, world"), U"Привет, world");
    EXPECT_EQ(utf8ToUtf32("\xE2\x82\xAC 5"), U"\u20AC 5");
    EXPECT_EQ(utf8ToUtf32("\xC2\x80\xDF\xBF\xE0\x80\x80"), (std::u32string{0x80, 0x7FF, 0x0}));
    EXPECT_EQ(utf8ToUtf32(""), U"");
}

TEST(Utf8ToUtf32, OtherBytesStandForThemselves) {
    EXPECT_EQ(utf8ToUtf32("\x80z\xBF"), (std::u32string{0x80, U'z', 0xBF}));  // stray continuation
    EXPECT_EQ(utf8ToUtf32("a\xD0"), (std::u32string{U'a', 0xD0}));            // cut two-byte
    EXPECT_EQ(utf8ToUtf32("\xE2\x82"), (std::u32string{0xE2, 0x82}));         // cut three-byte
    EXPECT_EQ(utf8ToUtf32("\xF0\x9F\x98\x80"), (std::u32string{0xF0, 0x9F, 0x98, 0x80}));  // four-byte lead
    EXPECT_EQ(utf8ToUtf32("\xFF"), (std::u32string{0xFF}));
}

TEST(Utf8ToUtf32, ContinuationBytesAreNotChecked) {
    EXPECT_EQ(utf8ToUtf32("\xC3"
                          "A"),
              (std::u32string{(0x03 << 6) | 0x01}));
    EXPECT_EQ(utf8ToUtf32("\xE1"
                          "ab"),
              (std::u32string{(0x1 << 12) | (0x21 << 6) | 0x22}));
}

TEST(Utf32ToUtf8, EncodesOneToFourBytes) {
    EXPECT_EQ(utf32ToUtf8(U"A"), "A");
    EXPECT_EQ(utf32ToUtf8(U"Ж"), "\xD0\x96");
    EXPECT_EQ(utf32ToUtf8(U"\u20AC"), "\xE2\x82\xAC");
    EXPECT_EQ(utf32ToUtf8(U"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf32ToUtf8(U"\U0010FFFF"), "\xF4\x8F\xBF\xBF");
    EXPECT_EQ(utf32ToUtf8(std::u32string{0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000}),
              "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80");
}

TEST(Utf32ToUtf8, UnencodableValuesBecomeTheReplacementCharacter) {
    EXPECT_EQ(utf32ToUtf8(std::u32string{0xD800, U'a', 0x110000}),
              "\xEF\xBF\xBD"
              "a"
              "\xEF\xBF\xBD");
}

TEST(Utf32ToUtf8, RoundTripsThroughTheGameDecoder) {
    const std::u32string text = U"НОВЫЙ МИР \u20AC 12345";
    EXPECT_EQ(utf8ToUtf32(utf32ToUtf8(text)), text);
}

}  // namespace
