// The moving-blocks render test: a row of doors, a ladder, a chest with its lid half open, a
// burning furnace and a bed on a stone floor before a low wall, captured bare, with the blocks and
// with smoke rising; every block is found on screen where the camera must show it.
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/image.h"
#include "render/figures/particle_geometry.h"
#include "selftest/capture_checks.h"
#include "selftest/moving_blocks_scene.h"

#include "selftest/scene_probe.h"
#include "selftest/scenario_log.h"
#include "world/features.h"
#include "world/shapes.h"

namespace selftest {

namespace {

constexpr int32_t kSceneY = 100;  // above the terrain, so that only the scene stands in view
constexpr int32_t kRowZ = 5;      // the row of blocks, ahead of the camera
constexpr int32_t kWallZ = 6;
constexpr uint8_t kFacingCamera = 2;  // fronts towards -z, where the camera stands
constexpr float kLidProgress = 0.5f;

struct SceneIds {
    uint8_t door, ladder, chest, furnace, bed;
};

struct Scene {
    int32_t x0 = 0, z0 = 0;  // the camera's column
    SceneIds ids{};
    CellKey cell(int32_t dx, int32_t dy, int32_t dz) const { return {x0 + dx, kSceneY + dy, z0 + dz}; }
};

std::vector<std::string> missingBlocks(SceneIds& ids) {
    const std::array<std::pair<const char*, uint8_t*>, 5> wanted{{{"core:oak_door", &ids.door},
                                                                  {"core:ladder", &ids.ladder},
                                                                  {"core:chest", &ids.chest},
                                                                  {"core:furnace", &ids.furnace},
                                                                  {"core:bed", &ids.bed}}};
    std::vector<std::string> missing;
    for (const auto& [name, id] : wanted) {
        *id = voxel::findCustomBlock(name);
        if (*id == 0) missing.push_back(name);
    }
    return missing;
}

void put(App& app, const CellKey& cell, uint8_t id, uint8_t state) {
    const auto [x, y, z] = cell;
    if (!app.setBlock(x, y, z, id)) throw std::runtime_error("Motion scene cell is not loaded");
    if (state != 0 || app.world.shaped[id]) app.setBlockState(x, y, z, state);
}

// A stone floor, a wall two blocks high behind the row and air everywhere else around it.
void buildStage(App& app, const Scene& s) {
    for (int32_t dx = -8; dx <= 8; ++dx) {
        for (int32_t dz = -2; dz <= kWallZ; ++dz) {
            put(app, s.cell(dx, -1, dz), voxel::stoneId, 0);
            for (int32_t dy = 0; dy <= 4; ++dy)
                put(app, s.cell(dx, dy, dz), dz == kWallZ && dy < 2 ? voxel::stoneId : voxel::airId, 0);
        }
    }
}

void placeBlocks(App& app, const Scene& s) {
    put(app, s.cell(-5, 0, kRowZ), s.ids.door, voxel::stateOpen);
    put(app, s.cell(-5, 1, kRowZ), s.ids.door, voxel::stateOpen | voxel::stateUpper);
    put(app, s.cell(-3, 0, kRowZ), s.ids.door, 0);
    put(app, s.cell(-3, 1, kRowZ), s.ids.door, voxel::stateUpper);
    put(app, s.cell(-1, 0, kRowZ), s.ids.ladder, kFacingCamera);
    put(app, s.cell(1, 0, kRowZ), s.ids.chest, kFacingCamera);
    put(app, s.cell(3, 0, kRowZ), s.ids.furnace, 0);
    put(app, s.cell(5, 0, kRowZ), s.ids.bed, kFacingCamera);
    put(app, s.cell(5, 0, kRowZ - 1), s.ids.bed, kFacingCamera | voxel::stateUpper);
    Machine burning;
    burning.burnRemaining = 1000;
    burning.burnTotal = 1000;
    app.machines[app.dimension][s.cell(3, 0, kRowZ)] = burning;
    app.functional.openChest = s.cell(1, 0, kRowZ);
    app.functional.chestLids[s.cell(1, 0, kRowZ)] = kLidProgress;
}

// Lights and meshes the edits now; no block update may take the scene apart before the captures.
void settle(App& app) {
    app.world.updateSet.clear();
    app.world.updateQueue.clear();
    app.refreshLights(true);
    app.uploadMesh(render::meshEverything);
    // The first frame after this animates by 0 s, so the lid stays where it was set.
    app.frame.previousDoorAnimation = -1.0;
}

void standCamera(App& app, const Scene& s) {
    app.player.x = static_cast<float>(s.x0) + 0.5f;
    app.player.y = static_cast<float>(kSceneY) + 1.9f;
    app.player.z = static_cast<float>(s.z0) + 0.5f;
    app.player.yaw = static_cast<float>(voxel::halfPi);
    app.player.pitch = -0.25f;
    app.player.thirdPerson = false;
}

struct Landmark {
    const char* name;
    int32_t dx;
    double x, y, z;  // inside the block's cell at the floor of the row
};
// Points that only the block named covers: the open door's panel along its hinge side, the closed
// door's panel below its window, the ladder's rail, the raised lid, the fire and the bed's foot.
constexpr Landmark kLandmarks[] = {{"open door", -5, 0.1, 0.9, 0.5},  {"closed door", -3, 0.5, 0.9, 0.1},
                                   {"ladder", -1, 0.125, 0.5, 0.9},  {"chest lid", 1, 0.5, 1.16, 0.74},
                                   {"furnace fire", 3, 0.5, 0.3, -0.02}, {"bed", 5, 0.5, 0.45, -0.5}};

void requireBlocksShown(App& app, const Scene& s, const platform::Image& bare, const platform::Image& blocks) {
    for (const Landmark& mark : kLandmarks) {
        const auto [x, y, z] = s.cell(mark.dx, 0, kRowZ);
        const Region r = probeAt(app, 0.0f, blocks, {x + mark.x, y + mark.y, z + mark.z}, 2, mark.name);
        if (colourDistance(meanColour(bare, r), meanColour(blocks, r)) < 40.0)
            throw std::runtime_error(std::string("Motion scene does not show the ") + mark.name);
    }
    const auto [fx, fy, fz] = s.cell(3, 0, kRowZ);
    const Colour fire = meanColour(blocks, probeAt(app, 0.0f, blocks, {fx + 0.5, fy + 0.3, fz - 0.02}, 3, "furnace fire"));
    if (fire.r < fire.g + 40.0 || fire.r < fire.b + 40.0) throw std::runtime_error("Furnace fire is not red");
}

// Smoke rising over the furnace, against the sky above the wall.
void raiseSmoke(App& app, const Scene& s) {
    const auto [x, y, z] = s.cell(3, 0, kRowZ);
    for (uint32_t i = 0; i < 48; ++i) {
        const std::array<double, 3> at{x + 0.5 + (i % 8) * 0.25 - 1.0, y + 2.2 + (i / 8) * 0.25, z - 0.5};
        app.spawnParticle(at, 1, 0.22f, render::spawnRandom(i, 4242));
    }
    // Past the first twelfth of their life they are fully opaque.
    for (int step = 0; step < 10; ++step) app.stepParticles();
    if (app.entities.particles.size() != 48) throw std::runtime_error("Motion scene smoke died early");
}

void requireSmokeShown(App& app, const Scene& s, const platform::Image& blocks, const platform::Image& smoke) {
    const auto [x, y, z] = s.cell(3, 0, kRowZ);
    const Region r = probeAt(app, 0.0f, smoke, {x + 0.5, y + 2.9, z - 0.5}, 12, "smoke");
    if (colourDistance(meanColour(blocks, r), meanColour(smoke, r)) < 20.0)
        throw std::runtime_error("Motion scene shows no smoke");
    const Region fire = probeAt(app, 0.0f, smoke, {x + 0.5, y + 0.3, z - 0.02}, 3, "furnace fire");
    if (colourDistance(meanColour(blocks, fire), meanColour(smoke, fire)) > 12.0)
        throw std::runtime_error("Smoke covers the furnace below it");
}

}  // namespace

int movingBlocksScene(App& app, const CaptureFn& capture) {
    const std::filesystem::path log = app.files.base / "motion-render.log";
    Scene s;
    const std::vector<std::string> missing = missingBlocks(s.ids);
    if (!missing.empty()) {
        std::string needs = "the blocks";
        for (const std::string& name : missing) needs += " " + name;
        return unavailable(log, "motion-render", needs);
    }
    app.frame.keepInterface = false;
    app.files.worldOpen = true;
    app.setScreen(UiState::kPlaying);
    s.x0 = static_cast<int32_t>(std::floor(app.player.x));
    s.z0 = static_cast<int32_t>(std::floor(app.player.z));
    buildStage(app, s);
    settle(app);
    standCamera(app, s);
    const platform::Image bare = capture(app, "motion-render-bare.png");
    placeBlocks(app, s);
    settle(app);
    if (app.visibleFunctionalBlocks().size() != 5 || app.burningFurnacesNear().size() != 1)
        throw std::runtime_error("Motion scene blocks are not all functional");
    const platform::Image blocks = capture(app, "motion-render-blocks.png");
    requireBlocksShown(app, s, bare, blocks);
    raiseSmoke(app, s);
    app.frame.previousDoorAnimation = -1.0;  // the lid stays half open in this capture too
    const platform::Image smoke = capture(app, "motion-render-smoke.png");
    requireSmokeShown(app, s, blocks, smoke);
    writeResult(log, "MOTION_RENDER_OK: doors, ladder, chest lid, furnace fire, bed and smoke captured and checked");
    return 0;
}

}  // namespace selftest
