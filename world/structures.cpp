#include "world/structures.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "world/block_registry.h"
#include "world/city.h"
#include "world/features.h"
#include "world/noise.h"
#include "world/terrain_columns.h"

namespace voxel {

namespace {

// Cities keep inhabited structures this far away on both axes.
constexpr int32_t cityClearance = 64;
constexpr int32_t cityReach = 72;

bool isSkyTerrain(const GenerationContext& context) {
    return context.profile && context.profile->terrain == "sky";
}

int32_t spacingOf(const StructureRule& rule) {
    return static_cast<int32_t>(std::max(rule.spacing, minStructureSpacing));
}

// Origin coordinate of a cell: 32 blocks inside it on either side, then a hashed offset.
int32_t originCoord(int32_t g, uint32_t spacing, float draw) {
    const float span = static_cast<float>(spacing - minStructureSpacing);
    return static_cast<int32_t>(static_cast<uint32_t>(g) * spacing + 32u +
                                static_cast<uint32_t>(static_cast<int32_t>(span * draw)));
}

// The chance draw and the origin column of a cell; not present when the draw fails.
SiteRecord candidate(const GenerationContext& context, const StructureRule& rule, int32_t gx, int32_t gz) {
    SiteRecord site{gx, gz, 0, 0, 0, false};
    if (rule.spacing < minStructureSpacing) return site;
    const uint32_t s = context.seed + fnv1a(rule.id);
    if (latticeUnit(gx, gz, s) > rule.chance) return site;
    site.x = originCoord(gx, rule.spacing, latticeUnit(gx, gz, s + 1));
    site.z = originCoord(gz, rule.spacing, latticeUnit(gx, gz, s + 2));
    site.present = true;
    return site;
}

bool biomeAllowed(const GenerationContext& context, const StructureRule& rule, int32_t x, int32_t z) {
    if (rule.biomes.empty()) return true;
    const std::string id = biomeId(context, x, z);
    return std::find(rule.biomes.begin(), rule.biomes.end(), id) != rule.biomes.end();
}

bool nearCity(const GenerationContext& context, int32_t x, int32_t z) {
    for (const CitySite& city : nearbyCitySites(context, x, z, cityReach)) {
        if (std::abs(city.x - x) < cityClearance && std::abs(city.z - z) < cityClearance) return true;
    }
    return false;
}

bool inhabited(const StructureRule& rule) {
    return !rule.city && !rule.dungeon && !rule.spawns.empty();
}

// Whether a present site of rule lies closer than limit on both axes, scanning the cells that
// cover reach blocks around (x, z).
bool siteWithin(const GenerationContext& context, const StructureRule& rule, int32_t x, int32_t z, int32_t limit,
                int32_t reach) {
    const int32_t spacing = spacingOf(rule);
    for (int32_t gz = floorDiv(z - reach, spacing); gz <= floorDiv(z + reach, spacing); ++gz) {
        for (int32_t gx = floorDiv(x - reach, spacing); gx <= floorDiv(x + reach, spacing); ++gx) {
            const SiteRecord other = structureAt(context, rule, gx, gz);
            if (other.present && std::abs(other.x - x) < limit && std::abs(other.z - z) < limit) return true;
        }
    }
    return false;
}

// Another inhabited structure too close; skipped names the rule that may stand beside it.
bool crowded(const GenerationContext& context, const StructureRule& rule, int32_t x, int32_t z, int32_t limit,
             int32_t reach, const std::string& skipped) {
    for (const StructureRule& other : context.profile->structures) {
        if (!inhabited(other) || other.id == rule.id || other.id == skipped) continue;
        if (siteWithin(context, other, x, z, limit, reach)) return true;
    }
    return false;
}

// Inhabited outposts keep apart from each other; the iron mine may stand beside a road outpost.
bool outpostCrowded(const GenerationContext& context, const StructureRule& rule, int32_t x, int32_t z) {
    if (rule.id == "core:iron_mine") return crowded(context, rule, x, z, 28, 36, "core:road_outpost");
    if (rule.id == "core:road_outpost") return crowded(context, rule, x, z, 28, 36, "");
    return false;
}

bool levelEntrance(const GenerationContext& context, const StructureRule& rule, int32_t x, int32_t y, int32_t z) {
    static const std::array<int32_t, 3> offsets = {-4, 0, 4};
    for (const int32_t dz : offsets) {
        for (const int32_t dx : offsets) {
            const int32_t ground = surfaceHeight(context, x + rule.entranceX + dx, z + rule.entranceZ + dz);
            if (std::abs(ground - y) > 1) return false;
        }
    }
    return true;
}

bool skyFooting(const GenerationContext& context, int32_t x, int32_t z) {
    static const std::array<int32_t, 3> offsets = {-14, 0, 14};
    for (const int32_t dz : offsets) {
        for (const int32_t dx : offsets) {
            if (surfaceHeight(context, x + dx, z + dz) < 49) return false;
        }
    }
    return true;
}

bool neighboursAllow(const GenerationContext& context, const StructureRule& rule, const SiteRecord& site) {
    if (nearCity(context, site.x, site.z)) return false;
    if (!context.profile) return true;
    if (outpostCrowded(context, rule, site.x, site.z)) return false;
    if (rule.dungeon) {
        if (!levelEntrance(context, rule, site.x, site.y, site.z)) return false;
        if (crowded(context, rule, site.x, site.z, 72, 80, "")) return false;
    }
    return true;
}

struct CellRange {
    int32_t gx0, gx1, gz0, gz1;
};

// The spacing cells whose structures may reach chunk (cx, cz).
CellRange cellsReaching(const StructureRule& rule, int32_t cx, int32_t cz) {
    const int32_t spacing = spacingOf(rule);
    return {floorDiv(16 * cx - 32, spacing), floorDiv(16 * cx + 47, spacing), floorDiv(16 * cz - 32, spacing),
            floorDiv(16 * cz + 47, spacing)};
}

void drawParts(const ChunkCells& cells, const StructureRule& rule, const SiteRecord& site) {
    for (const StructureCuboid& part : rule.parts) {
        const int32_t x0 = std::max(site.x + part.fromX, cells.originX);
        const int32_t x1 = std::min(site.x + part.toX, cells.originX + chunkSize);
        const int32_t z0 = std::max(site.z + part.fromZ, cells.originZ);
        const int32_t z1 = std::min(site.z + part.toZ, cells.originZ + chunkSize);
        const int32_t y0 = std::max(site.y + part.fromY, 1);
        const int32_t y1 = std::min(site.y + part.toY, chunkHeight);
        for (int32_t y = y0; y < y1; ++y) {
            for (int32_t z = z0; z < z1; ++z) {
                for (int32_t x = x0; x < x1; ++x) cells.at(x, y, z) = part.block;
            }
        }
    }
}

void drawChests(const ChunkCells& cells, const StructureRule& rule, const SiteRecord& site) {
    for (const LootChest& chest : rule.loot_chests) {
        const int32_t y = site.y + chest.y;
        if (y < 1 || y > 127 || chest.block >= maxBlockCount) continue;
        cells.set(site.x + chest.x, y, site.z + chest.z, static_cast<uint8_t>(chest.block));
    }
}

const LootChest* chestAt(const StructureRule& rule, const SiteRecord& site, int32_t x, int32_t y, int32_t z) {
    for (const LootChest& chest : rule.loot_chests) {
        const int32_t cy = site.y + chest.y;
        if (cy >= 1 && cy <= 127 && site.x + chest.x == x && cy == y && site.z + chest.z == z) return &chest;
    }
    return nullptr;
}

std::string structureLootAt(const GenerationContext& context, int32_t x, int32_t y, int32_t z) {
    const auto& rules = context.profile->structures;
    for (auto rule = rules.rbegin(); rule != rules.rend(); ++rule) {
        if (rule->city) continue;
        const CellRange range = cellsReaching(*rule, floorDiv(x, chunkSize), floorDiv(z, chunkSize));
        for (int32_t gz = range.gz0; gz <= range.gz1; ++gz) {
            for (int32_t gx = range.gx0; gx <= range.gx1; ++gx) {
                const SiteRecord site = generatedStructureSite(context, *rule, gx, gz);
                if (!site.present) continue;
                if (const LootChest* chest = chestAt(*rule, site, x, y, z)) return chest->lootTable;
            }
        }
    }
    return {};
}

bool ruinsChestAt(const GenerationContext& context, int32_t x, int32_t y, int32_t z) {
    RuinsCache ruins(context);
    for (int32_t rz = floorDiv(z - 8, ruinsRegionSide); rz <= floorDiv(z + 8, ruinsRegionSide); ++rz) {
        for (int32_t rx = floorDiv(x - 8, ruinsRegionSide); rx <= floorDiv(x + 8, ruinsRegionSide); ++rx) {
            const RuinsSite& site = ruins.site(rx, rz);
            if (site.present && site.y <= 126 && site.x + 2 == x && site.y + 1 == y && site.z + 2 == z) return true;
        }
    }
    return false;
}

}  // namespace

SiteRecord structureAt(const GenerationContext& context, const StructureRule& rule, int32_t gx, int32_t gz) {
    SiteRecord site{gx, gz, 0, 0, 0, false};
    if (rule.city || context.stage < 3) return site;
    SiteRecord found = candidate(context, rule, gx, gz);
    if (!found.present) return site;
    found.y = surfaceHeight(context, found.x, found.z);
    if (found.y < 49 || found.y > 88 || !biomeAllowed(context, rule, found.x, found.z)) return site;
    if (!neighboursAllow(context, rule, found)) return site;
    if (isSkyTerrain(context) && !skyFooting(context, found.x, found.z)) return site;
    return found;
}

SiteRecord generatedStructureSite(const GenerationContext& context, const StructureRule& rule, int32_t gx,
                                  int32_t gz) {
    const SiteRecord absent{gx, gz, 0, 0, 0, false};
    if (rule.city || context.stage < 3) return absent;
    if (isSkyTerrain(context) || !rule.spawns.empty()) return structureAt(context, rule, gx, gz);
    SiteRecord site = candidate(context, rule, gx, gz);
    if (!site.present) return absent;
    site.y = surfaceHeight(context, site.x, site.z);
    if (site.y < 49 || !biomeAllowed(context, rule, site.x, site.z)) return absent;
    return site;
}

void placeStructures(const GenerationContext& context, Chunk& chunk) {
    if (context.stage < 3 || !context.profile) return;
    const ChunkCells cells(chunk);
    for (const StructureRule& rule : context.profile->structures) {
        if (rule.city) continue;
        const CellRange range = cellsReaching(rule, chunk.cx, chunk.cz);
        for (int32_t gz = range.gz0; gz <= range.gz1; ++gz) {
            for (int32_t gx = range.gx0; gx <= range.gx1; ++gx) {
                const SiteRecord site = generatedStructureSite(context, rule, gx, gz);
                if (!site.present) continue;
                drawParts(cells, rule, site);
                drawChests(cells, rule, site);
            }
        }
    }
}

std::string chestLootAt(const GenerationContext& context, int32_t x, int32_t y, int32_t z) {
    if (context.stage >= 3 && context.profile) {
        std::string loot = structureLootAt(context, x, y, z);
        if (!loot.empty()) return loot;
    }
    if (context.stage >= 4 && !isSkyTerrain(context) && ruinsChestAt(context, x, y, z)) return "core:ruins";
    return {};
}

}  // namespace voxel
