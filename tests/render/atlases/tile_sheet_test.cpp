#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include "png_fixture.h"
#include "render/atlases/tile_sheet.h"
#include "support/failure.h"
#include "support/fresh_registry.h"
#include "support/temp_dir.h"
#include "world/block_registry.h"

namespace fs = std::filesystem;
using atlastest::blockIs;
using atlastest::kBlue;
using atlastest::kRed;
using atlastest::pixelAt;
using atlastest::Rgba;
using testsupport::failureOf;

namespace {

const Rgba kWhite{255, 255, 255, 255};
const Rgba kMagenta{255, 0, 255, 255};
const Rgba kDarkGrey{25, 25, 25, 255};
const Rgba kPanelEdge{155, 140, 115, 255};
const Rgba kPanelFill{72, 69, 64, 255};

bool sameImage(const platform::Image& sheet, uint32_t x, uint32_t y, const platform::Image& expected) {
    for (uint32_t row = 0; row < expected.height; ++row) {
        for (uint32_t column = 0; column < expected.width; ++column) {
            if (pixelAt(sheet, x + column, y + row) != pixelAt(expected, column, row)) return false;
        }
    }
    return true;
}

std::pair<uint32_t, uint32_t> xy(render::SheetPoint point) { return {point.x, point.y}; }

// What a material record places: id, x, y, width and height.
using Place = std::array<uint32_t, 5>;
Place place(const render::MaterialRecord& m) { return {m.id, m.x, m.y, m.width, m.height}; }

TEST(SheetLayout, EachCustomBlockAddsSevenLayersAndThirteenLeaveRoomForThePanels) {
    const struct {
        std::size_t blocks;
        uint32_t layers, rows, height;
    } rows[] = {{13, 128, 18, 576}, {14, 135, 18, 576}, {20, 177, 24, 768}, {256, 1829, 230, 7360}};
    for (const auto& row : rows) {
        const render::SheetLayout layout = render::sheetLayout(row.blocks, 0);
        EXPECT_EQ(layout.layers, row.layers) << row.blocks;
        EXPECT_EQ(layout.rows, row.rows) << row.blocks;
        EXPECT_EQ(layout.height, row.height) << row.blocks;
    }
    const render::SheetLayout thirteen = render::sheetLayout(13, 0);
    EXPECT_LE(render::tileOrigin(thirteen.layers + 8).y + 32, thirteen.height) << "the last panel tile fits";
}

TEST(SheetLayout, NpcTilesShrinkToTwoARowAboveThirtyTwo) {
    const render::SheetLayout big = render::sheetLayout(13, 32);
    EXPECT_EQ(big.npcTile, 256u);
    EXPECT_EQ(big.height, 576u + 32 * 256);
    EXPECT_EQ(xy(render::npcOrigin(big, 31)), std::pair(0u, 576u + 31 * 256));

    const render::SheetLayout small = render::sheetLayout(13, 33);
    EXPECT_EQ(small.npcTile, 128u);
    EXPECT_EQ(small.height, 576u + 17 * 128);
    EXPECT_EQ(xy(render::npcOrigin(small, 1)), std::pair(128u, 576u));
    EXPECT_EQ(xy(render::npcOrigin(small, 2)), std::pair(0u, 704u));
}

TEST(SheetLayout, TilesRunEightToARowAndTheSkinCoversTiles118To127) {
    EXPECT_EQ(xy(render::tileOrigin(9)), std::pair(32u, 32u));
    EXPECT_EQ(xy(render::tileOrigin(118)), std::pair(192u, 448u));
    EXPECT_EQ(xy(render::tileOrigin(127)), std::pair(224u, 480u));
}

TEST(FallbackPictures, CheckerboardAlternatesEveryEightPixels) {
    const platform::Image board = render::checkerboard();
    ASSERT_EQ(std::pair(board.width, board.height), std::pair(32u, 32u));
    const std::pair<render::SheetPoint, Rgba> squares[] = {
        {{0, 0}, kMagenta}, {{8, 0}, kDarkGrey}, {{0, 8}, kDarkGrey}, {{24, 24}, kMagenta}, {{16, 24}, kDarkGrey}};
    for (const auto& [at, colour] : squares) EXPECT_TRUE(blockIs(board, at.x, at.y, 8, 8, colour)) << at.x << "," << at.y;
}

TEST(FallbackPictures, BuiltinPanelHasATwoPixelFrame) {
    const platform::Image panel = render::builtinPanel();
    ASSERT_EQ(panel.width, 32u);
    for (const auto& [x, y, w, h] : {std::array<uint32_t, 4>{0, 0, 32, 2}, {0, 30, 32, 2}, {0, 0, 2, 32}, {30, 0, 2, 32}})
        EXPECT_TRUE(blockIs(panel, x, y, w, h, kPanelEdge)) << x << "," << y;
    EXPECT_TRUE(blockIs(panel, 2, 2, 28, 28, kPanelFill));
}

TEST(SheetLines, CountsAndSkinState) {
    render::TileSheet sheet;
    sheet.loaded = 100;
    sheet.missing = 14;
    EXPECT_EQ(render::textureAtlasLine(sheet), "Texture atlas: 100 loaded, 14 missing (missing = pink checkerboard)\n");
    EXPECT_EQ(render::playerTextureLine(true, "/g/player.png"), "VXM 3 player texture: loaded /g/player.png\n");
    EXPECT_EQ(render::playerTextureLine(false, "/g/player.png"), "VXM 3 player texture: MISSING /g/player.png\n");
}

class TileSheetTest : public testsupport::FreshRegistryTest {
protected:
    fs::path textures() const { return dir.path() / "Assets" / "Textures"; }
    fs::path blocks() const { return textures() / "Blocks"; }
    fs::path character() const { return textures() / "Character"; }
    fs::path ui() const { return textures() / "UI"; }

    testsupport::TempDir dir;
};

TEST_F(TileSheetTest, BuiltinFacesReadTheirBlockTexturesWithThreeRenames) {
    const std::pair<uint32_t, const char*> named[] = {
        {0, "air.png"},       {6, "grass_top.png"}, {7, "dirt.png"},   {8, "grass_side.png"},
        {42, "wood_top.png"}, {44, "wood_side.png"}, {48, "leaves.png"}, {77, "diamond_ore.png"}};
    for (const auto& [layer, file] : named)
        EXPECT_EQ(render::layerTextureFile(layer, blocks()), blocks() / file);
    for (uint32_t layer : {114u, 127u}) EXPECT_TRUE(render::layerTextureFile(layer, blocks()).empty()) << layer;
}

TEST_F(TileSheetTest, BodyPartFacesFallBackToTheWholePartFile) {
    atlastest::writeSolidPng(character() / "head_front.png", 8, 8, kRed);
    const std::pair<uint32_t, const char*> parts[] = {
        {78 + 2, "head_front.png"}, {78 + 0, "head.png"}, {78 + 3 * 6 + 5, "right_arm.png"}, {113, "right_leg.png"}};
    for (const auto& [layer, file] : parts)
        EXPECT_EQ(render::layerTextureFile(layer, blocks()), character() / file);
}

TEST_F(TileSheetTest, CustomFacesRepeatTheLastTextureAndFaceSixIsTheIcon) {
    voxel::BlockDef withTextures;
    withTextures.textures = {"/pack/a.png", "/pack/b.png"};
    withTextures.icon = "/pack/icon.png";
    voxel::registerBlock(13, withTextures);
    voxel::registerBlock(14, voxel::BlockDef{});

    EXPECT_EQ(render::layerTextureFile(128, blocks()), fs::path("/pack/a.png"));
    for (uint32_t layer = 129; layer <= 133; ++layer) EXPECT_EQ(render::layerTextureFile(layer, blocks()), fs::path("/pack/b.png"));
    EXPECT_EQ(render::layerTextureFile(134, blocks()), fs::path("/pack/icon.png"));
    for (uint32_t layer = 135; layer <= 141; ++layer) EXPECT_TRUE(render::layerTextureFile(layer, blocks()).empty());
}

TEST_F(TileSheetTest, LayerTilesAreScaledNearestOrCheckeredAndCounted) {
    atlastest::writePng(blocks() / "grass_top.png",
                        atlastest::paintedImage(16, 16, [](uint32_t x, uint32_t) { return x < 8 ? kRed : kBlue; }));
    testsupport::writeFile(blocks() / "sand.png", "not a picture");

    render::TileSheet sheet = render::blankTileSheet(13, 0);
    render::loadLayerTiles(sheet, blocks());

    EXPECT_EQ(sheet.loaded, 1u);
    EXPECT_EQ(sheet.missing, 113u);
    ASSERT_EQ(sheet.materials.size(), 114u);
    EXPECT_EQ(place(sheet.materials[6]), (Place{6, 192, 0, 32, 32}));
    EXPECT_EQ(sheet.materials[6].path, (blocks() / "grass_top.png").string());
    EXPECT_EQ(sheet.materials.back().id, 113u);

    EXPECT_TRUE(blockIs(sheet.image, 192, 0, 16, 32, kRed));
    EXPECT_TRUE(blockIs(sheet.image, 208, 0, 16, 32, kBlue));
    const render::SheetPoint sand = render::tileOrigin(4 * 6);
    EXPECT_TRUE(sameImage(sheet.image, sand.x, sand.y, render::checkerboard()));
    const render::SheetPoint unused = render::tileOrigin(114);
    EXPECT_TRUE(blockIs(sheet.image, unused.x, unused.y, 32, 32, kWhite));
}

// Only a named file that does not load is missing: a block without an icon file has its icon
// painted from its model instead. The built-in layers have no files here, 114 of them.
TEST_F(TileSheetTest, MissingCountsNamedFilesThatDoNotLoadButNotPaintedIcons) {
    const fs::path face = dir.path() / "pack" / "face.png", icon = dir.path() / "pack" / "icon.png";
    atlastest::writeSolidPng(face, 16, 16, kRed);
    atlastest::writeSolidPng(icon, 16, 16, kBlue);
    const fs::path gone = dir.path() / "pack" / "gone.png";
    const struct {
        fs::path texture, icon;
        uint32_t loaded, missing;  // of the block's seven layers
    } cases[] = {{face, {}, 6, 0}, {face, icon, 7, 0}, {face, gone, 6, 1}, {gone, {}, 0, 6}, {gone, gone, 0, 7}};
    for (const auto& c : cases) {
        voxel::BlockDef def;
        def.textures = {c.texture.string()};
        def.icon = c.icon.string();
        voxel::registerBlock(13, def);
        render::TileSheet sheet = render::blankTileSheet(14, 0);
        render::loadLayerTiles(sheet, blocks());
        EXPECT_EQ(sheet.missing, 114u + c.missing) << c.texture << " " << c.icon;
        EXPECT_EQ(sheet.loaded, c.loaded) << c.texture << " " << c.icon;
    }
}

TEST_F(TileSheetTest, PlayerSkinIsScaledTo64OrLeavesTheRegionWhite) {
    const fs::path skin = dir.path() / "Assets" / "Models" / "Player" / "player.png";
    render::TileSheet sheet = render::blankTileSheet(13, 0);
    EXPECT_FALSE(render::loadPlayerSkin(sheet, skin));
    EXPECT_TRUE(blockIs(sheet.image, 192, 448, 64, 64, kWhite));
    ASSERT_EQ(sheet.materials.size(), 1u);
    EXPECT_EQ(place(sheet.materials[0]), (Place{1856, 192, 448, 64, 64}));
    EXPECT_EQ(sheet.materials[0].path, skin.string());

    atlastest::writeSolidPng(skin, 32, 32, kBlue);
    render::TileSheet loaded = render::blankTileSheet(13, 0);
    EXPECT_TRUE(render::loadPlayerSkin(loaded, skin));
    EXPECT_TRUE(blockIs(loaded.image, 192, 448, 64, 64, kBlue));
}

TEST_F(TileSheetTest, PanelsFallBackToTheBuiltinPictureAndReportEachMissingFile) {
    atlastest::writeSolidPng(ui() / "window.png", 64, 64, kRed);
    testsupport::writeFile(ui() / "slot.png", "broken");
    render::TileSheet sheet = render::blankTileSheet(13, 0);
    const std::string errors = render::loadPanelTiles(sheet, ui());

    std::string expected;
    for (const char* file : {"title.png", "slot.png", "slot_hover.png", "slot_selected.png", "tooltip.png",
                             "button.png", "button_hover.png", "button_pressed.png"})
        expected += std::string(file) + ": missing or invalid PNG; using built-in fallback\n";
    EXPECT_EQ(errors, expected);
    ASSERT_EQ(sheet.materials.size(), 9u);
    for (uint32_t i = 0; i < 9; ++i) {
        EXPECT_EQ(sheet.materials[i].id, 128u + i);
        EXPECT_EQ(sheet.materials[i].path, (ui() / render::panelFiles()[i]).string());
    }
    EXPECT_TRUE(blockIs(sheet.image, 0, 512, 32, 32, kRed));
    EXPECT_TRUE(sameImage(sheet.image, 32, 512, render::builtinPanel()));
    EXPECT_TRUE(sameImage(sheet.image, 0, 544, render::builtinPanel()));
}

TEST_F(TileSheetTest, NpcTexturesFillTheirTilesAndAMissingOneIsFatal) {
    const fs::path first = dir.path() / "npc" / "a.png";
    const fs::path second = dir.path() / "npc" / "b.png";
    atlastest::writeSolidPng(first, 8, 8, kRed);
    atlastest::writeSolidPng(second, 8, 8, kBlue);
    render::TileSheet sheet = render::blankTileSheet(13, 2);
    render::loadNpcTiles(sheet, {first.string(), second.string()});
    ASSERT_EQ(sheet.materials.size(), 2u);
    EXPECT_EQ(place(sheet.materials[1]), (Place{1858, 0, 576 + 256, 256, 256}));
    EXPECT_TRUE(blockIs(sheet.image, 0, 576, 256, 256, kRed));
    EXPECT_TRUE(blockIs(sheet.image, 0, 832, 256, 256, kBlue));

    render::TileSheet failing = render::blankTileSheet(13, 1);
    const std::string missing = (dir.path() / "npc" / "gone.png").string();
    EXPECT_EQ(failureOf([&] { render::loadNpcTiles(failing, {missing}); }),
              "Cannot load NPC texture: " + missing);
}

TEST_F(TileSheetTest, ScreenSkinsAreListedOnlyForRegularFilesInTableOrder) {
    testsupport::writeFile(ui() / "chest143.png", "");
    testsupport::writeFile(ui() / "inventory143.png", "");
    fs::create_directories(ui() / "alchemy143.png");
    render::TileSheet sheet = render::blankTileSheet(13, 0);
    render::listScreenSkins(sheet, textures());
    ASSERT_EQ(sheet.materials.size(), 2u);
    EXPECT_EQ(sheet.materials[0].id, 4094u);
    EXPECT_EQ(sheet.materials[0].path, (ui() / "inventory143.png").string());
    EXPECT_EQ(sheet.materials[1].id, 4090u);
    EXPECT_EQ(sheet.materials[1].x, 0u);
    EXPECT_EQ(sheet.materials[1].height, 32u);
}

}  // namespace
