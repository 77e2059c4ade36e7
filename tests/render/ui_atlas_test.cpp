#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "png_fixture.h"
#include "render/ui_atlas.h"
#include "support/failure.h"
#include "support/temp_dir.h"
#include "ui/ui_state.h"

namespace fs = std::filesystem;
using atlastest::blockIs;
using atlastest::kGreen;
using atlastest::kRed;
using atlastest::Rgba;
using testsupport::failureOf;

namespace {

const Rgba kClear{0, 0, 0, 0};

std::vector<WorldEntry> worlds(const fs::path& saves, int count) {
    std::vector<WorldEntry> list;
    for (int i = 0; i < count; ++i) list.push_back({U"W", 1, saves / ("world" + std::to_string(i))});
    return list;
}

TEST(PreviewList, ThreeRowsFromTheScrollPositionAndTheSelectedWorld) {
    const fs::path saves = "/saves";
    const render::PreviewList two = render::previewList(worlds(saves, 2), 0, 1);
    EXPECT_EQ(two[0], saves / "world0" / "preview.png");
    EXPECT_EQ(two[1], saves / "world1" / "preview.png");
    EXPECT_TRUE(two[2].empty());
    EXPECT_EQ(two[3], saves / "world1" / "preview.png");

    const render::PreviewList scrolled = render::previewList(worlds(saves, 5), 2, 0);
    EXPECT_EQ(scrolled[0], saves / "world2" / "preview.png");
    EXPECT_EQ(scrolled[2], saves / "world4" / "preview.png");
    EXPECT_EQ(scrolled[3], saves / "world0" / "preview.png");

    for (const fs::path& path : render::previewList({}, 0, 0)) EXPECT_TRUE(path.empty());
}

TEST(UiAtlasLayout, PanelsInThreeColumnsThenBackgroundFontAndPreviews) {
    const auto& pictures = render::uiAtlasPictures();
    EXPECT_STREQ(pictures[5].file, "tooltip.png");
    EXPECT_EQ(pictures[5].place.x, 256u);
    EXPECT_EQ(pictures[5].place.y, 128u);
    EXPECT_STREQ(pictures[9].file, "menu_background.png");
    EXPECT_EQ(pictures[9].place.y, 384u);
    EXPECT_EQ(pictures[9].place.height, 1080u);
    EXPECT_STREQ(pictures[10].file, "font.png");
    EXPECT_EQ(pictures[10].place.y, 1464u);
    EXPECT_EQ(pictures[10].place.width, 1920u);
    EXPECT_EQ(render::previewPlace(2).x, 640u);
    EXPECT_EQ(render::previewPlace(3).x, 960u);
    EXPECT_EQ(render::previewPlace(3).width, 640u);
    EXPECT_EQ(render::previewPlace(3).height, 360u);
}

class UiAtlasTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const render::UiPicture& picture : render::uiAtlasPictures())
            atlastest::writeSolidPng(folder() / picture.file, 4, 4, kRed);
    }
    fs::path folder() const { return dir.path() / "UI"; }
    testsupport::TempDir dir;
};

TEST_F(UiAtlasTest, PicturesAreStretchedToTheirPlaces) {
    atlastest::writeSolidPng(folder() / "window.png", 64, 64, kGreen);
    const platform::Image atlas = render::loadUiTextures(folder(), {});
    ASSERT_EQ(atlas.width, 1920u);
    ASSERT_EQ(atlas.height, 1888u);
    EXPECT_TRUE(blockIs(atlas, 0, 0, 128, 128, kGreen));
    EXPECT_TRUE(blockIs(atlas, 128, 0, 256, 384, kRed));
    EXPECT_TRUE(blockIs(atlas, 384, 0, 1536, 384, kClear));
    EXPECT_TRUE(blockIs(atlas, 0, 384, 1920, 1144, kRed));
    EXPECT_TRUE(blockIs(atlas, 0, 1528, 1920, 360, kClear));
}

TEST_F(UiAtlasTest, ExistingPreviewsFillTheirSlotsAndBrokenOrMissingOnesStayClear) {
    const fs::path saves = dir.path() / "Saves";
    atlastest::writeSolidPng(saves / "world0" / "preview.png", 32, 18, kGreen);
    testsupport::writeFile(saves / "world1" / "preview.png", "not a picture");
    const platform::Image atlas = render::loadUiTextures(folder(), render::previewList(worlds(saves, 3), 0, 0));
    EXPECT_TRUE(blockIs(atlas, 0, 1528, 320, 180, kGreen));
    EXPECT_TRUE(blockIs(atlas, 320, 1528, 640, 180, kClear));
    EXPECT_TRUE(blockIs(atlas, 960, 1528, 640, 360, kGreen));
}

TEST_F(UiAtlasTest, EveryFixedPictureIsRequired) {
    fs::remove(folder() / "font.png");
    EXPECT_EQ(failureOf([&] { render::loadUiTextures(folder(), {}); }),
              "Cannot load interface texture: font.png");
    testsupport::writeFile(folder() / "font.png", "broken");
    EXPECT_EQ(failureOf([&] { render::loadUiTextures(folder(), {}); }),
              "Cannot load interface texture: font.png");
}

}  // namespace
