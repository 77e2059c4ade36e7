#pragma once
// The interface elements of a frame as the interface shader reads them from the overlay part of the
// content meta buffer: a short header, the elements, and for each square tile of the framebuffer
// the indices of the elements that may cover one of its pixels. A pixel then only looks at the few
// elements of its tile.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "render/interface/interface_block.h"
#include "render/interface/interface_layout.h"
#include "render/interface/pixel_rect.h"

namespace render {

// Word offsets in the content meta buffer.
// The header: the number of leading elements that every tile draws first, tile size, columns, rows.
inline constexpr uint32_t kInterfaceHeaderWord = 12288;
inline constexpr uint32_t kInterfaceElementsWord = 12292;  // 16 words an element
inline constexpr uint32_t kInterfaceTilesWord = 16384;     // one word a tile: first pool entry << 9 | count
inline constexpr uint32_t kInterfacePoolWord = 20480;      // tile entries, two to a word
inline constexpr uint32_t kInterfaceEndWord = 24576;

// An element's words, whole 16-byte quads for the shader: the rectangle, `a`, then kind, pass, the
// text's glyph word and glyph count, and for reference the text source and number value.
inline constexpr uint32_t kInterfaceElementWords = 16;
inline constexpr uint32_t kElementRectWord = 0, kElementAWord = 4, kElementKindWord = 8, kElementPassWord = 9,
                          kElementFirstWord = 10, kElementCountWord = 11, kElementSourceWord = 12,
                          kElementValueWord = 13;
// As many whole elements as fit before the tiles (255); element indices are one byte.
inline constexpr uint32_t kMaxInterfaceElements =
    (kInterfaceTilesWord - kInterfaceElementsWord) / kInterfaceElementWords;
static_assert(kMaxInterfaceElements < 256);
// A tile entry is an element index, 16 bits. A text's shadow is drawn by an iteration of its own, so
// that each iteration of the shader samples the interface atlas once: its entries in a tile are its
// index with this flag, then its index, and each iteration reads one entry.
inline constexpr uint32_t kShadowFlag = 256;
inline constexpr uint32_t kMaxInterfaceTiles = kInterfacePoolWord - kInterfaceTilesWord;
inline constexpr uint32_t kInterfacePoolEntries = (kInterfaceEndWord - kInterfacePoolWord) * 2;
inline constexpr uint32_t kSmallestInterfaceTile = 16;

// The glyph bytes of every text go after the pool, in at most this many words, so that the shader
// reads them with the elements; a text whose glyphs do not fit there, or that has more than
// kMaxResolvedGlyphs, is not drawn.
inline constexpr uint32_t kInterfaceGlyphWords = 1024;
inline constexpr uint32_t kMaxResolvedGlyphs = 256;
// A map element's colour words go there too, at most this many; a larger map is not drawn.
inline constexpr uint32_t kInterfaceMapWords = 1536;
inline constexpr uint32_t kMaterialRectsWord = 28672;
inline constexpr uint32_t kGlyphDigit0 = 60;

// The glyphs a text element shows, one a character: for a world-menu text the bytes of the
// interface block's slot words from its first glyph on, for a meta text the bytes of the meta words
// from its first word on (0 past the last word of either), for a number its decimal digits (the
// lowest `count`); empty for any other element and for more than kMaxResolvedGlyphs.
std::vector<uint8_t> resolvedTextGlyphs(const InterfaceElement& e, const InterfaceBlock& block,
                                        std::span<const uint32_t> meta);

// Writes header, elements, tiles and pool into `meta` (the whole buffer as words). The leading
// elements that cover the whole framebuffer (a background, a dimming fill) are drawn first at every
// pixel without taking entries in every tile, so that they do not fill the pool. The tiles grow
// from 16 pixels until the grid and the index pool fit. Elements past the 255th are left out; no
// screen lists that many. So that the shader reads every text the same way and an icon without
// looking up its material, every text gets its glyphs (resolvedTextGlyphs) after the pool, a map its
// colour words after them, and an icon the atlas rectangle of its material in `a`.
void writeInterfaceTiles(std::span<uint32_t> meta, const std::vector<InterfaceElement>& elements, uint32_t width,
                         uint32_t height, const InterfaceBlock& block);

// The pixels that pass `pass` (0 the interface, 1 the cursor stack) can paint: the smallest rectangle
// within the framebuffer holding every pixel whose centre lies inside one of the pass's elements;
// empty when there is none. The interface triangle is drawn under this scissor: the software driver
// shades every pixel a triangle covers, and in play the elements cover a small part of the screen.
PixelRect interfaceBounds(std::span<const InterfaceElement> elements, uint32_t pass, uint32_t width,
                          uint32_t height);

}  // namespace render
