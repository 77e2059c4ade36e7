#include "world/noise.h"

#include <algorithm>
#include <cmath>

namespace voxel {

float smoothStep(float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

float valueNoise(float x, float z, uint32_t s) {
    const int32_t ix = static_cast<int32_t>(std::floor(x));
    const int32_t iz = static_cast<int32_t>(std::floor(z));
    const float fx = x - static_cast<float>(ix);
    const float fz = z - static_cast<float>(iz);
    const float sx = fx * fx * (3.0f - 2.0f * fx);
    const float sz = fz * fz * (3.0f - 2.0f * fz);
    const float u00 = latticeUnit(ix, iz, s);
    const float u10 = latticeUnit(ix + 1, iz, s);
    const float u01 = latticeUnit(ix, iz + 1, s);
    const float u11 = latticeUnit(ix + 1, iz + 1, s);
    const float a = u00 + (u10 - u00) * sx;
    const float b = u01 + (u11 - u01) * sx;
    return a * (1.0f - sz) + b * sz;
}

float valueNoise3(float p, float q, float r, uint32_t s) {
    const int32_t ip = static_cast<int32_t>(std::floor(p));
    const int32_t iq = static_cast<int32_t>(std::floor(q));
    const int32_t ir = static_cast<int32_t>(std::floor(r));
    const float sp = smoothStep(p - static_cast<float>(ip));
    const float sq = smoothStep(q - static_cast<float>(iq));
    const float sr = smoothStep(r - static_cast<float>(ir));
    float corner[2][2][2];  // [r][q][p]
    for (uint32_t dr = 0; dr < 2; ++dr) {
        for (uint32_t dq = 0; dq < 2; ++dq) {
            for (uint32_t dp = 0; dp < 2; ++dp) {
                const uint32_t h = ((static_cast<uint32_t>(ip) + dp) * 0x9E3779B9u) ^
                                   ((static_cast<uint32_t>(iq) + dq) * 0x85EBCA6Bu) ^
                                   ((static_cast<uint32_t>(ir) + dr) * 0xC2B2AE35u) ^ s;
                corner[dr][dq][dp] = unitFromHash(mixHash(h));
            }
        }
    }
    float alongQ[2];
    for (uint32_t dr = 0; dr < 2; ++dr) {
        const float low = corner[dr][0][0] + (corner[dr][0][1] - corner[dr][0][0]) * sp;
        const float high = corner[dr][1][0] + (corner[dr][1][1] - corner[dr][1][0]) * sp;
        alongQ[dr] = low + (high - low) * sq;
    }
    return alongQ[0] * (1.0f - sr) + alongQ[1] * sr;
}

uint32_t fnv1a(const std::string& text) {
    uint32_t h = 0x811C9DC5u;
    for (const char c : text) {
        h ^= static_cast<uint8_t>(c);
        h *= 16777619u;
    }
    return h;
}

}  // namespace voxel
