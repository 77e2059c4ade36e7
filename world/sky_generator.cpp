#include "world/sky_generator.h"

#include <algorithm>
#include <cstdlib>

#include "world/block_registry.h"
#include "world/features.h"
#include "world/noise.h"
#include "world/structures.h"
#include "world/terrain_columns.h"

namespace voxel {

namespace {

constexpr uint32_t hollowSalt = 151;
constexpr uint32_t skyTreeSalt = 155;
constexpr int32_t treeGrid = 12;

uint32_t cellHash(int32_t a, int32_t b, int32_t c, uint32_t salted) {
    return mixHash((static_cast<uint32_t>(a) * 0x9E3779B9u) ^ (static_cast<uint32_t>(b) * 0xC2B2AE35u) ^
                   (static_cast<uint32_t>(c) * 0x85EBCA6Bu) ^ salted);
}

// Pockets of air inside the island's stone, in 3-block cells.
bool hollow(uint32_t seed, int32_t x, int32_t y, int32_t z) {
    return unitFromHash(cellHash(floorDiv(x, 3), floorDiv(z, 3), floorDiv(y, 3), seed + hollowSalt)) > 0.88f;
}

uint8_t skyOre(const GenerationContext& context, int32_t x, int32_t y, int32_t z, uint8_t block) {
    for (const OreRule& ore : context.profile->ores) {
        if (ore.replace != block || y < ore.minY || y > ore.maxY) continue;
        const uint32_t h = cellHash(floorDiv(x, 2), floorDiv(z, 2), floorDiv(y, 2), ore.seedSalt + context.seed);
        if (unitFromHash(h) > 1.0f - ore.density) return ore.block;
    }
    return block;
}

uint8_t islandLayer(const BiomeRule* rule, int32_t y, int32_t top) {
    if (y == top) return rule ? rule->surfaceBlock : grassId;
    if (y < top - 2) return stoneId;
    return rule ? rule->soilBlock : dirtId;
}

int32_t islandRadius(const GenerationContext& context) {
    return context.profile ? context.profile->islandRadius : 36;
}

void fillIslandColumn(const GenerationContext& context, const ChunkCells& cells, int32_t x, int32_t z,
                      uint8_t updraft) {
    const SkyIsland island = skyIsland(context, x, z);
    if (island.top < 0) return;
    const BiomeRule* rule = customBiome(context, biomeIndex(context, x, z));
    const bool ores = context.profile && !context.profile->ores.empty();
    for (int32_t y = std::max(island.bottom, 0); y <= std::min(island.top, chunkHeight - 1); ++y) {
        uint8_t block = islandLayer(rule, y, island.top);
        if (y > island.bottom + 2 && y < island.top - 3 && hollow(context.seed, x, y, z)) block = airId;
        if (ores) block = skyOre(context, x, y, z, block);
        cells.at(x, y, z) = block;
    }
    const bool updraftColumn = x == island.centreX - 6 + islandRadius(context) && z == island.centreZ;
    if (updraftColumn && updraft != airId && island.top < chunkHeight - 1) cells.at(x, island.top + 1, z) = updraft;
}

void drawSkyTree(const ChunkCells& cells, const BiomeRule& rule, int32_t x, int32_t z, int32_t top) {
    const int32_t trunk = rule.trunkMinHeight;
    for (int32_t dy = trunk - 2; dy <= trunk + 1; ++dy) {
        const int32_t y = top + dy;
        if (y < 1 || y > 127) continue;
        for (int32_t dz = -2; dz <= 2; ++dz) {
            for (int32_t dx = -2; dx <= 2; ++dx) {
                if (std::abs(dx) + std::abs(dz) < 4) cells.setIfAir(x + dx, y, z + dz, rule.leavesBlock);
            }
        }
    }
    for (int32_t y = top + 1; y <= std::min(top + trunk, 127); ++y) cells.set(x, y, z, rule.logBlock);
}

// Trees grow on sky islands only in custom biomes.
void placeSkyTrees(const GenerationContext& context, const ChunkCells& cells) {
    for (int32_t gz = floorDiv(cells.originZ - 3, treeGrid); gz <= floorDiv(cells.originZ + 18, treeGrid); ++gz) {
        for (int32_t gx = floorDiv(cells.originX - 3, treeGrid); gx <= floorDiv(cells.originX + 18, treeGrid); ++gx) {
            const int32_t x = treeGrid * gx + 4;
            const int32_t z = treeGrid * gz + 4;
            const SkyIsland island = skyIsland(context, x, z);
            if (island.top < 0) continue;
            const BiomeRule* rule = customBiome(context, biomeIndex(context, x, z));
            if (!rule || latticeUnit(gx, gz, context.seed + skyTreeSalt) > rule->treeDensity) continue;
            drawSkyTree(cells, *rule, x, z, island.top);
        }
    }
}

}  // namespace

Chunk generateSkyChunk(const GenerationContext& context, int32_t cx, int32_t cz) {
    Chunk chunk(cx, cz);
    const ChunkCells cells(chunk);
    const uint8_t updraft = findCustomBlock("core:sky_updraft");
    for (int32_t lz = 0; lz < chunkSize; ++lz) {
        for (int32_t lx = 0; lx < chunkSize; ++lx) {
            fillIslandColumn(context, cells, cells.originX + lx, cells.originZ + lz, updraft);
        }
    }
    placeSkyTrees(context, cells);
    placeStructures(context, chunk);
    return chunk;
}

}  // namespace voxel
