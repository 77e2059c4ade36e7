#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include "png_fixture.h"
#include "render/atlases/interface_atlas.h"
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

std::array<uint32_t, 4> rect(const render::UiPlace& place) { return {place.x, place.y, place.width, place.height}; }

TEST(PreviewList, ThreeRowsFromTheScrollPositionAndTheSelectedWorld) {
    const auto preview = [](int i) { return fs::path("/saves") / ("world" + std::to_string(i)) / "preview.png"; };
    EXPECT_EQ(render::previewList(worlds("/saves", 2), 0, 1),
              (render::PreviewList{preview(0), preview(1), {}, preview(1)}));
    EXPECT_EQ(render::previewList(worlds("/saves", 5), 2, 0),
              (render::PreviewList{preview(2), preview(3), preview(4), preview(0)}));
    EXPECT_EQ(render::previewList({}, 0, 0), render::PreviewList{});
}

TEST(UiAtlasLayout, PanelsInThreeColumnsThenBackgroundFontAndPreviews) {
    const auto& pictures = render::uiAtlasPictures();
    EXPECT_STREQ(pictures[5].file, "tooltip.png");
    EXPECT_EQ(rect(pictures[5].place), (std::array<uint32_t, 4>{256, 128, 128, 128}));
    EXPECT_STREQ(pictures[9].file, "menu_background.png");
    EXPECT_EQ(rect(pictures[9].place), (std::array<uint32_t, 4>{0, 384, 1920, 1080}));
    EXPECT_STREQ(pictures[10].file, "font.png");
    EXPECT_EQ(rect(pictures[10].place), (std::array<uint32_t, 4>{0, 1464, 1920, 64}));
    EXPECT_EQ(rect(render::previewPlace(2)), (std::array<uint32_t, 4>{640, 1528, 320, 180}));
    EXPECT_EQ(rect(render::previewPlace(3)), (std::array<uint32_t, 4>{960, 1528, 640, 360}));
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
    ASSERT_EQ(std::pair(atlas.width, atlas.height), std::pair(1920u, 1888u));
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
