#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "png_fixture.h"
#include "render/atlases/atlas_packing.h"
#include "support/failure.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using atlastest::kBlue;
using atlastest::kGreen;
using atlastest::kRed;
using atlastest::pixelAt;
using atlastest::Rgba;
using testsupport::failureOf;

namespace {

const Rgba kYellow{220, 220, 40, 255};

platform::Image blankSheet() {
    return atlastest::paintedImage(256, 576, [](uint32_t, uint32_t) { return Rgba{255, 255, 255, 255}; });
}

struct Rect {
    float u, v, du, dv;
};
Rect rectOf(const render::PackedAtlas& atlas, uint32_t id) {
    const float* r = &atlas.materialRects[std::size_t{id} * 4];
    return {r[0], r[1], r[2], r[3]};
}

TEST(AtlasWidth, StartsAt2048AndDoublesOnlyWhenTheWidestImageNeedsIt) {
    EXPECT_EQ(render::atlasWidth(2044, 4096), 2048u);
    EXPECT_EQ(render::atlasWidth(2045, 4096), 4096u);
    EXPECT_EQ(render::atlasWidth(5000, 16384), 8192u);
    EXPECT_EQ(render::atlasWidth(100, 1024), 1024u);
    EXPECT_EQ(render::atlasWidth(2100, 3000), 3000u);
}

TEST(ShelfPacking, TallestFirstLeftToRightWithFourPixelsBetween) {
    // Sorted: 32 x 32 (1), then the two 16-pixel-high images in their own order (0, 3), then 16 x 8 (2).
    const render::ShelfPlan plan = render::packShelves({{16, 16}, {32, 32}, {16, 8}, {8, 16}}, 64, 4096);
    // Image 3 starts a new shelf under the 36-pixel one: 56 + 8 + 4 passes 64.
    std::vector<std::pair<uint32_t, uint32_t>> places;
    for (const render::SheetPoint& p : plan.places) places.emplace_back(p.x, p.y);
    EXPECT_EQ(places, (std::vector<std::pair<uint32_t, uint32_t>>{{38, 2}, {2, 2}, {14, 38}, {2, 38}}));
    EXPECT_EQ(plan.height, 36u + 20u);
}

TEST(ShelfPacking, EmptyListGivesOneRowAndTooTallShelvesFail) {
    EXPECT_EQ(render::packShelves({}, 2048, 4096).height, 1u);
    EXPECT_EQ(render::packShelves({{10, 60}, {10, 60}}, 16, 128).height, 128u);
    EXPECT_EQ(failureOf([] { render::packShelves({{10, 60}, {10, 60}}, 16, 127); }),
              "Original-resolution texture atlas exceeds GPU limits");
}

// An image whose border ends exactly at the atlas's right edge stays on its shelf; one pixel more
// starts the next shelf.
TEST(ShelfPacking, AnImageThatExactlyFillsTheShelfStaysOnIt) {
    struct Row {
        uint32_t secondWidth;
        uint32_t x, y, height;  // where the second image lies, and the plan's height
    };
    const Row rows[] = {{27, 34, 2, 20}, {28, 34, 2, 20}, {29, 2, 22, 40}};
    for (const Row& row : rows) {
        const render::ShelfPlan plan = render::packShelves({{28, 16}, {row.secondWidth, 16}}, 64, 4096);
        EXPECT_EQ(plan.places[1].x, row.x) << row.secondWidth;
        EXPECT_EQ(plan.places[1].y, row.y) << row.secondWidth;
        EXPECT_EQ(plan.height, row.height) << row.secondWidth;
    }
    EXPECT_EQ(render::packShelves({{60, 4}}, 64, 4096).places[0].x, 2u);
    EXPECT_EQ(render::packShelves({{60, 4}, {1, 1}}, 64, 4096).places[1].y, 10u);
}

TEST(BorderCopy, EdgePixelsRepeatTwoPixelsOutwardsCornersIncluded) {
    const platform::Image quad = atlastest::paintedImage(2, 2, [](uint32_t x, uint32_t y) {
        return y == 0 ? (x == 0 ? kRed : kGreen) : (x == 0 ? kBlue : kYellow);
    });
    platform::Image atlas = atlastest::paintedImage(6, 6, [](uint32_t, uint32_t) { return Rgba{0, 0, 0, 0}; });
    render::copyWithBorder(atlas, quad, {2, 2});
    EXPECT_TRUE(atlastest::blockIs(atlas, 0, 0, 3, 3, kRed));
    EXPECT_TRUE(atlastest::blockIs(atlas, 3, 0, 3, 3, kGreen));
    EXPECT_TRUE(atlastest::blockIs(atlas, 0, 3, 3, 3, kBlue));
    EXPECT_TRUE(atlastest::blockIs(atlas, 3, 3, 3, 3, kYellow));
}

class PackAtlasTest : public ::testing::Test {
protected:
    std::string png(const std::string& name, uint32_t width, uint32_t height, Rgba colour) {
        const fs::path file = dir.path() / name;
        atlastest::writeSolidPng(file, width, height, colour);
        return file.string();
    }
    testsupport::TempDir dir;
};

TEST_F(PackAtlasTest, OwnResolutionSharedFilesAndUnusedIdsStayZero) {
    const std::string grass = png("grass.png", 16, 16, kGreen);
    const std::vector<render::MaterialRecord> materials = {
        {6, 192, 0, 32, 32, grass},
        {7, 224, 0, 32, 32, grass},
    };
    const render::PackedAtlas atlas = render::packAtlas(materials, blankSheet(), 4096);
    EXPECT_EQ(atlas.imageCount, 1u);
    EXPECT_EQ(atlas.image.width, 2048u);
    EXPECT_EQ(atlas.image.height, 20u);
    EXPECT_TRUE(atlastest::blockIs(atlas.image, 0, 0, 20, 20, kGreen));
    EXPECT_EQ(pixelAt(atlas.image, 20, 0), (Rgba{0, 0, 0, 0}));

    ASSERT_EQ(atlas.materialRects.size(), 4096u * 4);
    const Rect six = rectOf(atlas, 6);
    EXPECT_THAT((std::array{six.u, six.v, six.du, six.dv}),
                testing::ElementsAre(testing::FloatEq(2.0f / 2048), testing::FloatEq(2.0f / 20),
                                     testing::FloatEq(16.0f / 2048), testing::FloatEq(16.0f / 20)));
    const Rect seven = rectOf(atlas, 7);
    EXPECT_EQ(seven.u, six.u);
    EXPECT_EQ(seven.dv, six.dv);
    EXPECT_EQ(rectOf(atlas, 8).du, 0.0f);

    EXPECT_EQ(render::packedAtlasLine(atlas), "Original-resolution RGBA atlas: 2048x20, 1 images; no texture downsampling\n");
}

TEST_F(PackAtlasTest, MaterialsWithoutAFileTakeTheirTileFromTheSheet) {
    platform::Image sheet = blankSheet();
    for (uint32_t y = 0; y < 32; ++y)
        for (uint32_t x = 32; x < 64; ++x) std::copy(kBlue.begin(), kBlue.end(), &sheet.pixels[(y * 256 + x) * 4]);
    const std::vector<render::MaterialRecord> materials = {
        {1, 32, 0, 32, 32, (dir.path() / "missing.png").string()},
        {2, 32, 0, 32, 32, ""},
        {3, 32, 0, 32, 32, (dir.path() / "missing.png").string()},
    };
    const render::PackedAtlas atlas = render::packAtlas(materials, sheet, 4096);
    EXPECT_EQ(atlas.imageCount, 3u);  // cut pictures are never shared
    EXPECT_EQ(atlas.image.height, 36u);
    const Rect third = rectOf(atlas, 3);
    EXPECT_FLOAT_EQ(third.u, 74.0f / 2048);
    EXPECT_FLOAT_EQ(third.du, 32.0f / 2048);
    EXPECT_TRUE(atlastest::blockIs(atlas.image, 0, 0, 108, 36, kBlue));
}

TEST_F(PackAtlasTest, SizeAndMaterialLimitsFail) {
    const std::string wide = png("wide.png", 61, 4, kRed);
    EXPECT_EQ(failureOf([&] { render::packAtlas({{1, 0, 0, 32, 32, wide}}, blankSheet(), 64); }),
              "Texture exceeds GPU size limit: " + wide);
    EXPECT_NO_THROW(render::packAtlas({{1, 0, 0, 32, 32, png("fits.png", 60, 4, kRed)}}, blankSheet(), 64));
    const std::string tall = png("tall.png", 4, 61, kRed);
    EXPECT_EQ(failureOf([&] { render::packAtlas({{1, 0, 0, 32, 32, tall}}, blankSheet(), 64); }),
              "Texture exceeds GPU size limit: " + tall);
    EXPECT_NO_THROW(render::packAtlas({{1, 0, 0, 32, 32, png("fits_tall.png", 4, 60, kRed)}}, blankSheet(), 64));
    EXPECT_EQ(failureOf([&] { render::packAtlas({{4096, 0, 0, 32, 32, ""}}, blankSheet(), 4096); }),
              "Too many atlas materials");
    EXPECT_EQ(rectOf(render::packAtlas({{4095, 0, 0, 32, 32, ""}}, blankSheet(), 4096), 4095).du, 32.0f / 2048);
}

// The world shader cuts out a texel whose alpha reads below 0.5: 127 of 255 does, 128 does not. A
// material is flagged by its own picture, whichever other material shares the file.
TEST_F(PackAtlasTest, MaterialsWithATexelBelowHalfAlphaAreFlaggedAsCuttingOut) {
    const std::string glass = png("glass.png", 8, 8, {200, 200, 255, 127});
    const std::string solid = png("solid.png", 8, 8, {90, 90, 90, 128});
    platform::Image sheet = blankSheet();
    sheet.pixels[(5 * 256 + 40) * 4 + 3] = 127;  // one texel of the tile at x 32..63, y 0..31
    const std::vector<render::MaterialRecord> materials = {
        {1, 0, 0, 32, 32, glass}, {2, 0, 0, 32, 32, solid}, {3, 0, 0, 32, 32, glass},
        {4, 32, 0, 32, 32, ""},   {5, 64, 0, 32, 32, ""},
    };
    const render::PackedAtlas atlas = render::packAtlas(materials, sheet, 4096);
    ASSERT_EQ(atlas.cutOutMaterials.size(), 4096u);
    const std::vector<uint8_t> firstSeven(atlas.cutOutMaterials.begin(), atlas.cutOutMaterials.begin() + 7);
    EXPECT_EQ(firstSeven, (std::vector<uint8_t>{0, 1, 0, 1, 1, 0, 0}));
}

}  // namespace
