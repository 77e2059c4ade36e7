#include "ui/font_alphabet.h"

namespace ui {

namespace {

// The order is fixed by the glyphs painted into font.png; changing it means repainting the font.
constexpr char32_t kAlphabet[] =
    U" ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    U"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
    U"0123456789"
    U".,:;!?-+=/()[]'\"%*<>#";

static_assert(sizeof kAlphabet / sizeof kAlphabet[0] == kFontGlyphCount + 1);

}  // namespace

const std::u32string& fontAlphabet() {
    static const std::u32string alphabet(kAlphabet);
    return alphabet;
}

char32_t fontUpperCase(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 32;
    if (c >= U'а' && c <= U'я') return c - 32;
    if (c == U'ё') return U'Ё';
    return c;
}

uint32_t glyphIndex(char32_t c) {
    std::size_t at = fontAlphabet().find(c);
    if (at == std::u32string::npos) at = fontAlphabet().find(fontUpperCase(c));
    return at == std::u32string::npos ? 0 : static_cast<uint32_t>(at);
}

}  // namespace ui
