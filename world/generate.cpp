#include "world/generate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "world/block_registry.h"
#include "world/city.h"
#include "world/features.h"
#include "world/noise.h"
#include "world/sky_generator.h"
#include "world/structures.h"
#include "world/terrain_columns.h"

namespace voxel {

namespace {

constexpr uint32_t caveSalt = 211;
constexpr uint32_t shaftXSalt = 223;
constexpr uint32_t shaftZSalt = 227;
constexpr uint32_t shaftSalt = 229;
constexpr uint32_t plantSalt = 401;
constexpr uint32_t plantHeightSalt = 403;
constexpr uint32_t stageOneDetailSalt = 17;
constexpr int32_t shaftRegionSide = 64;
// Cities are listed around the chunk centre out to this distance (plus their half side).
constexpr int32_t cityListReach = 56;

// Cave noise sampled every 4 blocks across the chunk and interpolated per cell.
class CaveGrid {
   public:
    CaveGrid(uint32_t seed, int32_t cx, int32_t cz) {
        for (int32_t a = 0; a < 5; ++a) {
            for (int32_t b = 0; b < 33; ++b) {
                for (int32_t k = 0; k < 5; ++k) {
                    values_[a][b][k] = valueNoise3(static_cast<float>(16 * cx + 4 * k) / 23.0f,
                                                   static_cast<float>(4 * b) / 17.0f,
                                                   static_cast<float>(16 * cz + 4 * a) / 23.0f, seed + caveSalt);
                }
            }
        }
    }

    // The column's samples at the grid levels, interpolated over x, then z; cells then interpolate
    // between two levels, so the per-cell work is one step.
    void column(int32_t lx, int32_t lz, float (&levels)[33]) const {
        const int32_t k = lx >> 2;
        const int32_t a = lz >> 2;
        const float fx = static_cast<float>(lx & 3) * 0.25f;
        const float fz = static_cast<float>(lz & 3) * 0.25f;
        for (int32_t b = 0; b < 33; ++b) {
            const float near = lerpX(a, b, k, fx);
            const float far = lerpX(a + 1, b, k, fx);
            levels[b] = near + (far - near) * fz;
        }
    }

    static float at(const float (&levels)[33], int32_t y) {
        const int32_t b = y >> 2;
        const float fy = static_cast<float>(y & 3) * 0.25f;
        return levels[b] + (levels[b + 1] - levels[b]) * fy;
    }

   private:
    float lerpX(int32_t a, int32_t b, int32_t k, float fx) const {
        return values_[a][b][k] + (values_[a][b][k + 1] - values_[a][b][k]) * fx;
    }

    float values_[5][33][5];  // [z][y][x]
};

struct PlantBlocks {
    uint8_t tallGrass = findCustomBlock("core:tall_grass");
    uint8_t flower = findCustomBlock("core:flower");
    uint8_t cactus = findCustomBlock("core:cactus");
    uint8_t frostIce = findCustomBlock("core:frost_ice");
};

// Everything one column of the terrain pass needs, worked out once.
struct Column {
    int32_t x = 0;
    int32_t z = 0;
    int32_t lx = 0;
    int32_t lz = 0;
    int32_t height = 0;
    int32_t biome = 0;
    const BiomeRule* rule = nullptr;
    bool shaft = false;
    int32_t shaftX = 0;
    int32_t shaftZ = 0;
    float caveLevels[33];
};

bool isTerrain(const GenerationContext& context, const char* kind) {
    return context.profile && context.profile->terrain == kind;
}

// The profile ore that replaces the block at (x, y, z), or the block itself.
uint8_t profileOre(const GenerationContext& context, int32_t x, int32_t y, int32_t z, uint8_t block) {
    const uint32_t hx = static_cast<uint32_t>(floorDiv(x, 2));
    const uint32_t hz = static_cast<uint32_t>(floorDiv(z, 2));
    const uint32_t hy = static_cast<uint32_t>(y / 2);
    const uint32_t spread = ((hz * 1925409571u) - hy * 0xCCF9476Fu) ^ (hy * 0x81AF1549u + hx * 0xDE0497BDu);
    for (const OreRule& ore : context.profile->ores) {
        if (ore.replace != block || y < ore.minY || y > ore.maxY) continue;
        if (unitFromHash(mixHash(spread ^ (ore.seedSalt + context.seed))) > 1.0f - ore.density) return ore.block;
    }
    return block;
}

class TerrainPass {
   public:
    TerrainPass(const GenerationContext& context, Chunk& chunk, RuinsCache& ruins)
        : context_(context),
          chunk_(chunk),
          ruins_(ruins),
          caves_(context.seed, chunk.cx, chunk.cz),
          ashen_(isTerrain(context, "ashen")),
          frozen_(isTerrain(context, "frozen")),
          profileOres_(context.profile && !context.profile->ores.empty()) {}

    void run() {
        for (int32_t lz = 0; lz < chunkSize; ++lz) {
            for (int32_t lx = 0; lx < chunkSize; ++lx) {
                const Column column = describe(lx, lz);
                fillGround(column);
                fillWater(column);
                growPlants(column);
            }
        }
    }

   private:
    Column describe(int32_t lx, int32_t lz) const {
        Column c;
        c.lx = lx;
        c.lz = lz;
        c.x = chunk_.cx * chunkSize + lx;
        c.z = chunk_.cz * chunkSize + lz;
        const ColumnInfo info = columnInfo(context_, c.x, c.z);
        c.height = info.height;
        c.biome = info.biome;
        c.rule = customBiome(context_, info.biome);
        const int32_t rx = floorDiv(c.x, shaftRegionSide);
        const int32_t rz = floorDiv(c.z, shaftRegionSide);
        const uint32_t seed = context_.seed;
        c.shaft = latticeUnit(rx, rz, seed + shaftSalt) > 0.57f && c.height >= 52;
        if (c.shaft) {
            c.shaftX = shaftRegionSide * rx + static_cast<int32_t>(48.0f * latticeUnit(rx, rz, seed + shaftXSalt)) + 8;
            c.shaftZ = shaftRegionSide * rz + static_cast<int32_t>(48.0f * latticeUnit(rx, rz, seed + shaftZSalt)) + 8;
        }
        caves_.column(lx, lz, c.caveLevels);
        return c;
    }

    uint8_t surfaceBlock(const Column& c) const {
        if (c.rule) return c.rule->surfaceBlock;
        if (c.biome == oceanBiome || c.biome == desertBiome || (context_.stage >= 4 && c.height < seaLevel)) {
            return sandId;
        }
        if (c.biome == mountainsBiome && c.height >= 86) return stoneId;
        return grassId;
    }

    uint8_t layerBlock(const Column& c, int32_t y) const {
        if (y == 0) return bedrockId;
        if (y == c.height) return surfaceBlock(c);
        if (y < c.height - 3) return ashen_ && c.rule ? c.rule->soilBlock : stoneId;
        if (c.rule) return c.rule->soilBlock;
        return c.biome == desertBiome ? sandId : dirtId;
    }

    bool carved(const Column& c, int32_t y) const {
        if (y <= 6) return false;
        if (y < c.height - 4 && std::fabs(CaveGrid::at(c.caveLevels, y) - 0.5f) < 0.065f) return true;
        return c.shaft && y > c.height - 22 && std::abs(c.x - (c.height - y) / 5 - c.shaftX) < 3 &&
               std::abs(c.z - c.shaftZ) < 3;
    }

    bool holdsOre(const Column& c, uint8_t block) const {
        return block == stoneId || (ashen_ && c.rule && block == c.rule->soilBlock);
    }

    void fillGround(const Column& c) const {
        const int32_t top = std::min(c.height, chunkHeight - 1);
        for (int32_t y = 0; y <= top; ++y) {
            uint8_t block = layerBlock(c, y);
            if (carved(c, y)) {
                block = airId;
            } else if (holdsOre(c, block)) {
                block = builtinOre(context_.seed, c.x, y, c.z, block, 58);
            }
            if (profileOres_ && y < c.height - 3) block = profileOre(context_, c.x, y, c.z, block);
            cell(c, y) = block;
        }
    }

    void fillWater(const Column& c) const {
        for (int32_t y = c.height + 1; y <= seaLevel; ++y) cell(c, y) = waterId;
        if (frozen_ && c.height < seaLevel) cell(c, seaLevel) = plants_.frostIce;
    }

    void growPlants(const Column& c) {
        if (c.height < 49 || cell(c, c.height) == airId || ruins_.near(c.x, c.z)) return;
        const float u = latticeUnit(c.x, c.z, context_.seed + plantSalt);
        if (c.rule) {
            growRulePlant(c, u);
        } else {
            growBuiltinPlant(c, u);
        }
    }

    void growBuiltinPlant(const Column& c, float u) const {
        const bool grassy = c.biome == plainsBiome || c.biome == forestBiome || c.biome == swampBiome;
        if (grassy && cell(c, c.height) == grassId && c.height <= 126) {
            if (u > 0.965f && plants_.flower != airId) {
                cell(c, c.height + 1) = plants_.flower;
            } else if (u > 0.73f && plants_.tallGrass != airId) {
                cell(c, c.height + 1) = plants_.tallGrass;
            }
        } else if (c.biome == desertBiome && u > 0.984f && plants_.cactus != airId) {
            const float draw = latticeUnit(c.x, c.z, context_.seed + plantHeightSalt);
            const int32_t n = 2 + static_cast<int32_t>(2.0f * draw);
            for (int32_t y = c.height + 1; y <= std::min(c.height + n, chunkHeight - 1); ++y) cell(c, y) = plants_.cactus;
        }
    }

    void growRulePlant(const Column& c, float u) const {
        float sum = 0.0f;
        for (const PlantRule& plant : c.rule->plants) {
            sum += plant.chance;
            if (!(sum > u)) continue;
            const float draw = latticeUnit(c.x, c.z, context_.seed + plantHeightSalt);
            const int32_t span = plant.maxHeight - plant.minHeight + 1;
            const int32_t n = std::min(plant.maxHeight, plant.minHeight + static_cast<int32_t>(static_cast<float>(span) * draw));
            for (int32_t y = c.height + 1; y <= std::min(c.height + n, chunkHeight - 1); ++y) {
                if (cell(c, y) == airId) cell(c, y) = plant.block;
            }
            return;
        }
    }

    uint8_t& cell(const Column& c, int32_t y) const {
        return chunk_.cells[cellIndex(static_cast<uint32_t>(c.lx), static_cast<uint32_t>(y), static_cast<uint32_t>(c.lz))];
    }

    const GenerationContext& context_;
    Chunk& chunk_;
    RuinsCache& ruins_;
    const CaveGrid caves_;
    const PlantBlocks plants_;
    const bool ashen_;
    const bool frozen_;
    const bool profileOres_;
};

void placeCities(const GenerationContext& context, Chunk& chunk) {
    const int32_t centreX = chunk.cx * chunkSize + 8;
    const int32_t centreZ = chunk.cz * chunkSize + 8;
    for (const CitySite& site : nearbyCitySites(context, centreX, centreZ, cityListReach)) {
        buildCity(context, chunk, site);
    }
}

int32_t stageOneHeight(uint32_t seed, int32_t x, int32_t z) {
    const float fx = static_cast<float>(x);
    const float fz = static_cast<float>(z);
    const float h = valueNoise(fx / 13.0f, fz / 13.0f, seed + stageOneDetailSalt) * 7.0f +
                    (valueNoise(fx / 56.0f, fz / 56.0f, seed) * 28.0f + 34.0f);
    return std::clamp(static_cast<int32_t>(h), 2, chunkHeight - 1);
}

uint8_t stageOneBlock(uint32_t seed, int32_t x, int32_t y, int32_t z, int32_t h) {
    if (y == 0) return bedrockId;
    if (y == h) return grassId;
    if (y >= h - 3) return dirtId;
    return builtinOre(seed, x, y, z, stoneId, 52);
}

}  // namespace

Chunk generateStageOneChunk(const GenerationContext& context, int32_t cx, int32_t cz) {
    Chunk chunk(cx, cz);
    for (int32_t lz = 0; lz < chunkSize; ++lz) {
        for (int32_t lx = 0; lx < chunkSize; ++lx) {
            const int32_t x = cx * chunkSize + lx;
            const int32_t z = cz * chunkSize + lz;
            const int32_t h = stageOneHeight(context.seed, x, z);
            for (int32_t y = 0; y <= h; ++y) {
                chunk.cells[cellIndex(static_cast<uint32_t>(lx), static_cast<uint32_t>(y), static_cast<uint32_t>(lz))] =
                    stageOneBlock(context.seed, x, y, z, h);
            }
        }
    }
    return chunk;
}

Chunk generateChunk(const GenerationContext& context, int32_t cx, int32_t cz) {
    if (isTerrain(context, "sky")) return generateSkyChunk(context, cx, cz);
    if (context.stage <= 1) return generateStageOneChunk(context, cx, cz);
    Chunk chunk(cx, cz);
    RuinsCache ruins(context);
    TerrainPass(context, chunk, ruins).run();
    placeTrees(context, chunk, ruins);
    placeRuins(context, chunk, ruins);
    placeStructures(context, chunk);
    if (context.stage >= 3) placeCities(context, chunk);
    return chunk;
}

}  // namespace voxel
