#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "png_fixture.h"
#include "render/tile_sheet.h"
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

TEST(SheetLayout, ThirteenBlocksGiveEighteenRowsSoThePanelTilesFit) {
    const render::SheetLayout layout = render::sheetLayout(13, 0);
    EXPECT_EQ(layout.layers, 128u);
    EXPECT_EQ(layout.rows, 18u);
    EXPECT_EQ(layout.height, 576u);
    const render::SheetPoint lastPanel = render::tileOrigin(layout.layers + 8);
    EXPECT_LE(lastPanel.y + 32, layout.height);
}

TEST(SheetLayout, EachCustomBlockAddsSevenLayers) {
    EXPECT_EQ(render::sheetLayout(14, 0).layers, 135u);
    EXPECT_EQ(render::sheetLayout(14, 0).rows, 18u);
    EXPECT_EQ(render::sheetLayout(20, 0).layers, 177u);
    EXPECT_EQ(render::sheetLayout(20, 0).rows, 24u);
    EXPECT_EQ(render::sheetLayout(20, 0).height, 768u);
    EXPECT_EQ(render::sheetLayout(256, 0).layers, 1829u);
    EXPECT_EQ(render::sheetLayout(256, 0).rows, 230u);
}

TEST(SheetLayout, NpcTilesShrinkToTwoARowAboveThirtyTwo) {
    const render::SheetLayout big = render::sheetLayout(13, 32);
    EXPECT_EQ(big.npcTile, 256u);
    EXPECT_EQ(big.height, 576u + 32 * 256);
    EXPECT_EQ(render::npcOrigin(big, 31).x, 0u);
    EXPECT_EQ(render::npcOrigin(big, 31).y, 576u + 31 * 256);

    const render::SheetLayout small = render::sheetLayout(13, 33);
    EXPECT_EQ(small.npcTile, 128u);
    EXPECT_EQ(small.height, 576u + 17 * 128);
    EXPECT_EQ(render::npcOrigin(small, 1).x, 128u);
    EXPECT_EQ(render::npcOrigin(small, 1).y, 576u);
    EXPECT_EQ(render::npcOrigin(small, 2).x, 0u);
    EXPECT_EQ(render::npcOrigin(small, 2).y, 704u);
}

TEST(SheetLayout, TilesRunEightToARowAndTheSkinCoversTiles118To127) {
    EXPECT_EQ(render::tileOrigin(9).x, 32u);
    EXPECT_EQ(render::tileOrigin(9).y, 32u);
    EXPECT_EQ(render::tileOrigin(118).x, 192u);
    EXPECT_EQ(render::tileOrigin(118).y, 448u);
    EXPECT_EQ(render::tileOrigin(127).x, 224u);
    EXPECT_EQ(render::tileOrigin(127).y, 480u);
}

TEST(FallbackPictures, CheckerboardAlternatesEveryEightPixels) {
    const platform::Image board = render::checkerboard();
    ASSERT_EQ(board.width, 32u);
    ASSERT_EQ(board.height, 32u);
    EXPECT_TRUE(blockIs(board, 0, 0, 8, 8, kMagenta));
    EXPECT_TRUE(blockIs(board, 8, 0, 8, 8, kDarkGrey));
    EXPECT_TRUE(blockIs(board, 0, 8, 8, 8, kDarkGrey));
    EXPECT_TRUE(blockIs(board, 24, 24, 8, 8, kMagenta));
    EXPECT_TRUE(blockIs(board, 16, 24, 8, 8, kDarkGrey));
}

TEST(FallbackPictures, BuiltinPanelHasATwoPixelFrame) {
    const platform::Image panel = render::builtinPanel();
    ASSERT_EQ(panel.width, 32u);
    EXPECT_TRUE(blockIs(panel, 0, 0, 32, 2, kPanelEdge));
    EXPECT_TRUE(blockIs(panel, 0, 30, 32, 2, kPanelEdge));
    EXPECT_TRUE(blockIs(panel, 0, 0, 2, 32, kPanelEdge));
    EXPECT_TRUE(blockIs(panel, 30, 0, 2, 32, kPanelEdge));
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
    EXPECT_EQ(render::layerTextureFile(0, blocks()), blocks() / "air.png");
    EXPECT_EQ(render::layerTextureFile(6, blocks()), blocks() / "grass_top.png");
    EXPECT_EQ(render::layerTextureFile(7, blocks()), blocks() / "dirt.png");
    EXPECT_EQ(render::layerTextureFile(8, blocks()), blocks() / "grass_side.png");
    EXPECT_EQ(render::layerTextureFile(42, blocks()), blocks() / "wood_top.png");
    EXPECT_EQ(render::layerTextureFile(44, blocks()), blocks() / "wood_side.png");
    EXPECT_EQ(render::layerTextureFile(48, blocks()), blocks() / "leaves.png");
    EXPECT_EQ(render::layerTextureFile(77, blocks()), blocks() / "diamond_ore.png");
    EXPECT_TRUE(render::layerTextureFile(114, blocks()).empty());
    EXPECT_TRUE(render::layerTextureFile(127, blocks()).empty());
}

TEST_F(TileSheetTest, BodyPartFacesFallBackToTheWholePartFile) {
    atlastest::writeSolidPng(character() / "head_front.png", 8, 8, kRed);
    EXPECT_EQ(render::layerTextureFile(78 + 2, blocks()), character() / "head_front.png");
    EXPECT_EQ(render::layerTextureFile(78 + 0, blocks()), character() / "head.png");
    EXPECT_EQ(render::layerTextureFile(78 + 3 * 6 + 5, blocks()), character() / "right_arm.png");
    EXPECT_EQ(render::layerTextureFile(113, blocks()), character() / "right_leg.png");
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
    const render::MaterialRecord& grass = sheet.materials[6];
    EXPECT_EQ(grass.id, 6u);
    EXPECT_EQ(grass.x, 192u);
    EXPECT_EQ(grass.y, 0u);
    EXPECT_EQ(grass.width, 32u);
    EXPECT_EQ(grass.height, 32u);
    EXPECT_EQ(grass.path, (blocks() / "grass_top.png").string());
    EXPECT_EQ(sheet.materials.back().id, 113u);

    EXPECT_TRUE(blockIs(sheet.image, 192, 0, 16, 32, kRed));
    EXPECT_TRUE(blockIs(sheet.image, 208, 0, 16, 32, kBlue));
    const render::SheetPoint sand = render::tileOrigin(4 * 6);
    EXPECT_TRUE(sameImage(sheet.image, sand.x, sand.y, render::checkerboard()));
    const render::SheetPoint unused = render::tileOrigin(114);
    EXPECT_TRUE(blockIs(sheet.image, unused.x, unused.y, 32, 32, kWhite));
}

TEST_F(TileSheetTest, PlayerSkinIsScaledTo64OrLeavesTheRegionWhite) {
    const fs::path skin = dir.path() / "Assets" / "Models" / "Player" / "player.png";
    render::TileSheet sheet = render::blankTileSheet(13, 0);
    EXPECT_FALSE(render::loadPlayerSkin(sheet, skin));
    EXPECT_TRUE(blockIs(sheet.image, 192, 448, 64, 64, kWhite));
    ASSERT_EQ(sheet.materials.size(), 1u);
    EXPECT_EQ(sheet.materials[0].id, 1856u);
    EXPECT_EQ(sheet.materials[0].x, 192u);
    EXPECT_EQ(sheet.materials[0].y, 448u);
    EXPECT_EQ(sheet.materials[0].width, 64u);
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

    EXPECT_EQ(errors,
              "title.png: missing or invalid PNG; using built-in fallback\n"
              "slot.png: missing or invalid PNG; using built-in fallback\n"
              "slot_hover.png: missing or invalid PNG; using built-in fallback\n"
              "slot_selected.png: missing or invalid PNG; using built-in fallback\n"
              "tooltip.png: missing or invalid PNG; using built-in fallback\n"
              "button.png: missing or invalid PNG; using built-in fallback\n"
              "button_hover.png: missing or invalid PNG; using built-in fallback\n"
              "button_pressed.png: missing or invalid PNG; using built-in fallback\n");
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
    EXPECT_EQ(sheet.materials[1].id, 1858u);
    EXPECT_EQ(sheet.materials[1].y, 576u + 256);
    EXPECT_EQ(sheet.materials[1].width, 256u);
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
