#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <utility>

#include "content/resource_ids.h"
#include "platform/image.h"
#include "png_fixture.h"
#include "render/atlases/interface_atlas.h"
#include "render/atlases/tile_sheet.h"
#include "support/content_pack.h"
#include "support/failure.h"
#include "support/fresh_registry.h"
#include "support/temp_dir.h"
#include "ui/font_alphabet.h"
#include "world/block_registry.h"

namespace fs = std::filesystem;

namespace {

fs::path textures() {
    return fs::path(std::getenv("QUORVANE_SOURCE_DIR")) / "Assets" / "Textures";
}

bool anyOpaque(const platform::Image& image, uint32_t x0, uint32_t x1) {
    for (uint32_t y = 0; y < image.height; ++y) {
        for (uint32_t x = x0; x < x1; ++x) {
            if (atlastest::pixelAt(image, x, y)[3] != 0) return true;
        }
    }
    return false;
}

TEST(ShippedTextures, EveryBuiltinFaceAndBodyPartHasA16PixelTexture) {
    const fs::path blocks = textures() / "Blocks";
    for (uint32_t layer = 0; layer < render::kBodyPartLayerEnd; ++layer) {
        const fs::path file = render::layerTextureFile(layer, blocks);
        const platform::Image image = platform::decodePng(file);
        EXPECT_EQ(std::pair(image.width, image.height), std::pair(16u, 16u)) << file;
    }
}

// The atlas of the shipped pack, as start-up builds it: every face and icon file that the built-in
// blocks and the pack's definitions name loads.
class ShippedPackTextures : public testsupport::FreshRegistryTest {};

TEST_F(ShippedPackTextures, TheAtlasFindsEveryTextureThePackNames) {
    testsupport::TempDir dir;
    const fs::path content = dir.path() / "Content";
    testsupport::copyContentPack(fs::path(std::getenv("QUORVANE_SOURCE_DIR")) / "Content", content);
    testing::internal::CaptureStdout();
    content::loadResources(content, dir.path() / "Saves" / "content_ids.txt");
    testing::internal::GetCapturedStdout();
    ASSERT_GT(voxel::blockCount(), voxel::builtinBlockCount);

    render::TileSheet sheet = render::blankTileSheet(voxel::blockCount(), 0);
    render::loadLayerTiles(sheet, textures() / "Blocks");
    EXPECT_EQ(sheet.missing, 0u);
    EXPECT_EQ(sheet.missingLines, "");
    EXPECT_GE(sheet.loaded, render::kBodyPartLayerEnd + 6 * (voxel::blockCount() - voxel::builtinBlockCount));
}

TEST(ShippedTextures, InterfacePicturesDecodeAtTheirIntendedSizes) {
    const fs::path ui = textures() / "UI";
    for (const render::UiPicture& picture : render::uiAtlasPictures()) EXPECT_NO_THROW(platform::decodePng(ui / picture.file));
    const platform::Image background = platform::decodePng(ui / "menu_background.png");
    EXPECT_EQ(std::pair(background.width, background.height), std::pair(1920u, 1080u));
}

// The font's cells follow the alphabet: only the space is empty.
TEST(ShippedTextures, FontStripHasAGlyphInEveryCellButTheSpace) {
    const platform::Image font = platform::decodePng(textures() / "UI" / "font.png");
    ASSERT_EQ(std::pair(font.width, font.height), std::pair(1920u, 64u));
    const uint32_t count = ui::kFontGlyphCount;
    for (uint32_t i = 0; i < count; ++i) {
        EXPECT_EQ(anyOpaque(font, i * 1920 / count, (i + 1) * 1920 / count), i != 0) << "glyph " << i;
    }
}

// Each texture counted missing is named once, with why: a missing file, a broken one, and a
// placeholder whose content vanished and that names no file at all.
TEST_F(ShippedPackTextures, EveryMissingTextureIsNamedOnceWithItsReason) {
    testsupport::TempDir dir;
    const fs::path good = dir.path() / "good.png", gone = dir.path() / "gone.png", broken = dir.path() / "broken.png";
    atlastest::writeSolidPng(good, 16, 16, atlastest::kRed);
    testsupport::writeFile(broken, "not a picture");
    voxel::BlockDef def;
    def.id = "pack:odd";
    def.textures = {good.string(), gone.string(), broken.string()};
    voxel::registerBlock(13, def);
    voxel::BlockDef vanished;
    vanished.id = "pack:vanished";
    voxel::registerBlock(14, vanished);

    render::TileSheet sheet = render::blankTileSheet(voxel::blockCount(), 0);
    render::loadLayerTiles(sheet, textures() / "Blocks");
    // Faces 1 and 2..5, the vanished block's six faces; painted icons are not missing.
    EXPECT_EQ(sheet.missing, 1u + 4u + 6u);
    const std::string junk = "not a picture";
    const std::string why = testsupport::failureOf([&] {
        platform::decodePngBytes(reinterpret_cast<const uint8_t*>(junk.data()), junk.size());
    });
    EXPECT_EQ(sheet.missingLines, gone.string() + ": texture file missing\n" + broken.string() + ": " + why +
                                      "\n" + "pack:vanished: no texture file\n");
}

}  // namespace
