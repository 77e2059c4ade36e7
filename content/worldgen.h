#pragma once
// The biome and structure files (`*.biome.json`, `*.structure.json`) that make up the default
// world generation, gathered into one generation object and read into a profile.
#include <filesystem>
#include <memory>

#include "world/generation_profile.h"

namespace content {

inline constexpr std::size_t maxWorldgenBiomes = 28;
inline constexpr std::size_t maxWorldgenStructures = 64;

// Faulty files are left out with their line in "worldgen_errors.txt"; a fault of the combined
// object is not handled per file and ends the load.
std::shared_ptr<voxel::GenerationProfile> loadWorldgen(const std::filesystem::path& contentDir);

}  // namespace content
