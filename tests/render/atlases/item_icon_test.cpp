#include "render/atlases/item_icon.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "support/fresh_registry.h"

namespace {

using Rgba = std::array<uint8_t, 4>;

constexpr uint8_t kBlock = 13;

uint8_t* texel(render::TileSheet& sheet, uint32_t layer, uint32_t x, uint32_t y) {
    const render::SheetPoint at = render::tileOrigin(layer);
    return &sheet.image.pixels[((at.y + y) * render::kSheetWidth + at.x + x) * 4];
}

render::TileSheet sheetWithFaces(const std::array<Rgba, 3>& faces) {
    render::TileSheet sheet = render::blankTileSheet(kBlock + 2, 0);
    for (uint32_t i = 0; i < 3 * render::kTileSize * render::kTileSize; ++i)
        std::memcpy(texel(sheet, voxel::textureLayer(kBlock, i % 3), i / 3 % render::kTileSize,
                          i / 3 / render::kTileSize),
                    faces[i % 3].data(), 4);
    return sheet;
}

Rgba iconPixel(render::TileSheet& sheet, uint32_t x, uint32_t y, uint8_t id = kBlock) {
    Rgba out;
    std::memcpy(out.data(), texel(sheet, voxel::textureLayer(id, 6), x, y), 4);
    return out;
}

// A triangle on the ground, moved by `lift` along the view direction (1, 1, 1): the same place on
// screen, nearer the viewer for a larger lift.
std::vector<ModelVertex> groundTriangle(float lift, int32_t texture, float shade) {
    std::vector<ModelVertex> out;
    for (const auto& [x, z] : {std::pair{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}}) {
        ModelVertex v;
        v.x = x + lift, v.y = lift, v.z = z + lift;
        v.u = 0.5f, v.v = 0.5f;
        v.texture = texture;
        v.shade = shade;
        out.push_back(v);
    }
    return out;
}

std::vector<ModelVertex> joined(std::vector<ModelVertex> a, const std::vector<ModelVertex>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Rgba red{200, 0, 0, 255}, green{0, 200, 0, 255};

// Shades are interpolated, so a shade of 1 may come out a hair below it and floor one step lower.
testing::AssertionResult sameColour(const Rgba& actual, const Rgba& expected) {
    bool same = actual[3] == expected[3];
    for (int c = 0; c < 3; ++c) same = same && actual[c] <= expected[c] && actual[c] + 1 >= expected[c];
    if (same) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "got " << int(actual[0]) << "," << int(actual[1]) << ","
                                       << int(actual[2]) << "," << int(actual[3]);
}

// Depth decides over drawing order, texels below alpha 26 leave holes, shades are clamped and floored,
// and outside the model the tile is cleared, not left white.
TEST(ItemIcon, DepthAlphaAndShade) {
    const auto far = groundTriangle(0.0f, 0, 1.0f), near = groundTriangle(1.0f, 1, 1.0f);
    const auto shaded = [](float shade) { return groundTriangle(0.0f, 0, shade); };
    const struct {
        uint8_t nearAlpha;
        std::vector<ModelVertex> model;
        Rgba expected;
    } cases[] = {
        {255, joined(far, near), green},
        {255, joined(near, far), green},
        {25, joined(near, far), red},
        {26, joined(near, far), Rgba{0, 200, 0, 26}},
        {255, shaded(0.5f), Rgba{100, 0, 0, 255}},
        {255, shaded(0.25f), Rgba{50, 0, 0, 255}},
        {255, shaded(1.5f), Rgba{200, 0, 0, 255}},
        {255, shaded(-1.0f), Rgba{0, 0, 0, 255}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        render::TileSheet sheet = sheetWithFaces({red, Rgba{0, 200, 0, cases[i].nearAlpha}, green});
        render::paintItemIcon(sheet.image, kBlock, cases[i].model);
        EXPECT_TRUE(sameColour(iconPixel(sheet, 16, 17), cases[i].expected)) << "case " << i;
        EXPECT_EQ(iconPixel(sheet, 1, 1), (Rgba{0, 0, 0, 0})) << "case " << i;
        EXPECT_EQ(iconPixel(sheet, 16, 31), (Rgba{0, 0, 0, 0})) << "case " << i;
    }
}

TEST(ItemIcon, DegenerateModelsNeitherFailNorPaint) {
    std::vector<ModelVertex> edgeOn = groundTriangle(0.0f, 0, 1.0f);  // three points on one screen line
    edgeOn[0].x = 0.5f;
    edgeOn[2].x = 2.0f, edgeOn[2].z = 0.0f;
    const struct {
        std::vector<ModelVertex> model;
        Rgba expected;
    } cases[] = {
        {{}, Rgba{255, 255, 255, 255}}, {{ModelVertex{}}, Rgba{0, 0, 0, 0}}, {edgeOn, Rgba{0, 0, 0, 0}}};
    for (const auto& c : cases) {
        render::TileSheet sheet = sheetWithFaces({red, green, green});
        render::paintItemIcon(sheet.image, kBlock, c.model);
        EXPECT_EQ(iconPixel(sheet, 16, 17), c.expected) << c.model.size() << " vertices";
    }
}

class MissingIcons : public testsupport::FreshRegistryTest {};

TEST_F(MissingIcons, OnlyBlocksWithoutAnIconFileArePainted) {
    voxel::BlockDef plain = testsupport::namedBlock("t:plain");
    plain.modelVertices = groundTriangle(0.0f, 0, 1.0f);
    voxel::BlockDef iconic = plain;
    iconic.icon = "icon.png";
    voxel::registerBlock(kBlock, plain);
    voxel::registerBlock(kBlock + 1, iconic);
    render::TileSheet sheet = sheetWithFaces({red, green, green});
    render::paintMissingIcons(sheet);
    EXPECT_TRUE(sameColour(iconPixel(sheet, 16, 17), red));
    EXPECT_EQ(iconPixel(sheet, 16, 17, kBlock + 1), (Rgba{255, 255, 255, 255}));
}

}  // namespace
