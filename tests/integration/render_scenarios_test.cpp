// The render scenarios: each starts the game, sets up the scene its name names, captures it and
// checks it; a scene this build cannot show fails with its "needs" line and no capture.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "integration/game_fixture.h"
#include "platform/image.h"
#include "selftest/capture_checks.h"
#include "ui/map_panel.h"

namespace fs = std::filesystem;
using selftest::band;
using selftest::Colour;
using selftest::colourDistance;
using selftest::differingShare;
using selftest::meanColour;
using testsupport::GameInstall;
using testsupport::RunResult;

namespace {

bool opaque(const platform::Image& image) {
    for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
        if (image.pixels[i] != 255) return false;
    }
    return true;
}

std::vector<std::string> pngsIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".png") names.push_back(entry.path().filename().string());
    }
    return names;
}

// The dimensions the shipped content pack defines, by file name stem.
const std::vector<std::string> kAllDimensions{"ash", "frost", "sky"};

fs::path dimensionFile(const fs::path& out, const std::string& name) {
    return out / "Content" / "dimensions" / (name + ".dimension.json");
}

// An output folder with a copy of the shipped content pack, of whose dimensions only `kept` stay.
fs::path prepareOutput(const GameInstall& game, const std::vector<std::string>& kept) {
    const fs::path out = game.root() / "captures";
    testsupport::copyShippedContent(out / "Content");
    for (const std::string& name : kAllDimensions) {
        if (std::find(kept.begin(), kept.end(), name) == kept.end()) fs::remove(dimensionFile(out, name));
    }
    return out;
}

// The shipped sky dimension with ordinary ground terrain instead of islands: valid for the
// loaders, but the scenarios' own check must fail it.
void groundTheSky(const fs::path& out) {
    const fs::path file = dimensionFile(out, "sky");
    std::string json = testsupport::readFile(file);
    const std::string floating = R"("terrain": "sky")";
    const std::size_t at = json.find(floating);
    ASSERT_NE(at, std::string::npos) << json;
    json.replace(at, floating.size(), R"("terrain": "normal")");
    testsupport::writeFile(file, json);
}

// A saved world whose spawn stands on land.
void saveLandWorld(const fs::path& base) {
    fs::create_directories(base / "Saves" / "world_1");
    testsupport::writeFile(base / "Saves" / "world_1" / "world.txt",
                           "QUORVANE_WORLD 1\nname LAND\nseed 2\ngeneration 4\n");
}

// One game run per scenario, shared by the tests of that scenario.
struct ScenarioRun {
    GameInstall game;
    fs::path base;
    RunResult result;

    platform::Image capture(const std::string& name) const { return platform::decodePng(base / name); }
    std::string log(const std::string& name) const { return testsupport::readFile(base / name); }
};

ScenarioRun* runScenario(const std::string& option, bool groundedSky = false) {
    auto* run = new ScenarioRun();
    run->base = prepareOutput(run->game, kAllDimensions);
    if (groundedSky) groundTheSky(run->base);
    run->result = run->game.run({option, run->base.string()});
    return run;
}

// --- the interface ----------------------------------------------------------------------------

class UiRenderScenario : public ::testing::Test {
   protected:
    static void SetUpTestSuite() {
        run_ = new ScenarioRun();
        run_->base = run_->game.root();
        saveLandWorld(run_->base);
        run_->result = run_->game.run({"--ui-render-test", "ignored"});
    }
    static void TearDownTestSuite() {
        delete run_;
        run_ = nullptr;
    }
    static ScenarioRun* run_;
};
ScenarioRun* UiRenderScenario::run_ = nullptr;

TEST_F(UiRenderScenario, WritesIntoTheGameRootWhateverTheFolder) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.out << run_->result.err;
    EXPECT_EQ(run_->log("ui-render.log"),
              "UI_RENDER_OK: main menu, play HUD and pause screen captured and checked\n");
    for (const char* name :
         {"ui-render-menu.png", "ui-render-world.png", "ui-render-play.png", "ui-render-pause.png"}) {
        ASSERT_TRUE(fs::exists(run_->base / name)) << name;
        const platform::Image image = run_->capture(name);
        EXPECT_EQ(image.width, 1280u);
        EXPECT_EQ(image.height, 720u);
        EXPECT_TRUE(opaque(image)) << name;
    }
    EXPECT_FALSE(fs::exists(run_->base / "ignored"));
    EXPECT_FALSE(fs::exists(run_->base / "last_error.txt"));
}

TEST_F(UiRenderScenario, WorldCaptureShowsTheSkyAboveTheTerrain) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.out << run_->result.err;
    const platform::Image world = run_->capture("ui-render-world.png");
    const Colour sky = meanColour(world, band(world, 0.0, 0.0, 0.25, 0.08));
    const Colour ground = meanColour(world, band(world, 0.0, 0.92, 0.25, 1.0));
    EXPECT_GT(sky.b, sky.r) << "a day sky is blue";
    EXPECT_GT(sky.b, 150.0);
    EXPECT_GT(colourDistance(sky, ground), 90.0) << "the bottom of the picture is not sky";
}

TEST_F(UiRenderScenario, ScreensLieOverTheWorldWhereTheyBelong) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.out << run_->result.err;
    const platform::Image world = run_->capture("ui-render-world.png");
    const platform::Image menu = run_->capture("ui-render-menu.png");
    const platform::Image play = run_->capture("ui-render-play.png");
    const platform::Image pause = run_->capture("ui-render-pause.png");
    EXPECT_GT(differingShare(menu, world, 24), 0.5) << "the menu background covers the world";
    const selftest::Region hotbar = band(play, 0.36, 0.93, 0.64, 0.98);
    EXPECT_GT(colourDistance(meanColour(play, hotbar), meanColour(world, hotbar)), 30.0) << "the hotbar";
    const selftest::Region sky = band(play, 0.0, 0.0, 0.25, 0.08);
    EXPECT_LT(colourDistance(meanColour(play, sky), meanColour(world, sky)), 12.0)
        << "play leaves the sky free";
    const Colour dimmed = meanColour(pause, sky), clear = meanColour(play, sky);
    EXPECT_LT(dimmed.r + dimmed.g + dimmed.b, 0.85 * (clear.r + clear.g + clear.b)) << "pause dims the world";
}

// --- the dimensions -------------------------------------------------------------------------

TEST(MapRenderScenario, CapturesTheMapScreenWithExploredAndUnexploredLand) {
    const std::unique_ptr<ScenarioRun> run(runScenario("--map-render-test"));
    ASSERT_EQ(run->result.exitCode, 0) << run->result.out << run->result.err;
    EXPECT_EQ(run->log("map-render.log"),
              "MAP_RENDER_OK: map screen captured, explored land in its map colours, unexplored land dark, the "
              "player and a portal marked\n");
    EXPECT_EQ(pngsIn(run->base), std::vector<std::string>{"map-render.png"});
    const platform::Image image = run->capture("map-render.png");
    const ui::ScreenRect grid = ui::mapGridRect(static_cast<float>(image.width), static_cast<float>(image.height));
    const auto x = static_cast<uint32_t>(grid.x), y = static_cast<uint32_t>(grid.y);
    const auto w = static_cast<uint32_t>(grid.w), h = static_cast<uint32_t>(grid.h);
    // The window's corner lies far beyond the loaded land; its middle is the land around the player.
    const Colour corner = meanColour(image, {x + 2, y + 2, x + 30, y + 30});
    const Colour middle = meanColour(image, {x + w / 2 - 40, y + h / 2 - 40, x + w / 2 - 16, y + h / 2 - 16});
    EXPECT_LT(colourDistance(corner, {0x20, 0x1A, 0x14}), 12.0) << "unexplored land is dark";
    EXPECT_GT(colourDistance(middle, corner), 40.0) << "explored land shows its colours";
}

class SkyRenderScenario : public ::testing::Test {
   protected:
    static void SetUpTestSuite() { run_ = runScenario("--sky-render-test"); }
    static void TearDownTestSuite() {
        delete run_;
        run_ = nullptr;
    }
    static ScenarioRun* run_;
};
ScenarioRun* SkyRenderScenario::run_ = nullptr;

TEST_F(SkyRenderScenario, EntersTheSkyAndCapturesItsIsland) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.out << run_->result.err;
    EXPECT_EQ(run_->log("sky-render.log"),
              "SKY_RENDER_OK: sky dimension entered, floating island over open air captured\n");
    EXPECT_EQ(pngsIn(run_->base), std::vector<std::string>{"sky-render-world.png"});
    EXPECT_FALSE(fs::exists(run_->game.root() / "sky-render-world.png"))
        << "the base directory is the folder";
    EXPECT_FALSE(fs::exists(run_->base / "last_error.txt"));
}

TEST_F(SkyRenderScenario, TheIslandFloatsBetweenSkyAboveAndBelow) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.out << run_->result.err;
    const platform::Image image = run_->capture("sky-render-world.png");
    const Colour above = meanColour(image, band(image, 0.0, 0.0, 0.2, 0.1));
    const Colour island = meanColour(image, band(image, 0.45, 0.5, 0.55, 0.56));
    const Colour below = meanColour(image, band(image, 0.0, 0.86, 0.2, 0.92));
    EXPECT_GT(above.b, above.r) << "sky above";
    EXPECT_GT(below.b, below.r) << "open sky below the island, no ground";
    EXPECT_GT(colourDistance(island, above), 60.0) << "the island stands in the middle";
    EXPECT_GT(colourDistance(island, below), 60.0);
}

class DimensionsRenderScenario : public ::testing::Test {
   protected:
    static void SetUpTestSuite() { run_ = runScenario("--dimensions-render-test"); }
    static void TearDownTestSuite() {
        delete run_;
        run_ = nullptr;
    }
    static ScenarioRun* run_;
};
ScenarioRun* DimensionsRenderScenario::run_ = nullptr;

TEST_F(DimensionsRenderScenario, CapturesEveryDimensionInTurn) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->log("dimension-render.log") << run_->result.err;
    EXPECT_EQ(run_->log("dimension-render.log"),
              "DIMENSIONS_RENDER_OK: overworld, ash, frost and sky entered in turn and captured\n");
    const platform::Image overworld = run_->capture("dimensions-render-overworld.png");
    for (const char* name :
         {"dimensions-render-ash.png", "dimensions-render-frost.png", "dimensions-render-sky.png"}) {
        const platform::Image image = run_->capture(name);
        EXPECT_GT(differingShare(image, overworld, 24), 0.05) << name;
        const Colour sky = meanColour(image, band(image, 0.0, 0.0, 0.2, 0.08));
        EXPECT_GT(sky.b, sky.r) << name;
    }
}

class FrostRenderScenario : public ::testing::Test {
   protected:
    static void SetUpTestSuite() { run_ = runScenario("--frost-render-test"); }
    static void TearDownTestSuite() {
        delete run_;
        run_ = nullptr;
    }
    static ScenarioRun* run_;
};
ScenarioRun* FrostRenderScenario::run_ = nullptr;

TEST_F(FrostRenderScenario, EntersTheFrostAndCapturesItsFrozenSea) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.out << run_->result.err;
    EXPECT_EQ(run_->log("frost-render.log"),
              "FROST_RENDER_OK: frost dimension entered, frozen sea checked and captured\n");
    EXPECT_EQ(pngsIn(run_->base), std::vector<std::string>{"frost-render-world.png"});
    const platform::Image image = run_->capture("frost-render-world.png");
    const Colour sky = meanColour(image, band(image, 0.0, 0.0, 0.2, 0.1));
    const Colour ground = meanColour(image, band(image, 0.4, 0.75, 0.6, 0.85));
    EXPECT_GT(sky.b, sky.r);
    // The sea is frozen over with the pack's frost ice, pale and bluish like the sky above it.
    const platform::Image ice = platform::decodePng(fs::path(QUORVANE_SOURCE_TREE) / "Content" / "blocks" /
                                                    "frost_ice" / "frost_ice.png");
    const Colour iceColour = meanColour(ice, band(ice, 0.0, 0.0, 1.0, 1.0));
    EXPECT_LT(colourDistance(ground, iceColour), 40.0) << ground.r << " " << ground.g << " " << ground.b;
    EXPECT_GT(colourDistance(sky, ground), 30.0) << "the frozen sea lies below the sky";
}

TEST(FailedRenderScenario, DimensionsReportInTheirOwnLog) {
    const std::unique_ptr<ScenarioRun> run(runScenario("--dimensions-render-test", true));
    EXPECT_EQ(run->result.exitCode, 1) << run->result.err;
    EXPECT_EQ(run->log("dimension-render.log"), "FAILED: Sky terrain rests on the ground in chunk -2, -2");
    EXPECT_FALSE(fs::exists(run->base / "last_error.txt"));
    EXPECT_FALSE(fs::exists(run->base / "dimensions-render-sky.png"));
}

TEST(FailedRenderScenario, OtherScenesReportInTheFailureReport) {
    const std::unique_ptr<ScenarioRun> run(runScenario("--sky-render-test", true));
    EXPECT_EQ(run->result.exitCode, 1);
    const std::string message = "Sky terrain rests on the ground in chunk -2, -2";
    EXPECT_NE(run->result.err.find("Skarnwright ERROR: " + message + "\n"), std::string::npos)
        << run->result.err;
    EXPECT_EQ(run->log("last_error.txt").rfind("QUORVANE 10.38 ERROR: " + message + "\n", 0), 0u);
    EXPECT_FALSE(fs::exists(run->base / "sky-render.log")) << "no result line for a scene that failed";
    EXPECT_TRUE(pngsIn(run->base).empty());
}

// --- moving blocks -----------------------------------------------------------------------------

class MotionRenderScenario : public ::testing::Test {
   protected:
    static void SetUpTestSuite() { run_ = runScenario("--motion-render-test"); }
    static void TearDownTestSuite() {
        delete run_;
        run_ = nullptr;
    }
    static ScenarioRun* run_;
};
ScenarioRun* MotionRenderScenario::run_ = nullptr;

TEST_F(MotionRenderScenario, CapturesTheSceneBareWithBlocksAndWithSmoke) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.out << run_->result.err;
    EXPECT_EQ(run_->log("motion-render.log"),
              "MOTION_RENDER_OK: doors, ladder, chest lid, furnace fire, bed and smoke captured and checked\n");
    std::vector<std::string> names = pngsIn(run_->base);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"motion-render-bare.png", "motion-render-blocks.png",
                                               "motion-render-smoke.png"}));
}

// The camera looks along +z over the row: the bed at the left, then the furnace, the chest, the
// ladder, the closed door and the open door at the right.
TEST_F(MotionRenderScenario, MovingBlocksStandWhereTheBareStageShowsWall) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.err;
    const platform::Image bare = run_->capture("motion-render-bare.png");
    const platform::Image blocks = run_->capture("motion-render-blocks.png");
    struct Spot {
        const char* name;
        double left, top, right, bottom;
    };
    for (const Spot& spot : {Spot{"closed door", 0.70, 0.42, 0.78, 0.56}, Spot{"open door", 0.86, 0.42, 0.92, 0.56},
                             Spot{"raised chest lid", 0.40, 0.39, 0.45, 0.45}}) {
        const selftest::Region r = band(blocks, spot.left, spot.top, spot.right, spot.bottom);
        EXPECT_GT(colourDistance(meanColour(blocks, r), meanColour(bare, r)), 60.0) << spot.name;
    }
    const Colour fire = meanColour(blocks, band(blocks, 0.25, 0.54, 0.28, 0.575));
    EXPECT_GT(fire.r, fire.g + 40.0) << "the furnace burns red";
    EXPECT_GT(fire.r, fire.b + 40.0);
}

TEST_F(MotionRenderScenario, SmokeRisesIntoTheSkyAndLeavesTheRestAlone) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.err;
    const platform::Image blocks = run_->capture("motion-render-blocks.png");
    const platform::Image smoke = run_->capture("motion-render-smoke.png");
    const selftest::Region sky = band(smoke, 0.1, 0.02, 0.3, 0.25);
    const Colour grey = meanColour(smoke, sky), clear = meanColour(blocks, sky);
    EXPECT_GT(colourDistance(grey, clear), 20.0);
    EXPECT_LT(grey.b - grey.r, clear.b - clear.r) << "smoke is greyer than the sky behind it";
    const selftest::Region ground = band(smoke, 0.0, 0.6, 1.0, 1.0);
    EXPECT_LT(differingShare(smoke, blocks, 24), 0.2);
    EXPECT_LT(colourDistance(meanColour(smoke, ground), meanColour(blocks, ground)), 3.0);
}
// --- the player's body and hands -------------------------------------------------------------

// Only the part of the picture where the thing is drawn changes between a capture and its baseline.
struct BodyCapture {
    const char* option;
    const char* log;
    const char* line;
    std::vector<std::string> captures;
    const char* shown;
    const char* without;
    std::array<double, 4> changed;    // band left, top, right, bottom
    std::array<double, 4> unchanged;
};

void PrintTo(const BodyCapture& c, std::ostream* out) { *out << c.option; }

class BodyRenderScenario : public ::testing::TestWithParam<BodyCapture> {};

TEST_P(BodyRenderScenario, CapturesItsScenesAndChangesOnlyWhereTheBodyIs) {
    const BodyCapture& c = GetParam();
    const std::unique_ptr<ScenarioRun> run(runScenario(c.option));
    ASSERT_EQ(run->result.exitCode, 0) << run->result.out << run->result.err;
    EXPECT_EQ(run->log(c.log), std::string(c.line) + "\n");
    std::vector<std::string> pngs = pngsIn(run->base);
    std::sort(pngs.begin(), pngs.end());
    EXPECT_EQ(pngs, c.captures);
    const platform::Image shown = run->capture(c.shown), without = run->capture(c.without);
    const auto region = [&shown](const std::array<double, 4>& b) { return band(shown, b[0], b[1], b[2], b[3]); };
    EXPECT_GT(colourDistance(meanColour(shown, region(c.changed)), meanColour(without, region(c.changed))), 10.0);
    EXPECT_LT(colourDistance(meanColour(shown, region(c.unchanged)), meanColour(without, region(c.unchanged))), 1.0);
    EXPECT_FALSE(fs::exists(run->base / "last_error.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, BodyRenderScenario,
    ::testing::Values(
        BodyCapture{"--held-render-test",
                    "held-render.log",
                    "HELD_RENDER_OK: sword, drawn bow with arrow, block in hand and third-person body with armour "
                    "and glider captured and checked",
                    {"held-render-block.png", "held-render-bow-no-arrows.png", "held-render-bow.png",
                     "held-render-empty.png", "held-render-sword.png", "held-render-third-bare.png",
                     "held-render-third.png"},
                    "held-render-sword.png",
                    "held-render-empty.png",
                    {0.7, 0.45, 1.0, 1.0},
                    {0.0, 0.0, 0.5, 0.5}},
        BodyCapture{"--inventory-render-test",
                    "inventory-render.log",
                    "INVENTORY_RENDER_OK: inventory portrait with armour captured and checked",
                    {"inventory-render-empty.png", "inventory-render.png"},
                    "inventory-render.png",
                    "inventory-render-empty.png",
                    {0.12, 0.2, 0.3, 0.8},
                    {0.35, 0.15, 0.95, 0.9}}),
    [](const ::testing::TestParamInfo<BodyCapture>& info) {
        const std::string option = info.param.option + 2;
        return option.substr(0, option.find("-render-test"));
    });

// --- a city and its people ---------------------------------------------------------------

class ExpeditionRenderScenario : public ::testing::Test {
   protected:
    static void SetUpTestSuite() { run_ = runScenario("--expedition-render-test"); }
    static void TearDownTestSuite() {
        delete run_;
        run_ = nullptr;
    }
    static ScenarioRun* run_;
};
ScenarioRun* ExpeditionRenderScenario::run_ = nullptr;

TEST_F(ExpeditionRenderScenario, PeopleStandInTheCityAndNowhereElse) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.out << run_->result.err;
    EXPECT_EQ(run_->log("expedition-render.log"),
              "EXPEDITION_RENDER_OK: a city's resident smith and a box-figure visitor captured and checked\n");
    const platform::Image city = run_->capture("expedition-render-city.png");
    const platform::Image empty = run_->capture("expedition-render-empty.png");
    // The smith stands ahead of the eye and the visitor beside him, left of the middle.
    const selftest::Region smithChest = band(city, 0.48, 0.47, 0.52, 0.52);
    const selftest::Region visitorChest = band(city, 0.39, 0.45, 0.41, 0.5);
    EXPECT_GT(colourDistance(meanColour(city, smithChest), meanColour(empty, smithChest)), 40.0);
    const Colour teal = meanColour(city, visitorChest);
    EXPECT_GT(teal.g, teal.r + 20.0) << "the box figure's torso";
    EXPECT_LT(differingShare(city, empty, 24), 0.1) << "nothing but the two figures changes";
}

// The smith turns to face the player, so the eye sees him from the front, arms and all: a row
// across his chest is changed over his full width, not over the narrow span of his side.
TEST_F(ExpeditionRenderScenario, TheSmithShowsHisFrontToTheEye) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.out << run_->result.err;
    const platform::Image city = run_->capture("expedition-render-city.png");
    const platform::Image empty = run_->capture("expedition-render-empty.png");
    ASSERT_TRUE(city.width == empty.width && city.height == empty.height && city.width >= 160);
    const std::size_t row = std::size_t(city.height / 2) * city.width;
    int changed = 0;
    for (uint32_t x = city.width / 2 - 80; x < city.width / 2 + 80; ++x) {
        int difference = 0;
        for (std::size_t k = 0; k < 3; ++k)
            difference += std::abs(city.pixels[(row + x) * 4 + k] - empty.pixels[(row + x) * 4 + k]);
        changed += difference > 40 ? 1 : 0;
    }
    EXPECT_GT(changed, 60) << "pixels of the smith across his chest";
}

// --- mobs ---------------------------------------------------------------------------------

TEST(ChatRenderScenario, DrawsTheLinesAndTheEntryInTheTopLeftCorner) {
    const std::unique_ptr<ScenarioRun> run(runScenario("--chat-render-test"));
    ASSERT_EQ(run->result.exitCode, 0) << run->result.out << run->result.err;
    EXPECT_EQ(run->log("chat-render.log"),
              "CHAT_RENDER_OK: three chat lines and the open entry drawn over play in the top left corner\n");
    std::vector<std::string> pngs = pngsIn(run->base);
    std::sort(pngs.begin(), pngs.end());
    EXPECT_EQ(pngs, (std::vector<std::string>{"chat-render-world.png", "chat-render.png"}));
    const platform::Image world = run->capture("chat-render-world.png");
    const platform::Image chat = run->capture("chat-render.png");
    // Four rows of 22 pixels from y 162, the entry last; nothing above them nor right of the longest.
    const auto row = [&](uint32_t k, uint32_t right) { return selftest::Region{10, 165 + 22 * k, right, 178 + 22 * k}; };
    for (uint32_t k = 0; k < 4; ++k)
        EXPECT_GT(colourDistance(meanColour(chat, row(k, 170)), meanColour(world, row(k, 170))), 20.0) << "row " << k;
    EXPECT_LT(colourDistance(meanColour(chat, {10, 20, 400, 150}), meanColour(world, {10, 20, 400, 150})), 1.0);
    EXPECT_LT(colourDistance(meanColour(chat, {500, 160, 700, 250}), meanColour(world, {500, 160, 700, 250})), 1.0);
    EXPECT_FALSE(fs::exists(run->base / "last_error.txt"));
}

class BossRenderScenario : public ::testing::Test {
   protected:
    static void SetUpTestSuite() { run_ = runScenario("--boss-render-test"); }
    static void TearDownTestSuite() {
        delete run_;
        run_ = nullptr;
    }
    // The square around the pixel the scenario reported for a mob.
    static selftest::Region at(const std::string& who) {
        std::istringstream points(run_->log("boss-render-points.txt"));
        std::string name;
        uint32_t x = 0, y = 0;
        while (points >> name >> x >> y) {
            if (name == who) return {x - 4, y - 4, x + 4, y + 4};
        }
        ADD_FAILURE() << "no point for " << who;
        return {0, 0, 1, 1};
    }
    static ScenarioRun* run_;
};
ScenarioRun* BossRenderScenario::run_ = nullptr;

TEST_F(BossRenderScenario, CapturesTheMobsAndTheirTints) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.out << run_->result.err;
    EXPECT_EQ(run_->log("boss-render.log"), "BOSS_RENDER_OK: a sword-holding skeleton and a boar captured in "
                                            "daylight, wind-up and hurt tints checked\n");
    std::vector<std::string> pngs = pngsIn(run_->base);
    std::sort(pngs.begin(), pngs.end());
    EXPECT_EQ(pngs, (std::vector<std::string>{"boss-render-empty.png", "boss-render-mobs.png",
                                              "boss-render-telegraph.png"}));
    const platform::Image empty = run_->capture("boss-render-empty.png");
    const platform::Image mobs = run_->capture("boss-render-mobs.png");
    const platform::Image tinted = run_->capture("boss-render-telegraph.png");
    const selftest::Region skull = at("skeleton"), boar = at("boar");
    const Colour bone = meanColour(mobs, skull), hide = meanColour(mobs, boar);
    EXPECT_GT(colourDistance(bone, meanColour(empty, skull)), 40.0) << "the skeleton stands there";
    EXPECT_GT(colourDistance(hide, meanColour(empty, boar)), 40.0) << "the boar stands there";
    EXPECT_GT(bone.r, 150.0) << "pale bone";
    EXPECT_GT(bone.r, bone.b);
    EXPECT_GT(hide.r, hide.g) << "brown hide";
    EXPECT_GT(hide.g, hide.b);
    EXPECT_LT(meanColour(tinted, skull).b, 0.9 * bone.b) << "wind-up tint";
    EXPECT_LT(meanColour(tinted, boar).g, 0.85 * hide.g) << "hurt flash";
}

// The boar stands left of the view with yaw pi/2, facing +z: across the picture to the right. Its
// eyes, near black and darker than anything else around it, must all be in its right half.
TEST_F(BossRenderScenario, TheBoarFacesAlongItsYaw) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.out << run_->result.err;
    const platform::Image mobs = run_->capture("boss-render-mobs.png");
    const selftest::Region boar = at("boar");
    const uint32_t cx = (boar.x0 + boar.x1) / 2, cy = (boar.y0 + boar.y1) / 2;
    ASSERT_TRUE(cx >= 140 && cx + 140 <= mobs.width && cy >= 60 && cy + 20 <= mobs.height);
    uint32_t eyePixels = 0, leftmost = mobs.width;
    for (uint32_t y = cy - 60; y < cy + 20; ++y) {
        for (uint32_t x = cx - 140; x < cx + 140; ++x) {
            const uint8_t* p = &mobs.pixels[(std::size_t(y) * mobs.width + x) * 4];
            if (p[0] + p[1] + p[2] >= 60) continue;
            ++eyePixels;
            leftmost = std::min(leftmost, x);
        }
    }
    EXPECT_GT(eyePixels, 20u) << "the boar's eyes are in sight";
    EXPECT_GT(leftmost, cx + 40) << "middle of the boar at x " << cx;
}

// --- scenes this build cannot show yet --------------------------------------------------------

struct Unavailable {
    const char* option;
    std::vector<std::string> dimensions;  // the shipped dimensions kept
    const char* log;
    const char* line;
};

void PrintTo(const Unavailable& c, std::ostream* out) {
    *out << c.option << " with " << c.dimensions.size() << " dimensions";
}

class UnavailableRenderScenario : public ::testing::TestWithParam<Unavailable> {};

TEST_P(UnavailableRenderScenario, FailsWithItsNeedsLineAndNoCapture) {
    const Unavailable& c = GetParam();
    GameInstall game;
    const fs::path out = prepareOutput(game, c.dimensions);
    const RunResult result = game.run({c.option, out.string()});
    const std::string line = std::string("FAILED: ") + c.line + ", which this build does not have yet";
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    ASSERT_TRUE(fs::exists(out / c.log)) << result.err;
    EXPECT_EQ(testsupport::readFile(out / c.log), line + "\n");
    EXPECT_NE(result.err.find(line), std::string::npos);
    EXPECT_TRUE(pngsIn(out).empty());
    EXPECT_FALSE(fs::exists(out / "last_error.txt")) << "a missing subject is no crash";
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, UnavailableRenderScenario,
    ::testing::Values(
        Unavailable{"--sky-render-test",
                    {"ash", "frost"},
                    "sky-render.log",
                    "sky-render needs the dimension definition core:sky"},
        Unavailable{"--frost-render-test",
                    {},
                    "frost-render.log",
                    "frost-render needs the dimension definition core:frost"},
        Unavailable{"--dimensions-render-test",
                    {},
                    "dimension-render.log",
                    "dimensions-render needs the dimension definitions core:ash, core:frost and core:sky"},
        Unavailable{"--dimensions-render-test",
                    {"sky"},
                    "dimension-render.log",
                    "dimensions-render needs the dimension definitions core:ash and core:frost"}),
    [](const ::testing::TestParamInfo<Unavailable>& info) {
        std::string name = info.param.option + 2;
        name = name.substr(0, name.find("-render-test")) + "_" + std::to_string(info.param.dimensions.size());
        for (char& ch : name) {
            if (ch == '-') ch = '_';
        }
        return name;
    });

}  // namespace

// --- the LAN interface capture sequence -------------------------------------------------------

namespace {

class LanRenderSequence : public ::testing::Test {
   protected:
    static void SetUpTestSuite() { run_ = runScenario("--lan-render-test"); }
    static void TearDownTestSuite() {
        delete run_;
        run_ = nullptr;
    }
    static ScenarioRun* run_;
    static double distance(const platform::Image& a, const platform::Image& b, double l, double t, double r,
                           double bottom) {
        return colourDistance(meanColour(a, band(a, l, t, r, bottom)), meanColour(b, band(b, l, t, r, bottom)));
    }
    static Colour mean(const platform::Image& a, double l, double t, double r, double bottom) {
        return meanColour(a, band(a, l, t, r, bottom));
    }
};
ScenarioRun* LanRenderSequence::run_ = nullptr;

const char* const kLanCaptures[] = {
    "main-menu117.png",    "connection-menu117.png", "without-peer.png",   "with-peer.png",
    "nine-peers118.png",   "pause-players118.png",   "shared-mob120.png",  "death120.png",
    "skills129.png",       "character129.png",       "npc-quests121.png",  "quest-mining128.png",
    "quest-locked128.png", "quest-visit128.png",     "npc-trades121.png",  "quest-journal121.png",
    "character121.png",    "territories122.png"};

TEST_F(LanRenderSequence, EndsWithItsLogLineAndEveryCapture) {
    ASSERT_EQ(run_->result.exitCode, 0) << run_->result.out << run_->result.err;
    EXPECT_EQ(run_->log("render116.log"),
              "RENDER122_OK: hidden Vulkan startup, five-button main menu, in-game connection form, IP/port/code "
              "keyboard input and length validation, original first-person rendering, nine remote player meshes in "
              "one draw, ten-player pause list, shared mob geometry, death/respawn screen, multiplayer NPC "
              "quests/trades, personal journal, character stats and enabled quest action in creative flight; PNG "
              "captures.\n");
    for (const char* name : kLanCaptures) {
        ASSERT_TRUE(fs::exists(run_->base / name)) << name;
        const platform::Image image = run_->capture(name);
        EXPECT_EQ(image.width, 1280u) << name;
        EXPECT_EQ(image.height, 720u) << name;
        EXPECT_TRUE(opaque(image)) << name;
    }
    EXPECT_FALSE(fs::exists(run_->base / "last_error.txt"));
}

// The three fields stand where the main menu shows its background, and each holds typed text
// brighter than its empty right end.
TEST_F(LanRenderSequence, ConnectionFormShowsThreeFilledFields) {
    const platform::Image menu = run_->capture("main-menu117.png");
    const platform::Image form = run_->capture("connection-menu117.png");
    for (const double centre : {0.3, 0.46, 0.62}) {
        EXPECT_GT(distance(form, menu, 0.3, centre - 0.02, 0.7, centre + 0.02), 50.0) << centre;
        const double text = mean(form, 0.3, centre - 0.015, 0.33, centre + 0.015).r;
        const double empty = mean(form, 0.62, centre - 0.015, 0.7, centre + 0.015).r;
        EXPECT_GT(text, empty + 25.0) << centre;
    }
}

// In the world: one remote body in the middle of the view, nine across it, the shared mob ahead;
// the sky corner stays as it was. The pause screen lists the players on the right, over the sky
// that its left side only dims; death covers everything in red.
TEST_F(LanRenderSequence, WorldCapturesShowPeersMobPlayerListAndDeath) {
    const platform::Image alone = run_->capture("without-peer.png");
    const platform::Image one = run_->capture("with-peer.png");
    EXPECT_GT(distance(one, alone, 0.4, 0.3, 0.6, 0.7), 40.0);
    EXPECT_LT(distance(one, alone, 0.8, 0.0, 1.0, 0.15), 4.0);
    EXPECT_GT(distance(run_->capture("nine-peers118.png"), alone, 0.3, 0.3, 0.7, 0.7), 80.0);
    EXPECT_GT(distance(run_->capture("shared-mob120.png"), alone, 0.44, 0.45, 0.56, 0.75), 25.0);
    const platform::Image pause = run_->capture("pause-players118.png");
    EXPECT_GT(colourDistance(mean(pause, 0.75, 0.1, 0.95, 0.5), mean(pause, 0.05, 0.1, 0.25, 0.5)), 100.0);
    const Colour death = mean(run_->capture("death120.png"), 0.0, 0.0, 1.0, 1.0);
    EXPECT_GT(death.r, 1.4 * death.g);
    EXPECT_GT(death.r, 1.4 * death.b);
}

// The first skill's bar is gold and part full; the character view's first bar is the full red of
// health (22 of 22). The accept button is bright for the open quest and dimmed for the locked
// stage; the mining quest's progress bar is partly green; the trade shows its arrow; listed rows
// of the journal and the territories have a panel where the empty window below has none.
TEST_F(LanRenderSequence, SheetsShowSkillsQuestsTradeAndLists) {
    const platform::Image skills = run_->capture("skills129.png");
    const Colour skill = mean(skills, 0.18, 0.358, 0.45, 0.372);
    EXPECT_GT(skill.r, 150.0);
    EXPECT_GT(skill.r, skill.b + 80.0);
    EXPECT_LT(mean(skills, 0.6, 0.358, 0.8, 0.372).r, 80.0);
    for (const char* name : {"character129.png", "character121.png"}) {
        const Colour health = mean(run_->capture(name), 0.6, 0.358, 0.8, 0.372);
        EXPECT_GT(health.r, 150.0) << name;
        EXPECT_GT(health.r, health.g + 80.0) << name;
    }
    const auto brightness = [](const Colour& c) { return c.r + c.g + c.b; };
    const platform::Image quests = run_->capture("npc-quests121.png");
    const platform::Image locked = run_->capture("quest-locked128.png");
    EXPECT_LT(brightness(mean(locked, 0.52, 0.8, 0.72, 0.86)), 0.8 * brightness(mean(quests, 0.52, 0.8, 0.72, 0.86)));
    const Colour bar = mean(run_->capture("quest-mining128.png"), 0.509, 0.558, 0.55, 0.568);
    EXPECT_GT(bar.g, bar.r + 40.0);
    EXPECT_GT(distance(run_->capture("quest-visit128.png"), locked, 0.15, 0.41, 0.45, 0.46), 20.0);
    const platform::Image trade = run_->capture("npc-trades121.png");
    EXPECT_GT(colourDistance(mean(trade, 0.42, 0.449, 0.56, 0.461), mean(trade, 0.42, 0.48, 0.56, 0.49)), 200.0);
    const platform::Image journal = run_->capture("quest-journal121.png");
    EXPECT_GT(colourDistance(mean(journal, 0.16, 0.27, 0.8, 0.32), mean(journal, 0.16, 0.45, 0.8, 0.5)), 15.0);
    const platform::Image territories = run_->capture("territories122.png");
    EXPECT_GT(colourDistance(mean(territories, 0.16, 0.21, 0.8, 0.26), mean(territories, 0.16, 0.85, 0.8, 0.9)),
              12.0);
}

}  // namespace
