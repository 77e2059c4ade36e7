#pragma once
// The climate, biome and surface height of a column, and the sky islands that stand for the surface
// in the sky terrain. Everything is bit-exact on every machine: heights are f32 truncated to
// integers.
#include <cstdint>
#include <string>

#include "world/generation_profile.h"

namespace voxel {

// Salts added to the seed by the terrain noises.
inline constexpr uint32_t mountainSalt = 101;
inline constexpr uint32_t temperatureSalt = 103;
inline constexpr uint32_t humiditySalt = 107;
inline constexpr uint32_t largeReliefSalt = 109;
inline constexpr uint32_t mediumReliefSalt = 113;
inline constexpr uint32_t fineReliefSalt = 127;
inline constexpr uint32_t ridgeSalt = 131;
inline constexpr uint32_t islandHeightSalt = 139;
inline constexpr uint32_t islandSurfaceSalt = 141;
inline constexpr uint32_t oceanSalt = 701;
inline constexpr uint32_t swampFloorSalt = 709;

// The custom biome rule of a biome index, or null below stage 3, without a profile, or for a
// built-in index.
const BiomeRule* customBiome(const GenerationContext& context, int32_t index);
// The built-in biome an index stands for: a custom biome counts as its base.
int32_t baseBiomeOf(const GenerationContext& context, int32_t index);

int32_t biomeIndex(const GenerationContext& context, int32_t x, int32_t z);
std::string biomeId(const GenerationContext& context, int32_t x, int32_t z);

struct SkyIsland {
    int32_t top = -1;  // -1: open sky
    int32_t bottom = -1;
    int32_t centreX = 0;
    int32_t centreZ = 0;
};
SkyIsland skyIsland(const GenerationContext& context, int32_t x, int32_t z);

int32_t surfaceHeight(const GenerationContext& context, int32_t x, int32_t z);

// Height and biome of one column computed together, sharing the noises both need; generation asks
// for both of nearly every column it touches.
struct ColumnInfo {
    int32_t height = 0;
    int32_t biome = 0;
};
ColumnInfo columnInfo(const GenerationContext& context, int32_t x, int32_t z);

}  // namespace voxel
