#include "world/terrain_columns.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "world/chunk.h"
#include "world/noise.h"

namespace voxel {

namespace {

constexpr std::array<const char*, 6> builtinBiomeIds = {"core:plains", "core:forest",    "core:desert",
                                                        "core:mountains", "core:ocean", "core:swamp"};

// Biomes 32 and 33 sit after the four built-in land biomes in the id table.
const char* builtinBiomeIdOf(int32_t index) {
    if (index >= 0 && index < 4) return builtinBiomeIds[static_cast<std::size_t>(index)];
    if (index == oceanBiome) return builtinBiomeIds[4];
    if (index == swampBiome) return builtinBiomeIds[5];
    return builtinBiomeIds[0];
}

bool isTerrain(const GenerationContext& context, const char* kind) {
    return context.profile && context.profile->terrain == kind;
}

// Oceans appear at stage 4 except in the ashen and sky terrains.
bool oceansPossible(const GenerationContext& context) {
    return context.stage >= 4 && !isTerrain(context, "ashen") && !isTerrain(context, "sky");
}

// The climate noises that both the biome choice and the surface height read.
struct Climate {
    float mountains = 0.0f;
    float temperature = 0.0f;
    float humidity = 0.0f;
    float ocean = 0.0f;  // only at stage 4
};

Climate climateAt(const GenerationContext& context, float x, float z) {
    const uint32_t seed = context.seed;
    Climate climate;
    climate.mountains = valueNoise(x / 235.0f, z / 235.0f, seed + mountainSalt);
    climate.temperature = valueNoise(x / 310.0f, z / 310.0f, seed + temperatureSalt);
    climate.humidity = valueNoise(x / 260.0f, z / 260.0f, seed + humiditySalt);
    if (context.stage >= 4) climate.ocean = valueNoise(x / 600.0f, z / 600.0f, seed + oceanSalt);
    return climate;
}

int32_t builtinLandBiome(int32_t stage, const Climate& climate) {
    const float m = climate.mountains;
    const float t = climate.temperature;
    const float w = climate.humidity;
    if (stage >= 4 && w > 0.6f && m < 0.62f) return swampBiome;
    if (m > 0.64f) return mountainsBiome;
    if (t > 0.53f && w < 0.47f) return desertBiome;
    if (w > 0.52f) return forestBiome;
    return plainsBiome;
}

bool climateFits(const BiomeRule& rule, const Climate& climate) {
    return climate.temperature >= rule.temperatureMin && climate.temperature <= rule.temperatureMax &&
           climate.humidity >= rule.humidityMin && climate.humidity <= rule.humidityMax;
}

// The first custom biome whose climate range holds the column and whose regional draw succeeds;
// -1 when none does.
int32_t customBiomeAt(const GenerationContext& context, int32_t x, int32_t z, const Climate& climate, bool ocean) {
    const bool oceanSplit = oceansPossible(context);
    const int32_t rx = floorDiv(x, 192);
    const int32_t rz = floorDiv(z, 192);
    const auto& biomes = context.profile->biomes;
    for (std::size_t k = 0; k < biomes.size(); ++k) {
        const BiomeRule& rule = biomes[k];
        if (oceanSplit && (rule.base == static_cast<uint32_t>(oceanBiome)) != ocean) continue;
        if (!climateFits(rule, climate)) continue;
        if (rule.chance > latticeUnit(rx, rz, context.seed + fnv1a(rule.id))) {
            return firstCustomBiome + static_cast<int32_t>(k);
        }
    }
    return -1;
}

int32_t biomeFromClimate(const GenerationContext& context, int32_t x, int32_t z, const Climate& climate) {
    const bool ocean = oceansPossible(context) && climate.ocean < 0.38f;
    if (!ocean && context.stage < 3) return builtinLandBiome(context.stage, climate);
    if (context.profile && !context.profile->biomes.empty()) {
        const int32_t custom = customBiomeAt(context, x, z, climate, ocean);
        if (custom >= 0) return custom;
    }
    return ocean ? oceanBiome : builtinLandBiome(context.stage, climate);
}

// The relief noises of the surface height.
struct Relief {
    float large = 0.0f;
    float medium = 0.0f;
    float fine = 0.0f;
    float ridge = 0.0f;
};

Relief reliefAt(uint32_t seed, float x, float z) {
    Relief relief;
    relief.large = valueNoise(x / 180.0f, z / 180.0f, seed + largeReliefSalt);
    relief.medium = valueNoise(x / 53.0f, z / 53.0f, seed + mediumReliefSalt);
    relief.fine = valueNoise(x / 18.0f, z / 18.0f, seed + fineReliefSalt);
    const float r = valueNoise(x / 65.0f, z / 65.0f, seed + ridgeSalt);
    relief.ridge = 1.0f - std::fabs(2.0f * r - 1.0f);
    return relief;
}

int32_t ashenHeight(const Relief& relief) {
    const float h = relief.large * 18.0f + 54.0f + relief.medium * 12.0f + relief.fine * 6.0f + relief.ridge * 20.0f;
    return std::clamp(static_cast<int32_t>(h), 54, 112);
}

float hillsOf(const Relief& relief) {
    return relief.medium * 10.0f + (relief.large * 20.0f + 43.0f) + relief.fine * 3.0f;
}

// Distance of a column from the border of its 192-block biome region, in 24-block steps.
float regionEdge(int32_t x, int32_t z) {
    const int32_t lx = x - 192 * floorDiv(x, 192);
    const int32_t lz = z - 192 * floorDiv(z, 192);
    const int32_t edge = std::min(std::min(lx, 191 - lx), std::min(lz, 191 - lz));
    return static_cast<float>(edge) / 24.0f;
}

float climateMargin(const BiomeRule& rule, const Climate& climate) {
    const float t = climate.temperature;
    const float w = climate.humidity;
    return std::min(std::min(t - rule.temperatureMin, rule.temperatureMax - t),
                    std::min(w - rule.humidityMin, rule.humidityMax - w));
}

// A custom biome pulls the height towards its own shape inside its region and climate range.
float blendCustomBiome(const BiomeRule& rule, int32_t x, int32_t z, const Climate& climate, const Relief& relief,
                       float h) {
    const float hills = hillsOf(relief);
    float target = hills;
    if (rule.base == static_cast<uint32_t>(mountainsBiome)) {
        target = relief.ridge * 30.0f + 20.0f + hills;
    } else if (rule.base == static_cast<uint32_t>(desertBiome)) {
        target = relief.medium * 6.0f + (relief.large * 20.0f + 43.0f) + 2.0f * relief.fine;
    }
    const float offset = static_cast<float>(rule.heightOffset);
    return smoothStep(regionEdge(x, z)) * (offset + target - h) * smoothStep(climateMargin(rule, climate) / 0.04f) + h;
}

float swampWeight(const Climate& climate) {
    return (1.0f - smoothStep((climate.mountains - 0.55f) / 0.06999999f)) *
           smoothStep((climate.humidity - 0.6f) / 0.060000002f) * smoothStep((climate.ocean - 0.4f) / 0.07999998f);
}

// The stage-4 rules: sea floors, swamp flats and the custom ocean floors.
float applyStageFour(const GenerationContext& context, float x, float z, int32_t biome, const Climate& climate,
                     const Relief& relief, float h) {
    const float floorLevel = relief.large * 12.0f + 22.0f + relief.medium * 4.0f + 2.0f * relief.fine;
    h = smoothStep((climate.ocean - 0.25f) / 0.24000001f) * (h - floorLevel) + floorLevel;
    const BiomeRule* rule = customBiome(context, biome);
    const int32_t index = rule ? static_cast<int32_t>(rule->base) : biome;
    const float offset = rule ? static_cast<float>(rule->heightOffset) : 0.0f;
    if (index == swampBiome) {
        const float k = rule ? 1.0f : swampWeight(climate);
        const float swampFloor = valueNoise(x / 28.0f, z / 28.0f, context.seed + swampFloorSalt) * 5.0f + 46.0f + relief.fine;
        return (offset + swampFloor - h) * k + h;
    }
    if (rule && rule->base == static_cast<uint32_t>(oceanBiome)) {
        return std::min(relief.large * 10.0f + 32.0f + relief.medium * 4.0f + offset, h);
    }
    return h;
}

int32_t landHeight(const GenerationContext& context, int32_t x, int32_t z, int32_t biome, const Climate& climate) {
    const float fx = static_cast<float>(x);
    const float fz = static_cast<float>(z);
    const Relief relief = reliefAt(context.seed, fx, fz);
    if (isTerrain(context, "ashen")) return ashenHeight(relief);
    float h = smoothStep((climate.mountains - 0.55f) / 0.3f) * (relief.ridge * 38.0f + 20.0f) + hillsOf(relief);
    if (const BiomeRule* rule = customBiome(context, biome)) {
        h = blendCustomBiome(*rule, x, z, climate, relief, h);
    }
    if (context.stage >= 4) h = applyStageFour(context, fx, fz, biome, climate, relief, h);
    return std::clamp(static_cast<int32_t>(h), 10, 116);
}

struct IslandShape {
    int32_t spacing = 128;
    int32_t radius = 36;
    int32_t minY = 64;
    int32_t maxY = 92;
};

IslandShape islandShapeOf(const GenerationContext& context) {
    if (!context.profile) return {};
    const GenerationProfile& p = *context.profile;
    return {p.islandSpacing, p.islandRadius, p.islandMinY, p.islandMaxY};
}

}  // namespace

const BiomeRule* customBiome(const GenerationContext& context, int32_t index) {
    if (context.stage < 3 || !context.profile || index < firstCustomBiome) return nullptr;
    const auto k = static_cast<std::size_t>(index - firstCustomBiome);
    if (k >= context.profile->biomes.size()) return nullptr;
    return &context.profile->biomes[k];
}

int32_t baseBiomeOf(const GenerationContext& context, int32_t index) {
    const BiomeRule* rule = customBiome(context, index);
    return rule ? static_cast<int32_t>(rule->base) : index;
}

int32_t biomeIndex(const GenerationContext& context, int32_t x, int32_t z) {
    return biomeFromClimate(context, x, z, climateAt(context, static_cast<float>(x), static_cast<float>(z)));
}

std::string biomeId(const GenerationContext& context, int32_t x, int32_t z) {
    const int32_t index = biomeIndex(context, x, z);
    if (const BiomeRule* rule = customBiome(context, index)) return rule->id;
    return builtinBiomeIdOf(index);
}

SkyIsland skyIsland(const GenerationContext& context, int32_t x, int32_t z) {
    const IslandShape shape = islandShapeOf(context);
    const int32_t p = shape.spacing;
    const double radius = static_cast<double>(shape.radius);
    const int32_t gx = floorDiv(x, p);
    const int32_t gz = floorDiv(z, p);
    const int32_t bump = static_cast<int32_t>(
        3.0f * valueNoise(static_cast<float>(x) / 18.0f, static_cast<float>(z) / 18.0f, context.seed + islandSurfaceSalt));
    SkyIsland best;
    for (int32_t iz = gz - 1; iz <= gz + 1; ++iz) {
        for (int32_t ix = gx - 1; ix <= gx + 1; ++ix) {
            const bool origin = ix == 0 && iz == 0;
            const int32_t centreX = origin ? 8 : ix * p + p / 2;
            const int32_t centreZ = origin ? 8 : iz * p + p / 2;
            const double d = std::hypot(static_cast<double>(x - centreX), static_cast<double>(z - centreZ));
            if (d > radius) continue;
            const float draw = latticeUnit(ix, iz, context.seed + islandHeightSalt);
            const int32_t base = static_cast<int32_t>(draw * static_cast<float>(shape.maxY - shape.minY + 1)) + shape.minY;
            const int32_t top = std::min(base, shape.maxY) + bump;
            if (top <= best.top) continue;
            const double thickness = std::sqrt(std::max(1.0 - d * d / (radius * radius), 0.0)) * 17.0;
            best = {top, top - static_cast<int32_t>(thickness) - 3, centreX, centreZ};
        }
    }
    return best;
}

int32_t surfaceHeight(const GenerationContext& context, int32_t x, int32_t z) {
    if (isTerrain(context, "sky")) return skyIsland(context, x, z).top;
    const Climate climate = climateAt(context, static_cast<float>(x), static_cast<float>(z));
    return landHeight(context, x, z, biomeFromClimate(context, x, z, climate), climate);
}

ColumnInfo columnInfo(const GenerationContext& context, int32_t x, int32_t z) {
    const Climate climate = climateAt(context, static_cast<float>(x), static_cast<float>(z));
    ColumnInfo info;
    info.biome = biomeFromClimate(context, x, z, climate);
    info.height = isTerrain(context, "sky") ? skyIsland(context, x, z).top : landHeight(context, x, z, info.biome, climate);
    return info;
}

}  // namespace voxel
