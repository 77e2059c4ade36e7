// The expedition self-test: the nearest city of the world's generation, its ground built in the
// chunks around its centre, and its residents placed there when the player comes near and gone
// when the player leaves.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "adventure/residents.h"
#include "app/app.h"
#include "selftest/check_list.h"
#include "selftest/scenario_world.h"
#include "selftest/scenarios.h"
#include "world/city.h"

namespace selftest {

namespace {

constexpr int32_t kSearchReach = 4096;
constexpr const char* kSmith = "core:smith";

voxel::CitySite nearestCity(const App& app) {
    const voxel::CitySite best = nearestCitySite(app, kSearchReach);
    require(best.present, "city site", "no city within " + std::to_string(kSearchReach) + " blocks of the origin");
    return best;
}

int32_t cityResidents(const App& app) {
    int32_t count = 0;
    for (const auto& [id, feet] : app.adventureState.npcPositions) count += id != adventure::baseIdOf(id);
    return count;
}

std::string cellText(const std::array<double, 3>& feet) {
    return std::to_string(feet[0]) + ", " + std::to_string(feet[1]) + ", " + std::to_string(feet[2]);
}

// The smith stands in free air on something solid.
void smithStands(App& app, const std::array<double, 3>& feet) {
    const auto x = static_cast<int32_t>(std::floor(feet[0])), z = static_cast<int32_t>(std::floor(feet[2]));
    const auto y = static_cast<int32_t>(std::floor(feet[1]));
    app.ensureChunkAt(x, z);
    const bool ground = voxel::blockDef(app.blockAt(x, y - 1, z)).solid;
    const bool free = !voxel::blockDef(app.blockAt(x, y, z)).solid && !voxel::blockDef(app.blockAt(x, y + 1, z)).solid;
    require(ground && free, "smith stands", "at " + cellText(feet) + (ground ? " inside a wall" : " over no ground"));
}

void expeditionChecks(const Path& work, const Path& contentRoot) {
    App app;
    prepareScenarioApp(app, work, contentRoot);
    loadScenarioContent(app);
    app.files.seed = 12345;
    app.chunkRadius = 2;
    app.world.profile = app.stream.defaultProfile;
    require(app.findNpc(kSmith) != nullptr, "smith", "the content pack has no smith");
    const voxel::CitySite city = nearestCity(app);
    app.player.x = static_cast<float>(city.x) + 0.5f;
    app.player.z = static_cast<float>(city.z) + 0.5f;
    app.prepareCities();
    const std::string smithHere = std::string(kSmith) + adventure::citySuffix;
    const auto smith = std::find_if(app.adventureState.npcPositions.begin(), app.adventureState.npcPositions.end(),
                                    [&](const auto& entry) { return entry.first.starts_with(smithHere); });
    require(smith != app.adventureState.npcPositions.end(), "smith lives in the city",
            std::to_string(cityResidents(app)) + " residents, no smith");
    const std::array<double, 3> feet = smith->second;
    require(std::abs(feet[0] - city.x) <= voxel::cityHalfSide && std::abs(feet[2] - city.z) <= voxel::cityHalfSide,
            "smith in the city", "at " + cellText(feet));
    smithStands(app, feet);
    app.player.x += 10000.0f;
    app.prepareCities();
    require(cityResidents(app) == 0, "residents stay home", std::to_string(cityResidents(app)) + " still placed");
}

}  // namespace

int expedition(const Path& out, const Path& contentRoot) {
    return runChecks(out / "expedition-self-test.log",
                     "EXPEDITION_OK: nearest city found, its smith placed in it standing on its ground, residents "
                     "gone when the player leaves",
                     [&] { expeditionChecks(out / "expedition-self-test", contentRoot); });
}

}  // namespace selftest
