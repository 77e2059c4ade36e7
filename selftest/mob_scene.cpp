// The mob render test: on a cleared patch of the overworld in daylight, a skeleton with a sword in
// its hand (the built-in figure) and the shipped boar model stand before the camera. One capture
// without them, one with them, and one with the skeleton winding up a blow and the boar hurt; each
// mob is found where the camera puts it and checked by its colour.
#include <cmath>
#include <fstream>
#include <numbers>
#include <stdexcept>
#include <string>

#include "app/app.h"
#include "platform/image.h"
#include "selftest/capture_checks.h"
#include "selftest/scenario_log.h"
#include "selftest/scenarios.h"
#include "selftest/scene_probe.h"
#include "selftest/terrain_checks.h"

namespace selftest {

namespace {

constexpr const char* kLog = "boss-render.log";
constexpr const char* kPoints = "boss-render-points.txt";
constexpr const char* kSwordSkeleton = "selftest:sword_skeleton";
constexpr const char* kBoar = "core:boar";
constexpr int32_t kNoon = 12000;
constexpr uint8_t kStone = 3;
constexpr double kFaceHeight = 1.75;  // the skeleton's skull between the eyes, above its feet
constexpr uint32_t kProbe = 4;        // half side of the sampled square, pixels
constexpr double kFigureChange = 40.0;

struct Spot {
    double x = 0.0, y = 0.0, z = 0.0;
};

struct Scene {
    Spot skeleton;  // feet
    Spot boar;
};

// A stone floor at the ground height of the player's column with open air above it, so that
// nothing stands between the camera and the mobs and they stand lit by the sky.
int32_t clearStage(App& app, int32_t x0, int32_t z0) {
    const int32_t floor = topBlock(app.world.chunks, x0, z0);
    if (floor < 1 || floor > 120) throw std::runtime_error("No ground for the mobs to stand on");
    for (int32_t x = x0 - 2; x <= x0 + 7; ++x) {
        for (int32_t z = z0 - 4; z <= z0 + 4; ++z) {
            app.setBlock(x, floor, z, kStone);
            for (int32_t y = floor + 1; y <= floor + 7; ++y) app.setBlock(x, y, z, voxel::airId);
        }
    }
    app.refreshLights(true);
    app.uploadMesh(render::meshEverything);
    return floor;
}

const content::MobDef& definition(const App& app, const std::string& id) {
    for (const content::MobDef& def : app.rules.mobs) {
        if (def.id == id) return def;
    }
    throw std::runtime_error("No mob definition " + id);
}

Mob placedMob(App& app, const content::MobDef& def, const Spot& at, double yaw) {
    Mob mob;
    app.applyMobDef(mob, def);
    mob.id = app.entities.nextMobId++;
    mob.health = def.health;
    mob.x = mob.prevX = at.x;
    mob.y = mob.prevY = at.y;
    mob.z = mob.prevZ = at.z;
    mob.yaw = yaw;
    return mob;
}

// The player looks along +x with the skeleton's face straight ahead and the boar on its left, clear of
// the first-person hand.
Scene stageScene(App& app) {
    const auto x0 = static_cast<int32_t>(std::floor(app.player.x));
    const auto z0 = static_cast<int32_t>(std::floor(app.player.z));
    const double feet = clearStage(app, x0, z0) + 1.0;
    const Scene scene{{x0 + 4.0, feet, z0 + 0.5}, {x0 + 3.5, feet, z0 - 1.6}};
    app.player.x = static_cast<float>(x0 + 0.5);
    app.player.y = static_cast<float>(feet + kFaceHeight);
    app.player.z = static_cast<float>(z0 + 0.5);
    app.player.yaw = 0.0f;
    app.player.pitch = 0.0f;
    app.player.thirdPerson = false;
    app.clock.timeOfDay = kNoon;
    app.clock.accumulator = 0.0;
    return scene;
}

void addMobs(App& app, const Scene& scene) {
    content::MobDef swordsman = content::builtinMob(1);
    swordsman.id = kSwordSkeleton;
    swordsman.behavior = "melee";
    app.rules.mobs.push_back(swordsman);
    app.entities.mobs.push_back(placedMob(app, swordsman, scene.skeleton, std::numbers::pi));
    app.entities.mobs.push_back(placedMob(app, definition(app, kBoar), scene.boar, std::numbers::pi / 2));
}

Colour requireDrawn(const platform::Image& with, const platform::Image& without, const Region& region,
                    const std::string& who) {
    const Colour shown = meanColour(with, region);
    if (colourDistance(shown, meanColour(without, region)) < kFigureChange)
        throw std::runtime_error("Mob not drawn: " + who);
    return shown;
}

void writePoints(const App& app, const Region& skull, const Region& boar) {
    std::ofstream out(app.files.base / kPoints);
    out << "skeleton " << (skull.x0 + skull.x1) / 2 << ' ' << (skull.y0 + skull.y1) / 2 << '\n';
    out << "boar " << (boar.x0 + boar.x1) / 2 << ' ' << (boar.y0 + boar.y1) / 2 << '\n';
}

}  // namespace

int bossRender(App& app) {
    const Path log = app.files.base / kLog;
    if (app.customResourceId("core:iron_sword") == 0) return unavailable(log, "boss-render", "the item core:iron_sword");
    app.files.worldOpen = true;
    app.setScreen(UiState::kPlaying);
    app.frame.keepInterface = false;  // no crosshair over the skull
    const Scene scene = stageScene(app);
    const platform::Image empty = captureChecked(app, "boss-render-empty.png");
    addMobs(app, scene);
    const platform::Image mobs = captureChecked(app, "boss-render-mobs.png");
    const Region skull =
        probeAt(app, 0.0f, mobs, {scene.skeleton.x - 0.2, scene.skeleton.y + kFaceHeight, scene.skeleton.z}, kProbe,
                "skeleton");
    const Region boar = probeAt(app, 0.0f, mobs, {scene.boar.x, scene.boar.y + 0.5, scene.boar.z}, kProbe, "boar");
    writePoints(app, skull, boar);
    const Colour bone = requireDrawn(mobs, empty, skull, "skeleton");
    const Colour hide = requireDrawn(mobs, empty, boar, "boar");
    // Bone is pale and yellowish; the boar's hide is brown: red over green over blue.
    if (bone.r < 120.0 || bone.b >= bone.r) throw std::runtime_error("Skeleton is not bone-coloured");
    if (!(hide.r > hide.g && hide.g > hide.b)) throw std::runtime_error("Boar is not brown");

    Mob& skeleton = app.entities.mobs[0];
    skeleton.windupRemaining = 6;
    skeleton.windupLength = 12;
    app.entities.mobs[1].hurtTimer = 5;
    const platform::Image tinted = captureChecked(app, "boss-render-telegraph.png");
    const Colour warned = meanColour(tinted, skull), hurt = meanColour(tinted, boar);
    if (warned.b > 0.9 * bone.b || warned.r < 0.9 * bone.r) throw std::runtime_error("Wind-up tint not shown");
    if (hurt.g > 0.85 * hide.g || hurt.r < 0.9 * hide.r) throw std::runtime_error("Hurt tint not shown");
    writeResult(log, "BOSS_RENDER_OK: a sword-holding skeleton and a boar captured in daylight, wind-up and hurt "
                     "tints checked");
    return 0;
}

}  // namespace selftest
