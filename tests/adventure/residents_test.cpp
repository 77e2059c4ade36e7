// Resident ids and the placement of the residents that a city's spawn list names.
#include "adventure/residents.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "world/city.h"

namespace {

TEST(BaseIdOf, CutsAtTheFirstCitySuffix) {
    const std::pair<const char*, const char*> cases[] = {
        {"t:smith", "t:smith"},
        {"t:smith.city.t:town/0/1/0", "t:smith"},
        {".city.x", ""},
        {"t:smith.cityx", "t:smith.cityx"},
        {"t:a.city.b.city.c", "t:a"},
        {"", ""},
    };
    for (const auto& [id, base] : cases) EXPECT_EQ(adventure::baseIdOf(id), base) << id;
}

std::shared_ptr<voxel::GenerationProfile> townProfile() {
    auto profile = std::make_shared<voxel::GenerationProfile>();
    voxel::StructureRule town;
    town.id = "t:town";
    town.city = true;
    town.spacing = 384;
    town.chance = 1.0f;
    town.spawns = {{"t:guard", 3, 1, -2, 2}, {"core:boar", 0, 0, 0, 1}};
    profile->structures = {town};
    return profile;
}

// The first region of seed 12345 with a city, searched the way generation finds it.
voxel::CitySite firstCity(const voxel::GenerationContext& context) {
    for (int32_t gz = -3; gz <= 3; ++gz) {
        for (int32_t gx = -3; gx <= 3; ++gx) {
            const voxel::CitySite site = voxel::citySite(context, gx, gz);
            if (site.present) return site;
        }
    }
    return {};
}

TEST(PrepareCities, PlacesTheNamedResidentsOfACityNearThePlayer) {
    App app;
    app.files.seed = 12345;
    app.world.profile = townProfile();
    const voxel::CitySite city = firstCity({app.files.seed, app.generationStage, app.world.profile});
    ASSERT_TRUE(city.present);
    adventure::Npc guard;
    guard.id = "t:guard";
    app.adventureState.catalog.npcs = {guard};
    app.adventureState.npcPositions["t:guard.city.stale"] = {0, 0, 0};
    app.adventureState.npcPositions["t:hermit"] = {1, 2, 3};
    // Just within reach: the window of radius 6 and one chunk beyond.
    const int32_t reach = (app.chunkRadius + 1) * 16;
    app.player.x = static_cast<float>(city.x + reach) + 0.5f;
    app.player.z = static_cast<float>(city.z - reach) + 0.5f;

    app.prepareCities();

    const std::string prefix =
        "t:guard.city.t:town/" + std::to_string(city.gx) + "/" + std::to_string(city.gz) + "/";
    using Positions = std::map<std::string, std::array<double, 3>>;
    const double x = city.x + 3.5, y = city.y + 1, z = city.z - 1.5;
    EXPECT_EQ(app.adventureState.npcPositions,
              (Positions{{prefix + "0", {x, y, z}}, {prefix + "1", {x + 1, y, z}}, {"t:hermit", {1, 2, 3}}}));
    EXPECT_EQ(app.adventureState.npcMotion.at(prefix + "1").previous, (std::array<double, 3>{x + 1, y, z}));

    app.player.x += 1.0f;
    app.prepareCities();
    EXPECT_EQ(app.adventureState.npcPositions, (Positions{{"t:hermit", {1, 2, 3}}}));
    EXPECT_TRUE(app.adventureState.npcMotion.empty());
}

}  // namespace
