// The render scenarios: the game starts in its output folder, draws real frames and writes them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "integration/game_fixture.h"
#include "platform/image.h"

namespace fs = std::filesystem;
using testsupport::GameInstall;
using testsupport::RunResult;

namespace {

struct Colour {
    double r = 0.0, g = 0.0, b = 0.0;
};

// Mean colour of the rectangle [x0, x1) x [y0, y1), 0..255 per channel.
Colour meanColour(const platform::Image& image, uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1) {
    Colour sum;
    for (uint32_t y = y0; y < y1; ++y) {
        for (uint32_t x = x0; x < x1; ++x) {
            const uint8_t* p = &image.pixels[(std::size_t{y} * image.width + x) * 4];
            sum.r += p[0];
            sum.g += p[1];
            sum.b += p[2];
        }
    }
    const double n = double(x1 - x0) * double(y1 - y0);
    return {sum.r / n, sum.g / n, sum.b / n};
}

double distance(const Colour& a, const Colour& b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

std::size_t distinctColours(const platform::Image& image) {
    std::set<uint32_t> colours;
    for (std::size_t i = 0; i < image.pixels.size(); i += 4)
        colours.insert(uint32_t{image.pixels[i]} << 16 | uint32_t{image.pixels[i + 1]} << 8 | image.pixels[i + 2]);
    return colours.size();
}

bool opaque(const platform::Image& image) {
    for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
        if (image.pixels[i] != 255) return false;
    }
    return true;
}

// An output folder with the shipped content pack and a saved world whose spawn stands on land.
fs::path prepareOutput(const GameInstall& game) {
    const fs::path out = game.root() / "captures";
    const fs::path content = fs::path(QUORVANE_SOURCE_TREE) / "Content";
    fs::create_directories(out);
    if (fs::is_directory(content)) fs::copy(content, out / "Content", fs::copy_options::recursive);
    fs::create_directories(out / "Saves" / "world_1");
    testsupport::writeFile(out / "Saves" / "world_1" / "world.txt",
                           "QUORVANE_WORLD 1\nname LAND\nseed 2\ngeneration 4\n");
    return out;
}

class RenderScenario : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        game_ = new GameInstall();
        output_ = prepareOutput(*game_);
        result_ = new RunResult(game_->run({"--sky-render-test", output_.string()}));
    }
    static void TearDownTestSuite() {
        delete result_;
        delete game_;
        result_ = nullptr;
        game_ = nullptr;
    }

    static platform::Image capture(const std::string& name) { return platform::decodePng(output_ / name); }

    static GameInstall* game_;
    static fs::path output_;
    static RunResult* result_;
};

GameInstall* RenderScenario::game_ = nullptr;
fs::path RenderScenario::output_;
RunResult* RenderScenario::result_ = nullptr;

TEST_F(RenderScenario, WritesItsCapturesIntoItsOutputFolder) {
    ASSERT_EQ(result_->exitCode, 0) << result_->out << result_->err;
    EXPECT_NE(result_->out.find("Creating graphics pipeline...\n"), std::string::npos);
    for (const char* name : {"sky-render-menu.png", "sky-render-world.png"}) {
        ASSERT_TRUE(fs::exists(output_ / name)) << name;
        const platform::Image image = capture(name);
        EXPECT_EQ(image.width, 1280u);
        EXPECT_EQ(image.height, 720u);
        EXPECT_TRUE(opaque(image)) << name;
    }
    EXPECT_FALSE(fs::exists(game_->root() / "sky-render-world.png")) << "the base directory is the folder";
    EXPECT_FALSE(fs::exists(output_ / "last_error.txt"));
}

TEST_F(RenderScenario, WorldCaptureShowsTheSkyAboveTheTerrain) {
    ASSERT_TRUE(fs::exists(output_ / "sky-render-world.png")) << result_->out << result_->err;
    const platform::Image world = capture("sky-render-world.png");
    EXPECT_GT(distinctColours(world), 200u) << "not one flat colour";
    // Strips along the left edge, clear of the hotbar in the middle of the bottom.
    const Colour sky = meanColour(world, 0, 0, 320, 60);
    const Colour ground = meanColour(world, 0, 660, 320, 720);
    EXPECT_GT(sky.b, sky.r) << "a day sky is blue";
    EXPECT_GT(sky.b, 150.0);
    EXPECT_GT(distance(sky, ground), 90.0) << "the bottom of the picture is not sky";
}

TEST_F(RenderScenario, MainMenuCaptureShowsTheInterface) {
    ASSERT_TRUE(fs::exists(output_ / "sky-render-menu.png")) << result_->out << result_->err;
    const platform::Image menu = capture("sky-render-menu.png");
    const platform::Image world = capture("sky-render-world.png");
    ASSERT_EQ(menu.pixels.size(), world.pixels.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < menu.pixels.size(); i += 4) {
        const int d = std::abs(menu.pixels[i] - world.pixels[i]) + std::abs(menu.pixels[i + 1] - world.pixels[i + 1]) +
                      std::abs(menu.pixels[i + 2] - world.pixels[i + 2]);
        differing += d > 24;
    }
    EXPECT_GT(differing, menu.pixels.size() / 4 / 2) << "the menu background covers the world";
    EXPECT_GT(distinctColours(menu), 200u);
}

TEST(UiRenderScenario, WritesIntoTheGameRootWhateverTheFolder) {
    GameInstall game;
    const RunResult result = game.run({"--ui-render-test", "ignored"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_TRUE(fs::exists(game.root() / "ui-render-menu.png"));
    EXPECT_TRUE(fs::exists(game.root() / "ui-render-world.png"));
    EXPECT_FALSE(fs::exists(game.root() / "ignored"));
}

}  // namespace
