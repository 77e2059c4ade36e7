#pragma once
// Generation contexts and profiles for the generation and noise tests.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "world/generation_profile.h"

namespace worldtest {

inline voxel::GenerationContext contextOf(uint32_t seed, int32_t stage,
                                          std::shared_ptr<voxel::GenerationProfile> profile = nullptr) {
    voxel::GenerationContext context;
    context.seed = seed;
    context.stage = stage;
    context.profile = std::move(profile);
    return context;
}

// A profile that changes only the terrain kind ("ashen", "frozen", "sky").
inline std::shared_ptr<voxel::GenerationProfile> terrainProfile(const std::string& kind) {
    auto profile = std::make_shared<voxel::GenerationProfile>();
    profile->terrain = kind;
    return profile;
}

}  // namespace worldtest
