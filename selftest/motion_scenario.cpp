// The motion self-test: a door and a trapdoor swing open by use, a chest lid opens and shuts, and
// the player's body follows a fixed input script over a stone floor (standing, one jump, a walk
// into a wall); the opened door's state is saved into the world folder and read back.
#include <cmath>
#include <sstream>
#include <string>

#include "app/app.h"
#include "game/movement.h"
#include "selftest/check_list.h"
#include "selftest/scenario_world.h"
#include "selftest/scenarios.h"
#include "world/block_registry.h"
#include "world/shapes.h"

namespace selftest {

namespace {

constexpr int32_t kFloor = 64;
constexpr double kStep = 0.05;
constexpr int32_t kWallX = 14;
constexpr double kHalfPi = 1.5707963267948966;
const CellKey kDoor{4, kFloor, 12}, kTrapdoor{6, kFloor, 12}, kChest{2, kFloor, 12};

std::string number(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

void put(App& app, const CellKey& cell, uint8_t id, uint8_t state) {
    const auto [x, y, z] = cell;
    require(app.setBlock(x, y, z, id), "place", "cell " + std::to_string(x) + " not loaded");
    app.setBlockState(x, y, z, state);
}

// Used once, the door swings from shut to open over its definition's seconds: still moving one
// step short of them, open and at rest after them.
void swingsOpen(App& app, const CellKey& anchor, const std::string& name) {
    const auto [x, y, z] = anchor;
    require(app.useBlock(x, y, z), name + " used", "the use was refused");
    require((app.findBlockEntity(x, y, z) & voxel::stateOpen) != 0, name + " opens", "no open state");
    const double seconds = voxel::blockDef(app.blockAt(x, y, z)).door_seconds;
    // The seconds are a float: 0.3 reads as a hair over six steps.
    const int32_t steps = static_cast<int32_t>(std::ceil(seconds / kStep - 1e-6));
    for (int32_t step = 1; step < steps; ++step) app.animateChestLids(static_cast<float>(kStep));
    const float midway = app.doorAngle(anchor);
    require(app.world.movingDoors.contains(anchor) && midway > 0.0f && midway < kHalfPi, name + " swings",
            "angle " + number(midway) + " one step before the end");
    app.animateChestLids(static_cast<float>(kStep));
    require(!app.world.movingDoors.contains(anchor), name + " comes to rest", "still moving after its seconds");
    require(std::abs(app.doorAngle(anchor) - kHalfPi) < 1e-6, name + " open angle", number(app.doorAngle(anchor)));
}

void chestLid(App& app) {
    const float seconds = voxel::blockDef(app.blockAt(2, kFloor, 12)).lid_seconds;
    app.functional.openChest = kChest;
    app.animateChestLids(0.0f);
    for (float t = 0.0f; t + 1e-6f < seconds / 2.0f; t += static_cast<float>(kStep))
        app.animateChestLids(static_cast<float>(kStep));
    const float half = app.functional.chestLids[kChest];
    require(half > 0.0f && half < 1.0f, "chest lid opening", "openness " + number(half) + " halfway");
    for (int32_t step = 0; step < 100; ++step) app.animateChestLids(static_cast<float>(kStep));
    require(app.functional.chestLids[kChest] == 1.0f, "chest lid open", number(app.functional.chestLids[kChest]));
    app.functional.openChest.reset();
    for (int32_t step = 0; step < 100; ++step) app.animateChestLids(static_cast<float>(kStep));
    require(!app.functional.chestLids.contains(kChest), "chest lid shut", "the lid is still up");
}

double feet(const App& app) { return app.player.y - game::kEyeHeight; }

// Runs the input for the seconds; answers the highest the feet came.
double run(App& app, game::MoveInput input, double seconds, bool jumpOnce = false) {
    double highest = feet(app);
    for (int32_t step = 0; step * kStep < seconds - 1e-9; ++step) {
        input.jump = jumpOnce && step == 0;
        app.movePlayer(input, kStep);
        highest = std::max(highest, feet(app));
    }
    return highest;
}

void movementScript(App& app) {
    app.player.x = 8.5f, app.player.y = kFloor + static_cast<float>(game::kEyeHeight), app.player.z = 8.5f;
    run(app, {}, 1.0);
    require(std::abs(feet(app) - kFloor) < 1e-4 && app.motion.body.onGround, "standing",
            "feet at " + number(feet(app)));
    const double top = run(app, {}, 1.5, true) - kFloor;
    require(std::abs(top - game::kJumpHeight) < 0.05, "jump height", number(top) + " blocks");
    require(std::abs(feet(app) - kFloor) < 1e-4 && app.motion.body.onGround, "landing", "feet at " + number(feet(app)));
    game::MoveInput walk;
    walk.wishX = 1.0;
    run(app, walk, 3.0);
    const double stop = kWallX - game::kBodyHalfWidth;
    require(std::abs(app.player.x - stop) < 1e-4, "walk into a wall", "stopped at x " + number(app.player.x));
    require(std::abs(app.player.z - 8.5f) < 1e-6, "walk straight", "drifted to z " + number(app.player.z));
}

void doorStateKept(App& app, const Path& worldFolder) {
    app.files.world = std::filesystem::absolute(worldFolder);
    std::filesystem::create_directories(app.files.world);
    app.saveWorldState();
    App loaded;
    loaded.files.world = app.files.world;
    loaded.loadBlockStates();
    const auto stored = loaded.world.blockStates.find(kDoor);
    require(stored != loaded.world.blockStates.end() && (stored->second.state & voxel::stateOpen) != 0,
            "door state saved", "the open door was not read back from " + worldFolder.string());
}

void motionChecks(const Path& work, const Path& contentRoot, const Path& worldFolder) {
    App app;
    prepareScenarioApp(app, work, contentRoot);
    loadScenarioContent(app);
    const uint8_t stone = requireResource("core:stone", "ground");
    addGroundChunk(app, 0, 0, stone, kFloor);
    for (int32_t z = 0; z < 16; ++z) {
        for (int32_t y = kFloor; y < kFloor + 2; ++y) put(app, {kWallX, y, z}, stone, 0);
    }
    const uint8_t door = requireResource("core:oak_door", "door");
    put(app, kDoor, door, 0);
    put(app, {4, kFloor + 1, 12}, door, voxel::stateUpper);
    put(app, kTrapdoor, requireResource("core:oak_trapdoor", "trapdoor"), 0);
    put(app, kChest, requireResource("core:chest", "chest"), 0);
    swingsOpen(app, kDoor, "door");
    swingsOpen(app, kTrapdoor, "trapdoor");
    chestLid(app);
    movementScript(app);
    doorStateKept(app, worldFolder);
}

}  // namespace

int motion(const Path& out, const Path& contentRoot, const Path& worldFolder) {
    return runChecks(out / "motion-self-test.log",
                     "MOTION_OK: door and trapdoor swing open by use, chest lid opens and shuts, standing, jump "
                     "height, walk into a wall, door state saved and read back",
                     [&] { motionChecks(out / "motion-self-test", contentRoot, worldFolder); });
}

}  // namespace selftest
