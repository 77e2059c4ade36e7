// The sky, frost and dimensions self-tests: the content pack's dimensions generate the chunk window
// with their own profiles, as entering them does, and their terrain is checked; the sky's daylight
// and clear colour follow the sun's rule at the times of day that matter.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/app.h"
#include "render/frame/daylight.h"
#include "selftest/check_list.h"
#include "selftest/scenario_world.h"
#include "selftest/scenarios.h"
#include "selftest/terrain_checks.h"

namespace selftest {

namespace {

constexpr const char* kSky = "core:sky";
constexpr const char* kFrost = "core:frost";
constexpr const char* kAsh = "core:ash";
constexpr const char* kOverworld = "core:overworld";

void prepareWorld(App& app, const Path& work, const Path& contentRoot) {
    prepareScenarioApp(app, work, contentRoot);
    loadScenarioContent(app);
    app.chunkRadius = 2;
    app.files.seed = 12345;
}

// The window around the origin generated in the dimension, each dimension in a chunk folder of its
// own so that no saved chunk of another stands in for its terrain.
void enterDimension(App& app, const std::string& id) {
    const bool overworld = id == kOverworld;
    require(overworld || (app.rules.dimensions.contains(id) && app.rules.dimensions.at(id).profile), id + " defined",
            "the content pack has no usable definition of it");
    app.dimension = id;
    std::string folder = id;
    std::replace(folder.begin(), folder.end(), ':', '_');
    app.files.world = app.files.base / "world" / folder;
    app.generateEnvironment();
    const voxel::ProfilePtr expected = overworld ? app.stream.defaultProfile : app.rules.dimensions.at(id).profile;
    require(app.world.profile == expected, id + " terrain", "generated with another profile");
    require(app.world.chunks.size() == 25, id + " terrain", std::to_string(app.world.chunks.size()) + " chunks");
}

// A terrain check of the render tests, as a named check.
template <typename Check>
void terrainCheck(const std::string& name, Check check) {
    try {
        check();
    } catch (const std::runtime_error& wrong) {
        throw CheckFailure(name, wrong.what());
    }
}

void requireNear(float got, float want, const std::string& check) {
    std::ostringstream found;
    found << got << ", not " << want;
    require(std::abs(got - want) <= 1e-5f, check, found.str());
}

// Noon (sun at its height), midnight (the floor of 0.09, colour brightness at its floor of 0.05)
// and sunrise (the warm tint at full strength).
void daylightRule() {
    requireNear(render::daylight(0.25f), 1.0f, "daylight at noon");
    requireNear(render::daylight(0.75f), 0.09f, "daylight at midnight");
    requireNear(render::dayFraction(12000), 0.25f, "day fraction of tick 12000");
    const std::array<float, 4> noon = render::clearColour(0.25f), night = render::clearColour(0.75f);
    const std::array<float, 4> sunrise = render::clearColour(0.0f);
    requireNear(noon[2], 0.855f, "sky blue at noon");
    requireNear(night[0], 0.0305f, "sky red at midnight");
    requireNear(sunrise[0], 0.37f * 0.18f + 0.012f + 0.15f, "warm sky red at sunrise");
    requireNear(sunrise[3], 1.0f, "sky opaque");
}

void skyChecks(const Path& work, const Path& contentRoot) {
    App app;
    prepareWorld(app, work, contentRoot);
    daylightRule();
    enterDimension(app, kSky);
    terrainCheck("sky islands float", [&] { requireOpenAirBelow(app.world.chunks); });
    terrainCheck("sky island over the origin", [&] { requireOriginIsland(app.world.chunks, *app.world.profile); });
    const content::DimensionDef& sky = app.rules.dimensions.at(kSky);
    require(!sky.day_cycle || render::daylight(sky.time) > 0.09f, "sky arrival in daylight",
            "arrives at day fraction " + std::to_string(sky.time));
}

void frostChecks(const Path& work, const Path& contentRoot) {
    App app;
    prepareWorld(app, work, contentRoot);
    enterDimension(app, kFrost);
    terrainCheck("frozen sea", [&] { requireFrozenSea(app.world.chunks); });
    require(topBlock(app.world.chunks, 8, 8) > 0, "frost ground", "no ground at the origin");
}

// The origin chunk's cells of each dimension, which must differ from every other's.
void dimensionsChecks(const Path& work, const Path& contentRoot) {
    App app;
    prepareWorld(app, work, contentRoot);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> seen;
    for (const std::string id : {kOverworld, kAsh, kFrost, kSky}) {
        enterDimension(app, id);
        const std::vector<uint8_t>& cells = app.findChunk(0, 0)->cells;
        for (const auto& [other, otherCells] : seen)
            require(cells != otherCells, id + " unlike " + other, "the origin chunks are the same");
        seen.emplace_back(id, cells);
    }
}

}  // namespace

int sky(const Path& out, const Path& contentRoot) {
    return runChecks(out / "sky-self-test.log",
                     "SKY_OK: daylight and sky colour at noon, midnight and sunrise, sky islands generated floating "
                     "over open air",
                     [&] { skyChecks(out / "sky-self-test", contentRoot); });
}

int frost(const Path& out, const Path& contentRoot) {
    return runChecks(out / "frost-self-test.log", "FROST_OK: frost dimension generated with its sea frozen over",
                     [&] { frostChecks(out / "frost-self-test", contentRoot); });
}

int dimensions(const Path& out, const Path& contentRoot) {
    return runChecks(out / "dimensions-self-test.log",
                     "DIMENSIONS_OK: overworld, ash, frost and sky generated in turn, each with its own terrain",
                     [&] { dimensionsChecks(out / "dimensions-self-test", contentRoot); });
}

}  // namespace selftest
