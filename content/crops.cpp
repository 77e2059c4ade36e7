#include "content/crops.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "content/json.h"
#include "content/loading_frame.h"
#include "content/resource_ids.h"
#include "content/text.h"
#include "content/whole_number.h"
#include "world/block_registry.h"

namespace content {
namespace {

constexpr std::size_t minStages = 2;
constexpr std::size_t maxStages = 8;

// What accepted crops have claimed; a refused file claims nothing.
struct TakenByCrops {
    std::set<std::string> ids;
    std::set<std::uint8_t> seeds;
    std::set<std::uint8_t> stages;
};

std::uint8_t readResource(const Json& json, const std::string& key) {
    return resourceId(jsonStringOr(Json::find(json, key), ""));
}

std::string readCropId(const Json& json, const TakenByCrops& taken) {
    std::string id = jsonStringOr(Json::find(json, "id"), "");
    if (id.empty() || id.find(':') == std::string::npos || taken.ids.count(id) != 0) {
        throw std::runtime_error("Invalid or duplicate crop id");
    }
    return id;
}

void checkSeedAndSoil(const CropRule& crop, const TakenByCrops& taken) {
    if (taken.seeds.count(crop.seed) != 0 || !voxel::blockDef(crop.soil).solid) {
        throw std::runtime_error("Duplicate seed or invalid soil");
    }
}

// A growing crop is a see-through block that the player walks through.
bool isStageBlock(std::uint8_t block) {
    const voxel::BlockDef& def = voxel::blockDef(block);
    return def.isBlock && !def.solid && !def.opaque;
}

std::vector<std::uint8_t> readStages(const Json& json, const TakenByCrops& taken) {
    const Json& list = Json::find(json, "stages");
    std::vector<std::uint8_t> stages;
    if (list.tag == JsonArray) {
        for (const Json& element : list.items) {
            std::uint8_t block = resourceId(jsonStringOr(element, ""));
            bool repeated = std::find(stages.begin(), stages.end(), block) != stages.end();
            if (!isStageBlock(block) || taken.stages.count(block) != 0 || repeated) {
                throw std::runtime_error("Crop stages must be unique non-solid, non-opaque blocks");
            }
            stages.push_back(block);
        }
    }
    if (stages.size() < minStages || stages.size() > maxStages) {
        throw std::runtime_error("Crop needs 2..8 stages");
    }
    return stages;
}

std::int32_t readGrowTicks(const Json& json) {
    double ticks = Json::numberOr(Json::find(json, "grow_ticks"), 1800.0);
    if (!isWholeNumberIn(ticks, 20.0, 72000.0)) {
        throw std::runtime_error("grow_ticks must be 20..72000");
    }
    return truncateToInt32(ticks);
}

CropRule readCrop(const Json& json, const TakenByCrops& taken) {
    CropRule crop;
    crop.id = readCropId(json, taken);
    crop.seed = readResource(json, "seed");
    crop.soil = readResource(json, "soil");
    crop.yield = readResource(json, "yield");
    checkSeedAndSoil(crop, taken);
    crop.stages = readStages(json, taken);
    crop.growTicks = readGrowTicks(json);
    crop.yieldCount = requireCount(Json::find(json, "yield_count"));
    crop.seedCount = requireCount(Json::find(json, "seed_count"));
    return crop;
}

void claim(TakenByCrops& taken, const CropRule& crop) {
    taken.ids.insert(crop.id);
    taken.seeds.insert(crop.seed);
    taken.stages.insert(crop.stages.begin(), crop.stages.end());
}

}  // namespace

std::vector<CropRule> loadCrops(const std::filesystem::path& contentDir) {
    std::vector<std::filesystem::path> files = findFilesEndingWith(contentDir, ".crop.json");
    ErrorFile errors(contentDir, "crop_errors.txt", false);
    TakenByCrops taken;
    std::vector<CropRule> crops;
    forEachContentFile(files, errors, [&](const std::filesystem::path& file) {
        CropRule crop = readCrop(loadJsonFile(file, ContentFile::Crop), taken);
        claim(taken, crop);
        crops.push_back(std::move(crop));
    });
    return crops;
}

}  // namespace content
