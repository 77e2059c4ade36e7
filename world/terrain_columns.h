#pragma once
// The lattice hash every random choice of world generation uses, the value noise built on it, the
// biome of a column and the surface height. Everything is bit-exact on every machine: hashes are
// unsigned 32-bit with wrap-around, noise and heights are f32 truncated to integers.
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

// The final avalanche of every hash.
constexpr uint32_t mixHash(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// A hash scaled to [0, 1] (1 only through rounding of the largest hashes).
inline float unitFromHash(uint32_t h) {
    return static_cast<float>(h) * 2.3283064e-10f;
}

constexpr uint32_t latticeHash(int32_t ix, int32_t iz, uint32_t s) {
    return mixHash((static_cast<uint32_t>(iz) * 0x85EBCA6Bu) ^ (static_cast<uint32_t>(ix) * 0x9E3779B9u) ^ s);
}

// U(ix, iz, s): the unit value of the lattice hash.
inline float latticeUnit(int32_t ix, int32_t iz, uint32_t s) {
    return unitFromHash(latticeHash(ix, iz, s));
}

// S(t) with t clamped to 0..1 first.
float smoothStep(float t);

// 2D value noise in [0, 1].
float valueNoise(float x, float z, uint32_t s);
// 3D value noise in [0, 1], interpolated over p, then q, then r.
float valueNoise3(float p, float q, float r, uint32_t s);

// FNV-1a 32 of the bytes of text; names salt the hashes of biomes and structures.
uint32_t fnv1a(const std::string& text);

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
