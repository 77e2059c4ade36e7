#pragma once
// The lattice hash every random choice of world generation uses and the value noise built on it.
// Everything is bit-exact on every machine: hashes are unsigned 32-bit with wrap-around, noise is
// f32 with no fused multiply-add.
#include <cstdint>
#include <string>

namespace voxel {

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

}  // namespace voxel
