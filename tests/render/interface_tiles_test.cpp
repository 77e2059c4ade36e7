#include "render/interface_tiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "render/content_meta.h"

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

    // The element indices the shader loops over at the pixel centre (x + 0.5, y + 0.5).
    std::vector<uint32_t> listedAt(uint32_t x, uint32_t y) const {
        const uint32_t entry = words[render::kInterfaceTilesWord + (y / tile()) * columns() + x / tile()];
        const auto* pool = reinterpret_cast<const uint8_t*>(words.data() + render::kInterfacePoolWord);
        std::vector<uint32_t> listed;
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
            ASSERT_TRUE(std::is_sorted(listed.begin(), listed.end()));
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
    render::writeInterfaceTiles(w.words, elements, 320, 180);
    EXPECT_EQ(w.words[render::kInterfaceHeaderWord], elements.size());
    EXPECT_EQ(w.columns(), 20u);
    EXPECT_EQ(w.words[render::kInterfaceHeaderWord + 3], 12u);
    expectEveryCoveredPixelListsIt(w, elements, 320, 180);
    EXPECT_EQ(w.listedAt(300, 170), std::vector<uint32_t>{5}) << "the empty rectangle is in no tile";
}

TEST(InterfaceTiles, ElementsAreStoredWordForWord) {
    InterfaceElement e = fill(1.5f, 2.5f, 3.0f, 4.0f);
    e.kind = render::ElementKind::Text;
    e.a[3] = 18.0f;
    e.b[0] = 2, e.b[2] = 3, e.b[3] = 640;
    Written w;
    render::writeInterfaceTiles(w.words, {fill(0, 0, 1, 1), e}, 64, 64);
    const uint32_t* stored = w.words.data() + render::kInterfaceElementsWord + render::kInterfaceElementWords;
    float floats[8];
    std::memcpy(floats, stored + 1, sizeof floats);
    EXPECT_EQ((std::vector<float>{floats[0], floats[3], floats[7]}), (std::vector<float>{1.5f, 4.0f, 18.0f}));
    EXPECT_EQ((std::vector<uint32_t>{stored[0], stored[9], stored[12]}), (std::vector<uint32_t>{4, 2, 640}));
}

TEST(InterfaceTiles, TilesGrowWhenTheGridWouldPassItsLimit) {
    const struct {
        uint32_t width, height, tile;
    } cases[] = {{1280, 720, 16}, {1024, 1024, 16}, {1025, 1024, 32}, {1024, 1025, 32}, {3840, 2160, 64}};
    for (const auto& c : cases) {
        Written w;
        render::writeInterfaceTiles(w.words, {fill(0, 0, 10, 10)}, c.width, c.height);
        EXPECT_EQ(w.tile(), c.tile) << c.width << "x" << c.height;
    }
}

// 256 elements over the whole screen do not fit the index pool at 16-pixel tiles: the tiles grow
// and every element is still drawn everywhere.
TEST(InterfaceTiles, AFullPoolGrowsTheTilesInsteadOfDroppingElements) {
    const std::vector<InterfaceElement> elements(300, fill(0.0f, 0.0f, 1280.0f, 720.0f));
    Written w;
    render::writeInterfaceTiles(w.words, elements, 1280, 720);
    EXPECT_EQ(w.words[render::kInterfaceHeaderWord], render::kMaxInterfaceElements);
    EXPECT_GT(w.tile(), render::kSmallestInterfaceTile);
    for (const auto& [x, y] : {std::pair{0u, 0u}, std::pair{1279u, 719u}, std::pair{640u, 360u}})
        EXPECT_EQ(w.listedAt(x, y).size(), render::kMaxInterfaceElements);
}

}  // namespace
