#pragma once
// Text lines of the per-frame overlay: the interface shader draws them from glyph indices of the
// bitmap font, one 64-byte slot a line, slot N at byte (N + 3089) x 64 of the overlay record.
#include <cstddef>
#include <cstdint>
#include <string>

namespace render {

inline constexpr uint32_t kFirstTextLineRecord = 3089;
inline constexpr uint32_t kTextLineWords = 16;
inline constexpr std::size_t kTextLineGlyphs = 60;

// Zeroes the slot, cuts `text` to 60 characters (the caller's text too) and stores the count and
// the upper-cased glyphs. `overlay` is the whole overlay record as 32-bit words.
void encodeGlyphLine(uint32_t* overlay, uint32_t slot, std::u32string& text);

}  // namespace render
