#pragma once
// The interface elements of a frame as the interface shader reads them from the overlay part of the
// content meta buffer: a short header, the elements, and for each square tile of the framebuffer
// the indices of the elements that may cover one of its pixels. A pixel then only looks at the few
// elements of its tile.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "render/interface_layout.h"

namespace render {

// Word offsets in the content meta buffer.
inline constexpr uint32_t kInterfaceHeaderWord = 12288;    // element count, tile size, columns, rows
inline constexpr uint32_t kInterfaceElementsWord = 12292;  // 16 words an element
inline constexpr uint32_t kInterfaceTilesWord = 16384;     // one word a tile: first pool entry << 9 | count
inline constexpr uint32_t kInterfacePoolWord = 20480;      // element indices, one byte each
inline constexpr uint32_t kInterfaceEndWord = 24576;

inline constexpr uint32_t kInterfaceElementWords = 16;
// As many whole elements as fit before the tiles (255); element indices are one byte.
inline constexpr uint32_t kMaxInterfaceElements =
    (kInterfaceTilesWord - kInterfaceElementsWord) / kInterfaceElementWords;
static_assert(kMaxInterfaceElements <= 256);
inline constexpr uint32_t kMaxInterfaceTiles = kInterfacePoolWord - kInterfaceTilesWord;
inline constexpr uint32_t kInterfacePoolEntries = (kInterfaceEndWord - kInterfacePoolWord) * 4;
inline constexpr uint32_t kSmallestInterfaceTile = 16;

// Writes header, elements, tiles and pool into `meta` (the whole buffer as words). The tiles grow
// from 16 pixels until the grid and the index pool fit. Elements past the 255th are left out; no
// screen lists that many.
void writeInterfaceTiles(std::span<uint32_t> meta, const std::vector<InterfaceElement>& elements, uint32_t width,
                         uint32_t height);

}  // namespace render
