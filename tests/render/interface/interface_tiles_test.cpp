#include "render/interface/interface_tiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "render/atlases/content_meta.h"

namespace {

using render::InterfaceElement;

InterfaceElement fill(float x, float y, float w, float h) {
    InterfaceElement e;
    e.rect[0] = x, e.rect[1] = y, e.rect[2] = w, e.rect[3] = h;
    return e;
}

struct Written {
    std::vector<uint32_t> words = std::vector<uint32_t>(render::kContentMetaBytes / 4, 0);
    uint32_t tile() const { return words[render::kInterfaceHeaderWord + 1]; }
    uint32_t columns() const { return words[render::kInterfaceHeaderWord + 2]; }

    uint32_t shared() const { return words[render::kInterfaceHeaderWord]; }

    // The element indices the shader loops over at the pixel centre (x + 0.5, y + 0.5): the shared
    // ones, then the tile's.
    std::vector<uint32_t> listedAt(uint32_t x, uint32_t y) const {
        const uint32_t entry = words[render::kInterfaceTilesWord + (y / tile()) * columns() + x / tile()];
        const auto* pool = reinterpret_cast<const uint16_t*>(words.data() + render::kInterfacePoolWord);
        std::vector<uint32_t> listed;
        for (uint32_t i = 0; i < shared(); ++i) listed.push_back(i);
        for (uint32_t i = 0; i < (entry & 511u); ++i) listed.push_back(pool[(entry >> 9) + i]);
        return listed;
    }
};

bool covers(const InterfaceElement& e, uint32_t x, uint32_t y) {
    const float px = float(x) + 0.5f, py = float(y) + 0.5f;
    return px >= e.rect[0] && py >= e.rect[1] && px < e.rect[0] + e.rect[2] && py < e.rect[1] + e.rect[3];
}

// Every pixel a rectangle covers finds it in its tile, in list order.
void expectEveryCoveredPixelListsIt(const Written& w, const std::vector<InterfaceElement>& elements,
                                    uint32_t width, uint32_t height) {
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const std::vector<uint32_t> listed = w.listedAt(x, y);
            ASSERT_TRUE(std::is_sorted(listed.begin(), listed.end(), [](uint32_t a, uint32_t b) {
                return (a & 255u) < (b & 255u);
            }));
            for (uint32_t i = 0; i < elements.size(); ++i) {
                if (!covers(elements[i], x, y)) continue;
                ASSERT_NE(std::find(listed.begin(), listed.end(), i), listed.end())
                    << "element " << i << " at " << x << "," << y;
            }
        }
}

TEST(InterfaceTiles, RectanglesAtTileEdgesReachEveryPixelTheyCover) {
    const std::vector<InterfaceElement> elements{
        fill(15.5f, 0.0f, 1.0f, 1.0f),      // the centre of the last pixel of tile 0 only
        fill(15.6f, 15.6f, 1.0f, 1.0f),     // misses that centre, takes the first of tile 1
        fill(16.0f, 16.0f, 16.0f, 16.0f),   // exactly one tile
        fill(-40.0f, -3.0f, 60.0f, 8.0f),   // partly off screen
        fill(300.0f, 200.0f, 40.0f, 0.0f),  // empty
        fill(0.0f, 0.0f, 320.0f, 180.0f),   // everything
    };
    Written w;
    render::writeInterfaceTiles(w.words, elements, 320, 180, {});
    EXPECT_EQ(w.shared(), 0u) << "the element over everything is not the first";
    EXPECT_EQ(w.columns(), 20u);
    EXPECT_EQ(w.words[render::kInterfaceHeaderWord + 3], 12u);
    expectEveryCoveredPixelListsIt(w, elements, 320, 180);
    EXPECT_EQ(w.listedAt(300, 170), std::vector<uint32_t>{5}) << "the empty rectangle is in no tile";
}

TEST(InterfaceTiles, ElementsAreStoredWordForWord) {
    InterfaceElement e = fill(1.5f, 2.5f, 3.0f, 4.0f);
    e.kind = render::ElementKind::Text;
    e.a[3] = 18.0f;
    e.b[0] = 0, e.b[1] = 2437, e.b[2] = 3, e.b[3] = 640;
    Written w;
    w.words[2437] = 0x00030201u;
    render::writeInterfaceTiles(w.words, {fill(0, 0, 1, 1), e}, 64, 64, {});
    const uint32_t* stored = w.words.data() + render::kInterfaceElementsWord + render::kInterfaceElementWords;
    float floats[8];
    std::memcpy(floats, stored + render::kElementRectWord, sizeof floats);
    EXPECT_EQ((std::vector<float>{floats[0], floats[3], floats[7]}), (std::vector<float>{1.5f, 4.0f, 18.0f}));
    using namespace render;
    EXPECT_EQ((std::vector<uint32_t>{stored[kElementKindWord], stored[kElementPassWord], stored[kElementSourceWord],
                                     stored[kElementFirstWord], stored[kElementCountWord], stored[kElementValueWord]}),
              (std::vector<uint32_t>{4, 0, 0, kInterfacePoolWord + 2, 3, 640}));
    // Its glyphs follow the three pool entries, copied from the meta words.
    EXPECT_EQ(w.words[kInterfacePoolWord + 2], 0x00030201u);
}

InterfaceElement text(render::TextSource source, uint32_t first, uint32_t count, uint32_t value) {
    InterfaceElement e = fill(0.0f, 0.0f, 40.0f, 20.0f);
    e.kind = render::ElementKind::Text;
    e.b[0] = static_cast<uint32_t>(source), e.b[1] = first, e.b[2] = count, e.b[3] = value;
    return e;
}

// The shader reads every text's glyphs after the pool: numbers as their lowest `count` decimal
// digits (glyph 60 is "0"), world-menu texts as the block's slot bytes from their first on, meta
// texts as the meta words' bytes from their first word on.
TEST(InterfaceTiles, NumberAndMenuTextsBecomeGlyphBytes) {
    render::InterfaceBlock block{};
    block.slots[0] = 0x04030201u, block.slots[1] = 0x08070605u, block.slots[17] = 0x5A000000u;
    using Source = render::TextSource;
    std::vector<uint8_t> wholeBlock(256, 0);  // the 72 slot bytes, then nothing
    for (uint8_t i = 0; i < 8; ++i) wholeBlock[i] = i + 1;
    wholeBlock[71] = 0x5A;
    const struct {
        InterfaceElement e;
        std::vector<uint8_t> glyphs;
    } cases[] = {
        {text(Source::Number, 0, 3, 640), {66, 64, 60}},
        {text(Source::Number, 0, 1, 0), {60}},
        {text(Source::Number, 0, 4, 57), {60, 60, 65, 67}},
        {text(Source::Number, 0, 10, 4294967295u), {64, 62, 69, 64, 69, 66, 67, 62, 69, 65}},
        {text(Source::Menu, 2, 4, 0), {3, 4, 5, 6}},
        {text(Source::Menu, 70, 3, 0), {0, 0x5A, 0}},  // the last slot byte, then past the block
        {text(Source::Menu, 0, 256, 0), wholeBlock},
        {text(Source::Menu, 0, 257, 0), {}},
        {text(Source::Meta, 2, 5, 0), {0x11, 0x22, 0x33, 0x44, 0x55}},
        {text(Source::Meta, 3, 6, 0), {0x55, 0, 0, 0, 0, 0}},  // the last meta word, then past it
        {text(Source::Meta, 0, 257, 0), {}},
        {fill(0, 0, 1, 1), {}},
    };
    const std::vector<uint32_t> meta{0, 0, 0x44332211u, 0x55u, 0x66u};
    const std::span<const uint32_t> shortMeta(meta.data(), 4);
    for (const auto& c : cases)
        EXPECT_EQ(render::resolvedTextGlyphs(c.e, block, shortMeta), c.glyphs)
            << c.e.b[0] << " " << c.e.b[1] << " " << c.e.b[2];
}

// A number's digits follow the pool and its element points there; an icon carries its material's
// atlas rectangle, the side of a built-in block or the icon face of any other item.
TEST(InterfaceTiles, TextsPointAtTheirGlyphsAndIconsCarryTheirRectangle) {
    Written w;
    const uint32_t rects = render::kMaterialRectsWord;
    const uint32_t materials[] = {2u, 74u, 134u, 4095u};  // 1000 x 7 + 43 is past the last rectangle
    for (uint32_t m : materials)
        for (uint32_t k = 0; k < 4; ++k) w.words[rects + 4 * m + k] = 1000 * m + k;
    InterfaceElement icon = fill(0, 0, 8, 8);
    icon.kind = render::ElementKind::Icon;
    std::vector<InterfaceElement> elements{text(render::TextSource::Number, 0, 2, 75)};
    for (uint32_t id : {0u, 12u, 13u, 1000u}) {
        icon.b[0] = id;
        elements.push_back(icon);
    }
    render::writeInterfaceTiles(w.words, elements, 64, 64, {});
    const uint32_t* number = w.words.data() + render::kInterfaceElementsWord;
    EXPECT_EQ(number[render::kElementSourceWord], static_cast<uint32_t>(render::TextSource::Meta));
    EXPECT_GE(number[render::kElementFirstWord], render::kInterfacePoolWord);
    EXPECT_EQ(number[render::kElementCountWord], 2u);
    EXPECT_EQ(w.words[number[render::kElementFirstWord]], 67u | 65u << 8);
    for (uint32_t i = 0; i < 4; ++i) {
        const uint32_t* stored = number + (i + 1) * render::kInterfaceElementWords;
        for (uint32_t k = 0; k < 4; ++k) EXPECT_EQ(stored[render::kElementAWord + k], 1000 * materials[i] + k) << i;
    }
}

// A text's shadow has an iteration of its own, just before its body: its index with the flag.
TEST(InterfaceTiles, TextsAreListedWithTheirShadowMarkerFirst) {
    const InterfaceElement label = text(render::TextSource::Meta, 2437, 3, 0);
    Written w;
    render::writeInterfaceTiles(w.words, {fill(0, 0, 64, 64), label, fill(8, 8, 8, 8)}, 64, 64, {});
    EXPECT_EQ(w.listedAt(10, 10), (std::vector<uint32_t>{0, 1 | render::kShadowFlag, 1, 2}));
    EXPECT_EQ(w.listedAt(50, 10), (std::vector<uint32_t>{0}));
}

// Glyph bytes past their words are not drawn: the texts that do not fit keep no glyphs.
TEST(InterfaceTiles, TextsPastTheGlyphWordsShowNothing) {
    const uint32_t perText = 256 / 4;
    const uint32_t fitting = render::kInterfaceGlyphWords / perText;
    const std::vector<InterfaceElement> elements(fitting + 1, text(render::TextSource::Menu, 0, 256, 0));
    Written w;
    render::writeInterfaceTiles(w.words, elements, 64, 64, {});
    const auto word = [&](uint32_t i, uint32_t k) { return w.words[render::kInterfaceElementsWord + i * 16 + k]; };
    const auto count = [&](uint32_t i) { return word(i, render::kElementCountWord); };
    EXPECT_EQ(count(fitting - 1), 256u);
    EXPECT_EQ(count(fitting), 0u);
    EXPECT_LE(word(fitting - 1, render::kElementFirstWord) + perText, render::kInterfaceEndWord);
}

TEST(InterfaceTiles, TilesGrowWhenTheGridWouldPassItsLimit) {
    const struct {
        uint32_t width, height, tile;
    } cases[] = {{1280, 720, 16}, {1024, 1024, 16}, {1025, 1024, 32}, {1024, 1025, 32}, {3840, 2160, 64}};
    for (const auto& c : cases) {
        Written w;
        render::writeInterfaceTiles(w.words, {fill(0, 0, 10, 10)}, c.width, c.height, {});
        EXPECT_EQ(w.tile(), c.tile) << c.width << "x" << c.height;
    }
}

// 256 elements over the whole screen do not fit the index pool at 16-pixel tiles: the tiles grow
// and every element is still drawn everywhere.
TEST(InterfaceTiles, AFullPoolGrowsTheTilesInsteadOfDroppingElements) {
    // Half a pixel short of the whole screen, so that every tile lists them.
    const std::vector<InterfaceElement> elements(300, fill(0.5f, 0.0f, 1279.5f, 720.0f));
    Written w;
    render::writeInterfaceTiles(w.words, elements, 1280, 720, {});
    EXPECT_EQ(w.shared(), 0u);
    EXPECT_GT(w.tile(), render::kSmallestInterfaceTile);
    for (const auto& [x, y] : {std::pair{0u, 0u}, std::pair{1279u, 719u}, std::pair{640u, 360u}})
        EXPECT_EQ(w.listedAt(x, y).size(), render::kMaxInterfaceElements);
}

// The leading elements over the whole screen are drawn at every pixel without tile entries; the
// run ends at the first one that misses an edge, is a text or is not leading.
TEST(InterfaceTiles, LeadingElementsOverTheWholeScreenAreSharedByEveryTile) {
    InterfaceElement wholeText = fill(0.0f, 0.0f, 64.0f, 64.0f);
    wholeText.kind = render::ElementKind::Text;
    const InterfaceElement whole = fill(-1.0f, 0.0f, 65.0f, 64.0f), small = fill(8.0f, 8.0f, 8.0f, 8.0f);
    const struct {
        std::vector<InterfaceElement> elements;
        uint32_t shared;
    } cases[] = {
        {{whole, whole, small, whole}, 2},
        {{small, whole}, 0},
        {{whole, fill(0.0f, 0.0f, 64.0f, 63.9f)}, 1},   // short of the bottom edge
        {{whole, fill(0.1f, 0.0f, 63.9f, 64.0f)}, 1},   // short of the left edge
        {{whole, fill(0.0f, 0.0f, 63.9f, 64.0f)}, 1},   // short of the right edge
        {{fill(0.0f, 0.0f, 64.0f, 64.0f), wholeText}, 1},
    };
    for (const auto& c : cases) {
        Written w;
        render::writeInterfaceTiles(w.words, c.elements, 64, 64, {});
        EXPECT_EQ(w.shared(), c.shared) << c.elements.size();
        expectEveryCoveredPixelListsIt(w, c.elements, 64, 64);
        const std::vector<uint32_t> listed = w.listedAt(40, 40);  // outside the small element
        EXPECT_EQ(std::count(listed.begin(), listed.end(), 0u), covers(c.elements[0], 40, 40) ? 1 : 0)
            << "the first element listed twice or not at all";
    }
}

// The scissor of a pass is exactly the bounding box of the pixels whose centres its elements cover:
// one pixel less clips a drawn pixel, one more shades a pixel for nothing.
TEST(InterfaceTiles, APassIsBoundedByExactlyThePixelsItsElementsCover) {
    constexpr uint32_t width = 64, height = 48;
    const auto boxOfCoveredPixels = [&](const std::vector<InterfaceElement>& elements, uint32_t pass) {
        uint32_t left = width, top = height, right = 0, bottom = 0;
        for (const InterfaceElement& e : elements)
            for (uint32_t y = 0; y < height; ++y)
                for (uint32_t x = 0; x < width; ++x)
                    if (e.pass == pass && covers(e, x, y)) {
                        left = std::min(left, x), top = std::min(top, y);
                        right = std::max(right, x + 1), bottom = std::max(bottom, y + 1);
                    }
        if (right == 0) return render::PixelRect{};
        return render::PixelRect{int32_t(left), int32_t(top), right - left, bottom - top};
    };
    const auto inPass = [](InterfaceElement e, uint32_t pass) {
        e.pass = pass;
        return e;
    };
    const std::vector<std::vector<InterfaceElement>> cases = {
        {fill(10.5f, 7.5f, 10.0f, 4.0f)},             // edges on pixel centres: first in, last out
        {fill(10.50001f, 7.49999f, 9.99998f, 4.0f)},  // just past a centre on each side
        {fill(10.49999f, 7.50001f, 10.00002f, 4.0f)},
        {fill(3.0f, 2.0f, 1.0f, 1.0f)},        // one pixel
        {fill(3.6f, 2.0f, 0.8f, 1.0f)},        // between two centres: nothing
        {fill(-20.0f, -5.0f, 30.0f, 10.0f)},   // off the top left
        {fill(60.0f, 40.0f, 100.0f, 100.0f)},  // off the bottom right
        {fill(70.0f, 10.0f, 5.0f, 5.0f)},      // wholly outside
        {fill(70.0f, 10.0f, 5.0f, 5.0f), fill(5.0f, 50.0f, 5.0f, 5.0f), fill(8.0f, 9.0f, 2.0f, 2.0f)},
        {fill(0.0f, 0.0f, 64.0f, 48.0f)},  // the whole framebuffer
        {fill(5.0f, 5.0f, 2.0f, 2.0f), inPass(fill(30.0f, 1.0f, 4.0f, 4.0f), 1),
         fill(20.0f, 30.0f, 1.5f, 8.0f)},
        {fill(5.0f, 5.0f, 0.0f, 8.0f), fill(5.0f, 5.0f, 8.0f, -3.0f)},  // empty rectangles
        {fill(std::numeric_limits<float>::quiet_NaN(), 0.0f, 10.0f, 10.0f), fill(2.0f, 3.0f, 4.0f, 5.0f)},
        {fill(3.0f, 4.0f, std::numeric_limits<float>::infinity(), 2.0f)},  // to the right edge
        {fill(-std::numeric_limits<float>::infinity(), 4.0f, std::numeric_limits<float>::infinity(), 2.0f)},
        {},
    };
    for (std::size_t c = 0; c < cases.size(); ++c)
        for (uint32_t pass = 0; pass < 2; ++pass)
            EXPECT_EQ(render::interfaceBounds(cases[c], pass, width, height),
                      boxOfCoveredPixels(cases[c], pass))
                << "case " << c << " pass " << pass;
}

}  // namespace

namespace {

InterfaceElement mapGrid(uint32_t firstWord, uint32_t cells) {
    InterfaceElement e = fill(0.0f, 0.0f, 64.0f, 64.0f);
    e.kind = render::ElementKind::Map;
    e.a[0] = static_cast<float>(cells), e.a[1] = 1.0f;
    e.b[1] = firstWord, e.b[2] = cells;
    return e;
}

class MapCells : public testing::TestWithParam<uint32_t> {};

// A map's colour words follow the glyphs of the texts after the pool, as many as the limit allows;
// a larger map is left without cells, so the shader draws none of it.
TEST_P(MapCells, AreCopiedAfterThePoolUpToTheirLimit) {
    const uint32_t cells = GetParam();
    constexpr uint32_t kSource = 51000;
    InterfaceElement text = fill(0, 0, 8, 8);
    text.kind = render::ElementKind::Text;
    text.b[1] = 2437, text.b[2] = 4;
    Written w;
    for (uint32_t k = 0; k < cells; ++k) w.words[kSource + k] = 0x100000u + k;
    w.words[2437] = 0x04030201u;
    render::writeInterfaceTiles(w.words, {text, mapGrid(kSource, cells)}, 64, 64, {});
    using namespace render;
    const uint32_t* stored = w.words.data() + kInterfaceElementsWord + kInterfaceElementWords;
    const bool kept = cells <= kInterfaceMapWords;
    EXPECT_EQ(stored[kElementCountWord], kept ? cells : 0u);
    if (!kept) return;
    const uint32_t glyphs = w.words.data()[kInterfaceElementsWord + kElementFirstWord];
    EXPECT_EQ(w.words[glyphs], 0x04030201u);
    EXPECT_EQ(stored[kElementFirstWord], glyphs + 1) << "right after the text's one glyph word";
    EXPECT_EQ(w.words[stored[kElementFirstWord]], 0x100000u);
    EXPECT_EQ(w.words[stored[kElementFirstWord] + cells - 1], 0x100000u + cells - 1);
    EXPECT_LE(stored[kElementFirstWord] + cells, kInterfaceEndWord);
}

INSTANTIATE_TEST_SUITE_P(Limit, MapCells, testing::Values(1u, render::kInterfaceMapWords, render::kInterfaceMapWords + 1));

}  // namespace
