#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace content {

struct CropRule {
    std::string id;
    std::uint8_t seed = 0;
    std::uint8_t soil = 0;
    std::uint8_t yield = 0;
    std::vector<std::uint8_t> stages;
    std::int32_t growTicks = 1800;
    std::int32_t yieldCount = 1;
    std::int32_t seedCount = 1;
};

// Crop rules in sorted path order; a faulty file is skipped with its line in crop_errors.txt
// and leaves its id, seed and stage blocks free. Needs the block and item registry loaded.
std::vector<CropRule> loadCrops(const std::filesystem::path& contentDir);

}  // namespace content
