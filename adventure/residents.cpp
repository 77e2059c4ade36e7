#include "adventure/residents.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "world/city.h"
#include "world/structures.h"

namespace adventure {
namespace {

int32_t floorDiv(int32_t value, int32_t divisor) {
    return static_cast<int32_t>(std::floor(static_cast<double>(value) / divisor));
}

bool withinReach(const voxel::SiteRecord& site, int32_t x, int32_t z, int32_t reach) {
    return site.present && std::abs(site.x - x) <= reach && std::abs(site.z - z) <= reach;
}

// Sites of an inhabited non-city structure rule near (x, z).
std::vector<voxel::SiteRecord> structureSites(const voxel::GenerationContext& context,
                                              const voxel::StructureRule& rule, int32_t x, int32_t z,
                                              int32_t reach) {
    std::vector<voxel::SiteRecord> sites;
    if (rule.spacing < voxel::minStructureSpacing) return sites;
    const int32_t side = static_cast<int32_t>(rule.spacing);
    for (int32_t gz = floorDiv(z - reach, side); gz <= floorDiv(z + reach, side); ++gz) {
        for (int32_t gx = floorDiv(x - reach, side); gx <= floorDiv(x + reach, side); ++gx) {
            const voxel::SiteRecord site = voxel::generatedStructureSite(context, rule, gx, gz);
            if (withinReach(site, x, z, reach)) sites.push_back(site);
        }
    }
    return sites;
}

std::vector<voxel::SiteRecord> sitesOf(const voxel::GenerationContext& context,
                                       const voxel::StructureRule& rule, int32_t x, int32_t z,
                                       int32_t reach) {
    if (!rule.city) return structureSites(context, rule, x, z, reach);
    // Only the first city rule builds cities.
    if (voxel::cityRule(context.profile.get()) != &rule) return {};
    std::vector<voxel::SiteRecord> sites;
    for (const voxel::CitySite& site : voxel::nearbyCitySites(context, x, z, reach)) {
        if (withinReach(site, x, z, reach)) sites.push_back(site);
    }
    return sites;
}

std::string residentId(const std::string& npc, const voxel::StructureRule& rule,
                       const voxel::SiteRecord& site, int32_t copy) {
    return npc + citySuffix + rule.id + "/" + std::to_string(site.gx) + "/" + std::to_string(site.gz) + "/" +
           std::to_string(copy);
}

void placeAtSite(const voxel::StructureRule& rule, const voxel::SiteRecord& site,
                 const std::set<std::string>& npcIds, std::map<std::string, std::array<double, 3>>& placed) {
    std::map<std::string, int32_t> copies;
    for (const voxel::StructureSpawn& spawn : rule.spawns) {
        if (npcIds.count(spawn.mob) == 0) continue;
        for (int32_t k = 0; k < spawn.count; ++k) {
            // Copies of one spawn stand side by side along x.
            const std::array<double, 3> feet{site.x + spawn.x + k + 0.5,
                                             static_cast<double>(site.y + spawn.y), site.z + spawn.z + 0.5};
            placed[residentId(spawn.mob, rule, site, copies[spawn.mob]++)] = feet;
        }
    }
}

}  // namespace

std::string baseIdOf(const std::string& id) {
    return id.substr(0, id.find(citySuffix));
}

std::map<std::string, std::array<double, 3>> placeResidents(const voxel::GenerationContext& context,
                                                            const std::set<std::string>& npcIds, int32_t x,
                                                            int32_t z, int32_t reach) {
    std::map<std::string, std::array<double, 3>> placed;
    if (!context.profile || npcIds.empty()) return placed;
    for (const voxel::StructureRule& rule : context.profile->structures) {
        if (rule.spawns.empty()) continue;
        for (const voxel::SiteRecord& site : sitesOf(context, rule, x, z, reach))
            placeAtSite(rule, site, npcIds, placed);
    }
    return placed;
}

}  // namespace adventure
