#include "render/interface_tiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace render {

namespace {

struct TileSpan {
    uint32_t x0, y0, x1, y1;  // inclusive tile range
    bool empty;
};

// The tiles holding a pixel centre that the element's rectangle may contain.
TileSpan tilesOf(const InterfaceElement& e, uint32_t tile, uint32_t columns, uint32_t rows) {
    const float left = e.rect[0], top = e.rect[1], right = e.rect[0] + e.rect[2], bottom = e.rect[1] + e.rect[3];
    if (!(right > left && bottom > top) || !std::isfinite(left + top + right + bottom)) return {0, 0, 0, 0, true};
    const auto cell = [tile](float v, uint32_t last) {
        return std::min(static_cast<uint32_t>(std::clamp(v, 0.0f, 1.0e6f)) / tile, last);
    };
    if (right <= 0.0f || bottom <= 0.0f) return {0, 0, 0, 0, true};
    return {cell(left, columns - 1), cell(top, rows - 1), cell(right, columns - 1), cell(bottom, rows - 1), false};
}

struct Grid {
    uint32_t tile, columns, rows;
};

Grid gridFor(uint32_t tile, uint32_t width, uint32_t height) {
    return {tile, (std::max(width, 1u) + tile - 1) / tile, (std::max(height, 1u) + tile - 1) / tile};
}

// Entries per tile; false when a tile holds more than its count field can say.
bool countEntries(const std::vector<InterfaceElement>& elements, std::size_t used, const Grid& g,
                  std::vector<uint32_t>& counts) {
    counts.assign(std::size_t{g.columns} * g.rows, 0);
    for (std::size_t i = 0; i < used; ++i) {
        const TileSpan s = tilesOf(elements[i], g.tile, g.columns, g.rows);
        if (s.empty) continue;
        for (uint32_t y = s.y0; y <= s.y1; ++y)
            for (uint32_t x = s.x0; x <= s.x1; ++x)
                if (++counts[std::size_t{y} * g.columns + x] > 511) return false;
    }
    return true;
}

// The smallest tile whose grid and pool fit, with the entry count of each of its tiles.
Grid chooseGrid(const std::vector<InterfaceElement>& elements, std::size_t used, uint32_t width, uint32_t height,
                std::vector<uint32_t>& counts) {
    for (uint32_t tile = kSmallestInterfaceTile;; tile *= 2) {
        const Grid g = gridFor(tile, width, height);
        if (std::size_t{g.columns} * g.rows > kMaxInterfaceTiles) continue;
        if (!countEntries(elements, used, g, counts)) continue;
        uint64_t total = 0;
        for (uint32_t c : counts) total += c;
        if (total <= kInterfacePoolEntries) return g;
    }
}

void writeElement(uint32_t* out, const InterfaceElement& e) {
    out[0] = static_cast<uint32_t>(e.kind);
    std::memcpy(out + 1, e.rect, sizeof e.rect);
    std::memcpy(out + 5, e.a, sizeof e.a);
    std::memcpy(out + 9, e.b, sizeof e.b);
    out[13] = e.pass;
}

void writePool(std::span<uint32_t> meta, const std::vector<InterfaceElement>& elements, std::size_t used,
               const Grid& g, const std::vector<uint32_t>& counts) {
    std::vector<uint32_t> next(counts.size());
    uint32_t start = 0;
    for (std::size_t t = 0; t < counts.size(); ++t) {
        meta[kInterfaceTilesWord + t] = start << 9 | counts[t];
        next[t] = start;
        start += counts[t];
    }
    uint8_t* pool = reinterpret_cast<uint8_t*>(meta.data() + kInterfacePoolWord);
    for (std::size_t i = 0; i < used; ++i) {
        const TileSpan s = tilesOf(elements[i], g.tile, g.columns, g.rows);
        if (s.empty) continue;
        for (uint32_t y = s.y0; y <= s.y1; ++y)
            for (uint32_t x = s.x0; x <= s.x1; ++x) pool[next[std::size_t{y} * g.columns + x]++] = static_cast<uint8_t>(i);
    }
}

}  // namespace

void writeInterfaceTiles(std::span<uint32_t> meta, const std::vector<InterfaceElement>& elements, uint32_t width,
                         uint32_t height) {
    const std::size_t used = std::min<std::size_t>(elements.size(), kMaxInterfaceElements);
    std::vector<uint32_t> counts;
    const Grid g = chooseGrid(elements, used, width, height, counts);
    meta[kInterfaceHeaderWord] = static_cast<uint32_t>(used);
    meta[kInterfaceHeaderWord + 1] = g.tile;
    meta[kInterfaceHeaderWord + 2] = g.columns;
    meta[kInterfaceHeaderWord + 3] = g.rows;
    for (std::size_t i = 0; i < used; ++i)
        writeElement(meta.data() + kInterfaceElementsWord + i * kInterfaceElementWords, elements[i]);
    writePool(meta, elements, used, g, counts);
}

}  // namespace render
