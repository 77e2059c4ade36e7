#include "render/interface/interface_tiles.h"

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

// The leading elements, texts aside, whose rectangle holds the whole framebuffer.
std::size_t sharedElements(const std::vector<InterfaceElement>& elements, std::size_t used, uint32_t width,
                           uint32_t height) {
    std::size_t shared = 0;
    for (; shared < used; ++shared) {
        const InterfaceElement& e = elements[shared];
        const bool whole = e.rect[0] <= 0.0f && e.rect[1] <= 0.0f && e.rect[0] + e.rect[2] >= float(width) &&
                           e.rect[1] + e.rect[3] >= float(height);
        if (!whole || e.kind == ElementKind::Text) break;
    }
    return shared;
}

// A text takes two entries of a tile: its index with the shadow flag, then its index.
uint32_t entriesOf(const InterfaceElement& e) { return e.kind == ElementKind::Text ? 2u : 1u; }

struct Grid {
    uint32_t tile, columns, rows;
};

Grid gridFor(uint32_t tile, uint32_t width, uint32_t height) {
    return {tile, (std::max(width, 1u) + tile - 1) / tile, (std::max(height, 1u) + tile - 1) / tile};
}

// Entries per tile; false when a tile holds more than its count field can say.
bool countEntries(const std::vector<InterfaceElement>& elements, std::size_t shared, std::size_t used,
                  const Grid& g, std::vector<uint32_t>& counts) {
    counts.assign(std::size_t{g.columns} * g.rows, 0);
    for (std::size_t i = shared; i < used; ++i) {
        const TileSpan s = tilesOf(elements[i], g.tile, g.columns, g.rows);
        if (s.empty) continue;
        for (uint32_t y = s.y0; y <= s.y1; ++y)
            for (uint32_t x = s.x0; x <= s.x1; ++x)
                if ((counts[std::size_t{y} * g.columns + x] += entriesOf(elements[i])) > 511) return false;
    }
    return true;
}

// The smallest tile whose grid and pool fit, with the entry count of each of its tiles.
Grid chooseGrid(const std::vector<InterfaceElement>& elements, std::size_t shared, std::size_t used, uint32_t width,
                uint32_t height, uint64_t poolEntries, std::vector<uint32_t>& counts) {
    for (uint32_t tile = kSmallestInterfaceTile;; tile *= 2) {
        const Grid g = gridFor(tile, width, height);
        if (std::size_t{g.columns} * g.rows > kMaxInterfaceTiles) continue;
        if (!countEntries(elements, shared, used, g, counts)) continue;
        uint64_t total = 0;
        for (uint32_t c : counts) total += c;
        if (total <= poolEntries) return g;
    }
}

// The material of an item's icon: the side of a built-in block, the icon face of any other.
constexpr uint32_t kBuiltinBlocks = 13;
uint32_t iconMaterial(uint32_t id) { return id < kBuiltinBlocks ? id * 6u + 2u : id * 7u + 43u; }

void writeElement(uint32_t* out, const InterfaceElement& e, std::span<const uint32_t> meta) {
    std::memcpy(out + kElementRectWord, e.rect, sizeof e.rect);
    std::memcpy(out + kElementAWord, e.a, sizeof e.a);
    out[kElementKindWord] = static_cast<uint32_t>(e.kind);
    out[kElementPassWord] = e.pass;
    out[kElementFirstWord] = e.b[1];
    out[kElementCountWord] = e.b[2];
    out[kElementSourceWord] = e.b[0];
    out[kElementValueWord] = e.b[3];
    if (e.kind == ElementKind::Icon) {
        const std::size_t rect = kMaterialRectsWord + 4 * std::size_t{std::min(iconMaterial(e.b[0]), 4095u)};
        std::copy_n(meta.begin() + static_cast<std::ptrdiff_t>(rect), 4, out + kElementAWord);
    }
}

// The glyphs of each text and the colours of each map, and the words they take after the pool.
struct ResolvedTexts {
    std::vector<std::vector<uint8_t>> glyphs;
    std::vector<std::vector<uint32_t>> cells;
    uint32_t words = 0;
};

// The map's colour words from the meta buffer (0 past its end); empty for any other element.
std::vector<uint32_t> resolvedMapCells(const InterfaceElement& e, std::span<const uint32_t> meta) {
    if (e.kind != ElementKind::Map || e.b[2] > kInterfaceMapWords) return {};
    std::vector<uint32_t> cells(e.b[2]);
    for (uint32_t k = 0; k < e.b[2]; ++k) {
        const uint64_t at = uint64_t{e.b[1]} + k;
        cells[k] = at < meta.size() ? meta[at] : 0u;
    }
    return cells;
}

ResolvedTexts resolveTexts(const std::vector<InterfaceElement>& elements, std::size_t used,
                           const InterfaceBlock& block, std::span<const uint32_t> meta) {
    ResolvedTexts texts;
    texts.glyphs.resize(used);
    texts.cells.resize(used);
    uint32_t mapWords = 0;
    for (std::size_t i = 0; i < used; ++i) {
        std::vector<uint32_t> cells = resolvedMapCells(elements[i], meta);
        if (!cells.empty() && mapWords + cells.size() <= kInterfaceMapWords) {
            mapWords += static_cast<uint32_t>(cells.size());
            texts.cells[i] = std::move(cells);
        }
        std::vector<uint8_t> glyphs = resolvedTextGlyphs(elements[i], block, meta);
        const auto words = static_cast<uint32_t>((glyphs.size() + 3) / 4);
        if (texts.words + words > kInterfaceGlyphWords) continue;
        texts.words += words;
        texts.glyphs[i] = std::move(glyphs);
    }
    texts.words += mapWords;
    return texts;
}

// Each text reads its glyphs from words of their own after the pool entries, as a text of the meta
// buffer; one left without glyphs has none to draw.
void writeResolvedTexts(std::span<uint32_t> meta, const std::vector<InterfaceElement>& elements,
                        const ResolvedTexts& texts, uint64_t poolEntries) {
    auto next = static_cast<uint32_t>(kInterfacePoolWord + (poolEntries + 1) / 2);
    for (std::size_t i = 0; i < texts.glyphs.size(); ++i) {
        if (elements[i].kind == ElementKind::Map) {
            uint32_t* out = meta.data() + kInterfaceElementsWord + i * kInterfaceElementWords;
            const std::vector<uint32_t>& cells = texts.cells[i];
            out[kElementFirstWord] = next;
            out[kElementCountWord] = static_cast<uint32_t>(cells.size());
            std::copy(cells.begin(), cells.end(), meta.begin() + next);
            next += static_cast<uint32_t>(cells.size());
            continue;
        }
        if (elements[i].kind != ElementKind::Text) continue;
        const std::vector<uint8_t>& glyphs = texts.glyphs[i];
        uint32_t* out = meta.data() + kInterfaceElementsWord + i * kInterfaceElementWords;
        out[kElementSourceWord] = static_cast<uint32_t>(TextSource::Meta);
        out[kElementFirstWord] = next;
        if (glyphs.empty()) out[kElementCountWord] = 0;
        const auto words = static_cast<uint32_t>((glyphs.size() + 3) / 4);
        std::fill(meta.begin() + next, meta.begin() + next + words, 0u);
        // An empty list may have no storage at all, and memcpy must not see a null source.
        if (!glyphs.empty()) std::memcpy(meta.data() + next, glyphs.data(), glyphs.size());
        next += words;
    }
}

void writePool(std::span<uint32_t> meta, const std::vector<InterfaceElement>& elements, std::size_t shared,
               std::size_t used, const Grid& g, const std::vector<uint32_t>& counts) {
    std::vector<uint32_t> next(counts.size());
    uint32_t start = 0;
    for (std::size_t t = 0; t < counts.size(); ++t) {
        meta[kInterfaceTilesWord + t] = start << 9 | counts[t];
        next[t] = start;
        start += counts[t];
    }
    uint16_t* pool = reinterpret_cast<uint16_t*>(meta.data() + kInterfacePoolWord);
    for (std::size_t i = shared; i < used; ++i) {
        const TileSpan s = tilesOf(elements[i], g.tile, g.columns, g.rows);
        if (s.empty) continue;
        const bool text = entriesOf(elements[i]) == 2;
        for (uint32_t y = s.y0; y <= s.y1; ++y)
            for (uint32_t x = s.x0; x <= s.x1; ++x) {
                uint32_t& at = next[std::size_t{y} * g.columns + x];
                if (text) pool[at++] = static_cast<uint16_t>(i | kShadowFlag);
                pool[at++] = static_cast<uint16_t>(i);
            }
    }
}

}  // namespace

std::vector<uint8_t> resolvedTextGlyphs(const InterfaceElement& e, const InterfaceBlock& block,
                                        std::span<const uint32_t> meta) {
    if (e.kind != ElementKind::Text) return {};
    const auto source = static_cast<TextSource>(e.b[0]);
    const uint32_t count = e.b[2];
    if (count > kMaxResolvedGlyphs) return {};
    const std::span<const uint32_t> words = source == TextSource::Menu ? std::span<const uint32_t>(block.slots) : meta;
    std::vector<uint8_t> glyphs(count);
    for (uint32_t j = 0; j < count; ++j) {
        if (source != TextSource::Number) {
            // A menu text starts at a glyph of the slots, a meta text at a word.
            const uint64_t at = (source == TextSource::Menu ? uint64_t{e.b[1]} : uint64_t{e.b[1]} * 4) + j;
            glyphs[j] = at / 4 < words.size() ? static_cast<uint8_t>(words[at / 4] >> (8 * (at % 4))) : uint8_t{0};
        } else {
            uint32_t v = e.b[3];
            for (uint32_t k = j + 1; k < count; ++k) v /= 10;
            glyphs[j] = static_cast<uint8_t>(kGlyphDigit0 + v % 10);
        }
    }
    return glyphs;
}

void writeInterfaceTiles(std::span<uint32_t> meta, const std::vector<InterfaceElement>& elements, uint32_t width,
                         uint32_t height, const InterfaceBlock& block) {
    const std::size_t used = std::min<std::size_t>(elements.size(), kMaxInterfaceElements);
    const ResolvedTexts texts = resolveTexts(elements, used, block, meta);
    const uint64_t poolEntries = kInterfacePoolEntries - 2ull * texts.words;
    const std::size_t shared = sharedElements(elements, used, width, height);
    std::vector<uint32_t> counts;
    const Grid g = chooseGrid(elements, shared, used, width, height, poolEntries, counts);
    meta[kInterfaceHeaderWord] = static_cast<uint32_t>(shared);
    meta[kInterfaceHeaderWord + 1] = g.tile;
    meta[kInterfaceHeaderWord + 2] = g.columns;
    meta[kInterfaceHeaderWord + 3] = g.rows;
    for (std::size_t i = 0; i < used; ++i)
        writeElement(meta.data() + kInterfaceElementsWord + i * kInterfaceElementWords, elements[i], meta);
    writePool(meta, elements, shared, used, g, counts);
    uint64_t listed = 0;
    for (uint32_t c : counts) listed += c;
    writeResolvedTexts(meta, elements, texts, listed);
}

PixelRect interfaceBounds(std::span<const InterfaceElement> elements, uint32_t pass, uint32_t width,
                          uint32_t height) {
    // Pixel p is inside when its centre p + 0.5 satisfies the shader's test, x <= p + 0.5 < x + w,
    // with x + w summed in float as the shader sums it.
    double left = width, top = height, right = 0.0, bottom = 0.0;
    for (const InterfaceElement& e : elements) {
        const float x = e.rect[0], y = e.rect[1], endX = e.rect[0] + e.rect[2], endY = e.rect[1] + e.rect[3];
        // NaN fails every comparison of the shader's test; an infinite edge is clamped below.
        if (e.pass != pass || std::isnan(x) || std::isnan(y) || std::isnan(endX) || std::isnan(endY)) continue;
        const double l = std::max(std::ceil(double{x} - 0.5), 0.0),
                     t = std::max(std::ceil(double{y} - 0.5), 0.0);
        const double r = std::min(std::ceil(double{endX} - 0.5), double(width));
        const double b = std::min(std::ceil(double{endY} - 0.5), double(height));
        if (r <= l || b <= t) continue;
        left = std::min(left, l), top = std::min(top, t), right = std::max(right, r),
        bottom = std::max(bottom, b);
    }
    if (right <= left || bottom <= top) return {};
    return {static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<uint32_t>(right - left),
            static_cast<uint32_t>(bottom - top)};
}

}  // namespace render
