// A player's first session, driven through the window's real X input (xdotool): the main menu, the
// world list, the new-world form, a block placed in play, the pause screen, save and quit, quit; then
// a second start that opens the world from the list and finds everything as it was left.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "integration/game_fixture.h"
#include "platform/image.h"
#include "save/save_set.h"
#include "save/world_file.h"
#include "save/world_state_files.h"
#include "selftest/capture_checks.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Shell helpers for the driver scripts. Positions are in the 1280 x 720 window as the menus lay them
// out: main menu buttons 66 px apart from y 314, the world list's buttons along y 666, the pause
// screen's two buttons at y 296 and 366.
const char* const kDriverPrelude = R"(set -e
W=$(timeout 150 xdotool search --sync --onlyvisible --name QUORVANE | head -n 1)
[ -n "$W" ]
sleep 2
click() { xdotool mousemove --window "$W" "$1" "$2"; sleep 0.5; xdotool click 1; sleep 1; }
waitfor() { for i in $(seq 1 900); do [ -e "$1" ] && return 0; sleep 0.2; done; return 1; }
# Pauses three times, 6 s apart, keeping each preview as preview-<k>.png, and ends paused with a
# fourth: on a loaded machine the world around may still be meshing at the first.
previews() {
  for k in 1 2 3; do
    xdotool key Escape; waitfor "$SAVES/world_1/preview.png"; sleep 1
    mv "$SAVES/world_1/preview.png" "$SAVES/world_1/preview-$k.png"
    xdotool key Escape; sleep 6
  done
  xdotool key Escape; waitfor "$SAVES/world_1/preview.png"; sleep 1
}
)";

struct Driver {
    int exitCode = -1;
    std::string log;  // what the script printed, for a failure message
};

// Runs the game once while the script drives its window.
testsupport::RunResult runDriven(const testsupport::GameInstall& game, const std::string& script, Driver& driver) {
    const fs::path file = game.root() / "driver.sh";
    std::ofstream(file) << kDriverPrelude << script;
    // Started as the game is, so that the script goes with the test however the test ends.
    std::thread thread([&] {
        testsupport::RunOptions options;
        options.arguments = {"-x", file.string()};
        options.environment = {{"DISPLAY", game.display()}, {"SAVES", (game.root() / "Saves").string()}};
        options.timeoutSeconds = 240;
        const testsupport::RunResult ran = testsupport::runProgram("/bin/bash", options);
        driver.exitCode = ran.exitCode;
        driver.log = ran.out + ran.err;
    });
    testsupport::RunOptions options;
    options.unset = {"QUORVANE_HEADLESS_CHECK"};  // a shown window takes the X input
    options.timeoutSeconds = 240;
    testsupport::RunResult result = game.run(options);
    thread.join();
    fs::remove(file);
    return result;
}

filesave::PlayerRecord readPlayer(const fs::path& world) {
    const auto record = filesave::decodePlayer(
        filesave::unsealFile(testsupport::readFile(world / filesave::kPlayerFile)).value_or(""));
    if (!record) throw std::runtime_error("player file unreadable");
    return *record;
}

int32_t placedBlocksLeft(const fs::path& world) {
    const auto record = filesave::decodeInventory(
        filesave::unsealFile(testsupport::readFile(world / filesave::kInventoryFile)).value_or(""));
    if (!record) throw std::runtime_error("inventory file unreadable");
    return record->inventory.hotbar[1].count;
}

// Mean per-channel difference of the middle of two captures of the same size, 0..255.
double middleDifference(const platform::Image& a, const platform::Image& b) {
    const selftest::Region middle = selftest::band(a, 0.3, 0.3, 0.7, 0.7);
    double sum = 0.0;
    for (uint32_t y = middle.y0; y < middle.y1; ++y)
        for (uint32_t x = middle.x0; x < middle.x1; ++x)
            for (uint32_t c = 0; c < 3; ++c) {
                const std::size_t i = (static_cast<std::size_t>(y) * a.width + x) * 4 + c;
                sum += std::abs(static_cast<int>(a.pixels[i]) - static_cast<int>(b.pixels[i]));
            }
    return sum / (3.0 * (middle.x1 - middle.x0) * (middle.y1 - middle.y0));
}

}  // namespace

TEST(MenuFlow, AWorldMadeFromTheMenuComesBackAfterARestart) {
    ASSERT_EQ(std::system("command -v xdotool > /dev/null"), 0) << "xdotool is installed by scripts/setup";
    testsupport::GameInstall game;
    const fs::path world = game.root() / "Saves" / "world_1";

    Driver driver;
    const auto first = runDriven(game, R"(
click 640 314                      # play: the world list
click 480 666                      # create world: the form
xdotool type --delay 80 'PROBE'
xdotool key Tab
xdotool type --delay 80 '2'          # a seed whose start stands on flat grass
xdotool key Return                 # create and play
waitfor "$SAVES/world_1/world.txt"
sleep 5                            # the player lands
xdotool mousemove_relative -- 0 144   # look down to the ground two blocks ahead
sleep 1
xdotool click 3                    # place the held block on the ground ahead
sleep 4                            # its chunk is meshed again
previews                           # pause: the world's preview is taken
click 640 366                      # save and quit
sleep 2
click 640 578                      # quit
)", driver);
    ASSERT_EQ(first.exitCode, 0) << first.err << driver.log;
    ASSERT_EQ(driver.exitCode, 0) << "the driver did not get through the first session:\n" << driver.log;
    const auto record = filesave::parseWorldFile(testsupport::readFile(world / filesave::kWorldFile));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->name, "PROBE");
    EXPECT_EQ(record->seed, 2u);
    EXPECT_FALSE(fs::exists(game.root() / filesave::kWorldFile)) << "nothing of a world in the game root";
    EXPECT_FALSE(fs::exists(game.root() / "Chunks"));
    EXPECT_FALSE(fs::exists(game.root() / "chunks"));
    const filesave::PlayerRecord left = readPlayer(world);
    ASSERT_EQ(placedBlocksLeft(world), 63) << "one block was placed; the player stood at " << left.x << " "
                                           << left.y << " " << left.z << " looking " << left.pitch;
    // The last preview of the first session shows the most of the world around.
    const platform::Image before = platform::decodePng(world / "preview.png");
    selftest::requireNotFlat(before, "preview.png");
    for (const char* name : {"preview.png", "preview-1.png", "preview-2.png", "preview-3.png"}) fs::remove(world / name);

    const auto second = runDriven(game, R"(
click 640 314                      # play: the world list, the world selected
xdotool key Return                 # open it
sleep 12
previews
click 640 366                      # save and quit
sleep 2
click 640 578                      # quit
)", driver);
    ASSERT_EQ(second.exitCode, 0) << second.err << driver.log;
    ASSERT_EQ(driver.exitCode, 0) << "the driver did not get through the second session:\n" << driver.log;
    const filesave::PlayerRecord back = readPlayer(world);
    EXPECT_NEAR(back.x, left.x, 0.01);
    EXPECT_NEAR(back.y, left.y, 0.01);
    EXPECT_NEAR(back.z, left.z, 0.01);
    EXPECT_FLOAT_EQ(back.pitch, left.pitch);
    EXPECT_EQ(placedBlocksLeft(world), 63) << "the inventory was read back, not the starter kit";
    // The same pose over the same ground, the placed block in the middle of the view (without it the
    // middle differs by about 13): the closest of the second session's previews, since the first may
    // be taken before the world around is meshed.
    double closest = 255.0;
    for (const char* name : {"preview-1.png", "preview-2.png", "preview-3.png", "preview.png"}) {
        const platform::Image after = platform::decodePng(world / name);
        ASSERT_EQ(after.width, before.width);
        ASSERT_EQ(after.height, before.height);
        closest = std::min(closest, middleDifference(before, after));
    }
    EXPECT_LT(closest, 6.0);
}
