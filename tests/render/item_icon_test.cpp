#include "render/item_icon.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "support/fresh_registry.h"

namespace {

using Rgba = std::array<uint8_t, 4>;

constexpr uint8_t kBlock = 13;

render::TileSheet sheetWithFaces(const std::array<Rgba, 3>& faces) {
    render::TileSheet sheet = render::blankTileSheet(kBlock + 2, 0);
    for (uint32_t face = 0; face < faces.size(); ++face) {
        const render::SheetPoint at = render::tileOrigin(voxel::textureLayer(kBlock, face));
        for (uint32_t y = 0; y < render::kTileSize; ++y)
            for (uint32_t x = 0; x < render::kTileSize; ++x)
                std::memcpy(&sheet.image.pixels[((at.y + y) * render::kSheetWidth + at.x + x) * 4],
                            faces[face].data(), 4);
    }
    return sheet;
}

Rgba iconPixel(const render::TileSheet& sheet, uint32_t x, uint32_t y, uint8_t id = kBlock) {
    const render::SheetPoint at = render::tileOrigin(voxel::textureLayer(id, 6));
    Rgba out;
    std::memcpy(out.data(), &sheet.image.pixels[((at.y + y) * render::kSheetWidth + at.x + x) * 4], 4);
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

TEST(ItemIcon, TheNearerTriangleWinsWhateverTheDrawingOrder) {
    const auto far = groundTriangle(0.0f, 0, 1.0f);
    const auto near = groundTriangle(1.0f, 1, 1.0f);
    for (const auto& model : {joined(far, near), joined(near, far)}) {
        render::TileSheet sheet = sheetWithFaces({red, green, green});
        render::paintItemIcon(sheet.image, kBlock, model);
        EXPECT_TRUE(sameColour(iconPixel(sheet, 16, 17), green));
        // Outside the triangle the tile is cleared, not left white.
        EXPECT_EQ(iconPixel(sheet, 1, 1), (Rgba{0, 0, 0, 0}));
        EXPECT_EQ(iconPixel(sheet, 16, 31), (Rgba{0, 0, 0, 0}));
    }
}

TEST(ItemIcon, TexelsBelowAlpha26LeaveHoles) {
    struct Case {
        uint8_t nearAlpha;
        Rgba expected;
    };
    const Case cases[] = {{25, red}, {26, Rgba{0, 200, 0, 26}}};
    for (const Case& c : cases) {
        render::TileSheet sheet = sheetWithFaces({red, Rgba{0, 200, 0, c.nearAlpha}, green});
        render::paintItemIcon(sheet.image, kBlock,
                              joined(groundTriangle(1.0f, 1, 1.0f), groundTriangle(0.0f, 0, 1.0f)));
        EXPECT_TRUE(sameColour(iconPixel(sheet, 16, 17), c.expected)) << int(c.nearAlpha);
    }
}

TEST(ItemIcon, ShadeIsClampedAndFloored) {
    struct Case {
        float shade;
        uint8_t red;
    };
    const Case cases[] = {{0.5f, 100}, {0.25f, 50}, {1.5f, 200}, {-1.0f, 0}};
    for (const Case& c : cases) {
        render::TileSheet sheet = sheetWithFaces({red, green, green});
        render::paintItemIcon(sheet.image, kBlock, groundTriangle(0.0f, 0, c.shade));
        EXPECT_TRUE(sameColour(iconPixel(sheet, 16, 17), (Rgba{c.red, 0, 0, 255}))) << c.shade;
    }
}

TEST(ItemIcon, DegenerateModelsNeitherFailNorPaint) {
    render::TileSheet sheet = sheetWithFaces({red, green, green});
    render::paintItemIcon(sheet.image, kBlock, {});
    EXPECT_EQ(iconPixel(sheet, 16, 17), (Rgba{255, 255, 255, 255}));  // untouched

    render::paintItemIcon(sheet.image, kBlock, {ModelVertex{}});
    EXPECT_EQ(iconPixel(sheet, 16, 17), (Rgba{0, 0, 0, 0}));  // cleared, nothing drawn

    // Edge-on: all three points on one screen line.
    std::vector<ModelVertex> line = groundTriangle(0.0f, 0, 1.0f);
    line[0].x = 0.5f;
    line[2].x = 2.0f, line[2].z = 0.0f;
    render::paintItemIcon(sheet.image, kBlock, line);
    EXPECT_EQ(iconPixel(sheet, 16, 17), (Rgba{0, 0, 0, 0}));
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
