#include "world/features.h"

#include <algorithm>
#include <cstdlib>

#include "world/block_registry.h"
#include "world/terrain_columns.h"

namespace voxel {

namespace {

constexpr uint32_t ruinsXSalt = 307;
constexpr uint32_t ruinsZSalt = 311;
constexpr uint32_t ruinsPresenceSalt = 313;
constexpr uint32_t ruinsWallSalt = 601;
constexpr uint32_t treeXSalt = 503;
constexpr uint32_t treeZSalt = 509;
constexpr uint32_t treeChanceSalt = 521;
constexpr uint32_t treeHeightSalt = 523;
constexpr int32_t treeGrid = 12;

struct Tree {
    int32_t x = 0;
    int32_t z = 0;
    int32_t ground = 0;
    int32_t trunk = 0;
    uint8_t log = oakLogId;
    uint8_t leaves = oakLeavesId;
};

float builtinTreeDensity(int32_t biome) {
    switch (biome) {
        case forestBiome: return 0.68f;
        case plainsBiome: return 0.1f;
        case swampBiome: return 0.38f;
        default: return 0.0f;
    }
}

int32_t trunkHeight(const BiomeRule* rule, float draw) {
    if (!rule) return 4 + static_cast<int32_t>(3.0f * draw);
    const int32_t span = rule->trunkMaxHeight - rule->trunkMinHeight + 1;
    return std::min(rule->trunkMinHeight + static_cast<int32_t>(static_cast<float>(span) * draw),
                    rule->trunkMaxHeight);
}

// The tree of grid cell (gx, gz), decided wholly from its trunk column so that every chunk it
// reaches agrees on it. False when the cell grows none.
bool treeAt(const GenerationContext& context, int32_t gx, int32_t gz, RuinsCache& ruins, Tree& tree) {
    const uint32_t seed = context.seed;
    tree.x = treeGrid * gx + static_cast<int32_t>(8.0f * latticeUnit(gx, gz, seed + treeXSalt)) + 2;
    tree.z = treeGrid * gz + static_cast<int32_t>(8.0f * latticeUnit(gx, gz, seed + treeZSalt)) + 2;
    const ColumnInfo column = columnInfo(context, tree.x, tree.z);
    const BiomeRule* rule = customBiome(context, column.biome);
    const float density = rule ? rule->treeDensity : builtinTreeDensity(column.biome);
    const int32_t lowest = baseBiomeOf(context, column.biome) == swampBiome ? 48 : 49;
    if (column.height <= lowest || ruins.near(tree.x, tree.z)) return false;
    if (latticeUnit(gx, gz, seed + treeChanceSalt) > density) return false;
    tree.ground = column.height;
    tree.trunk = trunkHeight(rule, latticeUnit(gx, gz, seed + treeHeightSalt));
    if (rule) {
        tree.log = rule->logBlock;
        tree.leaves = rule->leavesBlock;
    }
    return true;
}

void drawTree(const ChunkCells& cells, const Tree& tree) {
    for (int32_t dy = tree.trunk - 2; dy <= tree.trunk + 1; ++dy) {
        const int32_t y = tree.ground + dy;
        if (y < 1 || y > 127) continue;
        const int32_t radius = dy == tree.trunk + 1 ? 1 : 2;
        for (int32_t dz = -radius; dz <= radius; ++dz) {
            for (int32_t dx = -radius; dx <= radius; ++dx) {
                const bool corner = std::abs(dx) == radius && std::abs(dz) == radius;
                if (corner && dy != tree.trunk) continue;
                cells.setIfAir(tree.x + dx, y, tree.z + dz, tree.leaves);
            }
        }
    }
    for (int32_t y = tree.ground + 1; y <= std::min(tree.ground + tree.trunk, 127); ++y) {
        cells.set(tree.x, y, tree.z, tree.log);
    }
}

void drawRuinsColumn(const GenerationContext& context, const ChunkCells& cells, const RuinsSite& site, int32_t dx,
                     int32_t dz) {
    const int32_t x = site.x + dx;
    const int32_t z = site.z + dz;
    for (int32_t y = std::max(site.y, 1); y <= std::min(site.y + 4, 127); ++y) cells.set(x, y, z, airId);
    cells.set(x, site.y, z, stoneId);
    const bool border = std::abs(dx) == 4 || std::abs(dz) == 4;
    const bool gap = dz == -4 && std::abs(dx) <= 1;
    if (!border || gap) return;
    const int32_t height = 1 + static_cast<int32_t>(3.0f * latticeUnit(x, z, context.seed + ruinsWallSalt));
    const uint8_t block = std::abs(dx) == 4 && std::abs(dz) == 4 ? oakLogId : stoneId;
    for (int32_t y = site.y + 1; y <= std::min(site.y + height, 127); ++y) cells.set(x, y, z, block);
}

void drawRuins(const GenerationContext& context, const ChunkCells& cells, const RuinsSite& site, uint8_t chest) {
    for (int32_t dz = -4; dz <= 4; ++dz) {
        for (int32_t dx = -4; dx <= 4; ++dx) drawRuinsColumn(context, cells, site, dx, dz);
    }
    if (context.stage >= 4 && chest != airId && site.y <= 126) cells.set(site.x + 2, site.y + 1, site.z + 2, chest);
}

}  // namespace

uint8_t lastCustomBlock(const std::string& name) {
    const std::vector<BlockDef>& registry = blockRegistry();
    for (std::size_t id = registry.size(); id-- > builtinBlockCount;) {
        if (registry[id].available && registry[id].id == name) return static_cast<uint8_t>(id);
    }
    return airId;
}

RuinsSite ruinsSite(const GenerationContext& context, int32_t rx, int32_t rz) {
    const uint32_t seed = context.seed;
    RuinsSite site;
    site.x = ruinsRegionSide * rx + static_cast<int32_t>(60.0f * latticeUnit(rx, rz, seed + ruinsXSalt)) + 16;
    site.z = ruinsRegionSide * rz + static_cast<int32_t>(60.0f * latticeUnit(rx, rz, seed + ruinsZSalt)) + 16;
    if (!(latticeUnit(rx, rz, seed + ruinsPresenceSalt) > 0.6f)) return site;
    const ColumnInfo column = columnInfo(context, site.x, site.z);
    site.y = column.height;
    site.present = site.y >= 50 && site.y < 88 && baseBiomeOf(context, column.biome) != mountainsBiome;
    return site;
}

bool nearRuins(const GenerationContext& context, int32_t x, int32_t z) {
    RuinsCache cache(context);
    return cache.near(x, z);
}

const RuinsSite& RuinsCache::site(int32_t rx, int32_t rz) {
    for (const Entry& entry : entries_) {
        if (entry.rx == rx && entry.rz == rz) return entry.site;
    }
    entries_.push_back({rx, rz, ruinsSite(context_, rx, rz)});
    return entries_.back().site;
}

bool RuinsCache::near(int32_t x, int32_t z) {
    const RuinsSite& ruins = site(floorDiv(x, ruinsRegionSide), floorDiv(z, ruinsRegionSide));
    return ruins.present && std::abs(x - ruins.x) < 9 && std::abs(z - ruins.z) < 9;
}

void placeTrees(const GenerationContext& context, Chunk& chunk, RuinsCache& ruins) {
    const ChunkCells cells(chunk);
    const int32_t x0 = cells.originX;
    const int32_t z0 = cells.originZ;
    for (int32_t gz = floorDiv(z0 - 4, treeGrid); gz <= floorDiv(z0 + 19, treeGrid); ++gz) {
        for (int32_t gx = floorDiv(x0 - 4, treeGrid); gx <= floorDiv(x0 + 19, treeGrid); ++gx) {
            Tree tree;
            if (treeAt(context, gx, gz, ruins, tree)) drawTree(cells, tree);
        }
    }
}

void placeRuins(const GenerationContext& context, Chunk& chunk, RuinsCache& ruins) {
    const ChunkCells cells(chunk);
    const uint8_t chest = lastCustomBlock("core:chest");
    for (int32_t rz = floorDiv(cells.originZ - 8, ruinsRegionSide); rz <= floorDiv(cells.originZ + 23, ruinsRegionSide);
         ++rz) {
        for (int32_t rx = floorDiv(cells.originX - 8, ruinsRegionSide);
             rx <= floorDiv(cells.originX + 23, ruinsRegionSide); ++rx) {
            const RuinsSite& site = ruins.site(rx, rz);
            if (site.present) drawRuins(context, cells, site, chest);
        }
    }
}

}  // namespace voxel
