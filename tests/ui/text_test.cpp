#include <gtest/gtest.h>

#include "ui/ui_state.h"

namespace {

using ui::utf32ToUtf8;
using ui::utf8ToUtf32;

// Other bytes stand for themselves, and continuation bytes are not checked.
TEST(Utf8ToUtf32, DecodesTwoAndThreeByteSequencesAndKeepsOtherBytes) {
    const std::pair<std::string, std::u32string> cases[] = {
        {"Привет, world", U"Привет, world"},
        {"\xE2\x82\xAC 5", U"\u20AC 5"},
        {"\xC2\x80\xDF\xBF\xE0\x80\x80", {0x80, 0x7FF, 0x0}},
        {"", U""},
        {"\x80z\xBF", {0x80, U'z', 0xBF}},               // stray continuation
        {"a\xD0", {U'a', 0xD0}},                         // cut two-byte
        {"\xE2\x82", {0xE2, 0x82}},                      // cut three-byte
        {"\xF0\x9F\x98\x80", {0xF0, 0x9F, 0x98, 0x80}},  // four-byte lead
        {"\xFF", {0xFF}},
        {"\xC3" "A", {(0x03 << 6) | 0x01}},              // a continuation that is not one
        {"\xE1" "ab", {(0x1 << 12) | (0x21 << 6) | 0x22}},
    };
    for (const auto& [utf8, utf32] : cases) EXPECT_EQ(utf8ToUtf32(utf8), utf32) << utf8;
}

// Values that UTF-8 cannot encode become the replacement character.
TEST(Utf32ToUtf8, EncodesOneToFourBytesAndReplacesTheUnencodable) {
    const std::pair<std::u32string, std::string> cases[] = {
        {U"A", "A"},
        {U"Ж", "\xD0\x96"},
        {U"\u20AC", "\xE2\x82\xAC"},
        {U"\U0001F600", "\xF0\x9F\x98\x80"},
        {U"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
        {{0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000}, "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80"},
        {{0xD800, U'a', 0x110000}, "\xEF\xBF\xBD" "a" "\xEF\xBF\xBD"},
    };
    for (const auto& [utf32, utf8] : cases) EXPECT_EQ(utf32ToUtf8(utf32), utf8) << utf8;
}

TEST(Utf32ToUtf8, RoundTripsThroughTheGameDecoder) {
    const std::u32string text = U"НОВЫЙ МИР \u20AC 12345";
    EXPECT_EQ(utf8ToUtf32(utf32ToUtf8(text)), text);
}

}  // namespace
