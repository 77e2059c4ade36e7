#pragma once
// The character set of the bitmap font "font.png": glyph i is the i-th character of the alphabet.
// The font strip is 1,920 x 64 pixels, its width divided evenly among the glyphs, so glyph i spans
// u from i / kFontGlyphCount to (i + 1) / kFontGlyphCount of the strip.
#include <cstdint>
#include <string>

namespace ui {

inline constexpr uint32_t kFontGlyphCount = 91;

// Space first, then Latin and Cyrillic capitals, digits and punctuation.
const std::u32string& fontAlphabet();
// Latin and Cyrillic small letters (ё included) as capitals; any other character as it is.
char32_t fontUpperCase(char32_t c);
// Position of `c` in the alphabet; a small letter, which the font has only as a capital, takes its
// capital's glyph; 0 (the space) for a character the font lacks in either case.
uint32_t glyphIndex(char32_t c);

}  // namespace ui
