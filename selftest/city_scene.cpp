// The expedition render test: the nearest city to the origin with its resident smith, and a visitor
// drawn as a box figure beside him, captured with and without the people so that each figure can
// be found on the picture where the camera puts it.
#include <array>

#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

#include "adventure/residents.h"
#include "app/app.h"
#include "platform/image.h"
#include "selftest/capture_checks.h"
#include "selftest/scenario_log.h"
#include "selftest/scenario_world.h"
#include "selftest/scenarios.h"
#include "selftest/scene_probe.h"
#include "world/city.h"

namespace selftest {

namespace {

constexpr const char* kLog = "expedition-render.log";
constexpr const char* kSmith = "core:smith";
constexpr const char* kVisitor = "selftest:visitor";
constexpr int32_t kSearchReach = 4096;
constexpr int32_t kWindow = 2;          // chunks loaded on each side of the smith's chunk
constexpr double kEyeHeight = 1.62;
constexpr double kViewDistance = 4.5;   // blocks from the eye to the smith
constexpr double kVisitorSide = 1.2;    // blocks beside the smith, across the view
constexpr uint32_t kProbe = 5;          // half side of the sampled square, pixels
constexpr double kFigureChange = 40.0;  // mean colour change where a figure stands

using Positions = std::map<std::string, std::array<double, 3>>;

struct Scene {
    std::array<double, 3> smith{};
    std::array<double, 3> visitor{};
    int32_t dx = 0, dz = 0;  // the view direction
};

voxel::CitySite nearestCity(const App& app) {
    const voxel::CitySite best = nearestCitySite(app, kSearchReach);
    if (!best.present) throw std::runtime_error("No city near the origin");
    return best;
}

void loadAround(App& app, const std::array<double, 3>& feet) {
    app.unloadAllChunks();
    const int32_t x = static_cast<int32_t>(std::floor(feet[0])), z = static_cast<int32_t>(std::floor(feet[2]));
    for (int32_t cz = -kWindow; cz <= kWindow; ++cz)
        for (int32_t cx = -kWindow; cx <= kWindow; ++cx) app.ensureChunkAt(x + 16 * cx, z + 16 * cz);
}

bool openAir(const App& app, double x, double y, double z) {
    const int32_t cx = static_cast<int32_t>(std::floor(x)), cz = static_cast<int32_t>(std::floor(z));
    const int32_t cy = static_cast<int32_t>(std::floor(y));
    for (int32_t k = 0; k < 2; ++k) {
        if (voxel::blockDef(app.blockAt(cx, cy + k, cz)).solid) return false;
    }
    return true;
}

// A side of the smith from which nothing stands between the eye and him.
bool clearSight(const App& app, const std::array<double, 3>& feet, int32_t dx, int32_t dz) {
    for (double step = 1.0; step <= kViewDistance + 0.5; step += 0.5) {
        if (!openAir(app, feet[0] - dx * step, feet[1], feet[2] - dz * step)) return false;
    }
    return openAir(app, feet[0] + dz * kVisitorSide, feet[1], feet[2] - dx * kVisitorSide);
}

Scene chooseView(const App& app, const std::array<double, 3>& smith) {
    static constexpr int32_t kSides[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    for (const auto& side : kSides) {
        if (!clearSight(app, smith, side[0], side[1])) continue;
        Scene scene{smith, {smith[0] + side[1] * kVisitorSide, smith[1], smith[2] - side[0] * kVisitorSide},
                    side[0], side[1]};
        return scene;
    }
    throw std::runtime_error("The city's smith is walled in on every side");
}

void lookAt(App& app, const Scene& scene) {
    app.player.x = static_cast<float>(scene.smith[0] - scene.dx * kViewDistance);
    app.player.y = static_cast<float>(scene.smith[1] + kEyeHeight);
    app.player.z = static_cast<float>(scene.smith[2] - scene.dz * kViewDistance);
    app.player.yaw = static_cast<float>(std::atan2(scene.dz, scene.dx));
    app.player.pitch = -0.15f;
    app.player.thirdPerson = false;
}

std::string smithKey(const App& app) {
    for (const auto& [key, feet] : app.adventureState.npcPositions) {
        if (adventure::baseIdOf(key) == kSmith && key != kSmith) return key;
    }
    throw std::runtime_error("The city has no resident smith");
}

// The smith as the catalog has him, but without a model: the box figure.
void addVisitor(App& app) {
    for (const adventure::Npc& npc : app.adventureState.catalog.npcs) {
        if (npc.id != kSmith) continue;
        adventure::Npc visitor = npc;
        visitor.id = kVisitor;
        visitor.modelResource.clear();
        app.adventureState.catalog.npcs.push_back(visitor);
        return;
    }
    throw std::runtime_error("The content pack has no smith");
}

// The figure's chest must show on the picture with the people and not without them.
Colour requireFigure(App& app, const platform::Image& with, const platform::Image& without,
                     const std::array<double, 3>& feet, double chest, const std::string& who) {
    const Region region = probeAt(app, 0.0f, with, {feet[0], feet[1] + chest, feet[2]}, kProbe, who);
    const Colour shown = meanColour(with, region);
    if (colourDistance(shown, meanColour(without, region)) < kFigureChange)
        throw std::runtime_error("Figure not drawn: " + who);
    return shown;
}

}  // namespace

int expeditionRender(App& app) {
    const Path log = app.files.base / kLog;
    app.frame.keepInterface = false;
    app.files.worldOpen = true;
    app.setScreen(UiState::kPlaying);
    const voxel::CitySite city = nearestCity(app);
    const std::array<double, 3> around{city.x + 6.5, static_cast<double>(city.y + 1), city.z + 6.5};
    loadAround(app, around);
    app.player.x = static_cast<float>(around[0]);
    app.player.z = static_cast<float>(around[2]);
    app.prepareCities();
    const std::string smith = smithKey(app);
    const Scene scene = chooseView(app, app.adventureState.npcPositions.at(smith));
    addVisitor(app);
    app.adventureState.npcPositions[kVisitor] = scene.visitor;
    lookAt(app, scene);
    app.uploadMesh(render::meshEverything);

    const Positions people = std::exchange(app.adventureState.npcPositions, {});
    const platform::Image without = captureChecked(app, "expedition-render-empty.png");
    app.adventureState.npcPositions = people;
    const platform::Image with = captureChecked(app, "expedition-render-city.png");
    requireFigure(app, with, without, scene.smith, 1.0, smith);
    const Colour visitor = requireFigure(app, with, without, scene.visitor, 1.05, kVisitor);
    // The box figure's torso is teal: green and blue above red.
    if (visitor.g <= visitor.r || visitor.b <= visitor.r) throw std::runtime_error("Box figure is not teal");
    writeResult(log, "EXPEDITION_RENDER_OK: a city's resident smith and a box-figure visitor captured and checked");
    return 0;
}

}  // namespace selftest
