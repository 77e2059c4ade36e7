// Resident ids and the placement of the residents that a city's spawn list names.
#include "adventure/residents.h"

#include <gtest/gtest.h>

#include "app/app.h"
#include "world/city.h"
#include "world/structures.h"

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

// An inhabited camp: every copy of its spawn at a site whose centre is within reach on both axes;
// a rule below the smallest spacing has no sites at all.
TEST(PlaceResidents, InhabitedStructureCopiesWithinReachOnBothAxes) {
    auto profile = std::make_shared<voxel::GenerationProfile>();
    voxel::StructureRule camp;
    camp.id = "t:camp";
    camp.spacing = voxel::minStructureSpacing;
    camp.chance = 1.0f;
    camp.spawns = {{"t:guard", 2, 0, 1, 3}};
    profile->structures = {camp};
    const voxel::GenerationContext context{12345, 4, profile};
    voxel::SiteRecord site;
    for (int32_t g = 0; g < 64 && !site.present; ++g)
        site = voxel::generatedStructureSite(context, camp, g % 8, g / 8);
    ASSERT_TRUE(site.present);
    const std::string prefix =
        "t:guard.city.t:camp/" + std::to_string(site.gx) + "/" + std::to_string(site.gz) + "/";
    const int32_t reach = 40;
    const struct {
        int32_t dx, dz;
        uint32_t spacing;
        bool placed;
    } rows[] = {{reach, -reach, voxel::minStructureSpacing, true},
                {reach + 1, 0, voxel::minStructureSpacing, false},
                {0, -reach - 1, voxel::minStructureSpacing, false},
                {0, 0, voxel::minStructureSpacing - 1, false}};
    for (const auto& row : rows) {
        profile->structures[0].spacing = row.spacing;
        const auto placed =
            adventure::placeResidents(context, {"t:guard"}, site.x + row.dx, site.z + row.dz, reach);
        EXPECT_EQ(placed.count(prefix + "2"), row.placed ? 1u : 0u)
            << row.dx << " " << row.dz << " " << row.spacing;
        EXPECT_EQ(placed.count(prefix + "3"), 0u) << "three copies only";
        if (row.placed) {
            EXPECT_EQ(placed.at(prefix + "2"),
                      (std::array<double, 3>{site.x + 4.5, double(site.y), site.z + 1.5}));
        }
    }
}

}  // namespace
