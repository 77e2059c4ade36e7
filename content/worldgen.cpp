#include "content/worldgen.h"

#include <set>
#include <stdexcept>
#include <string>

#include "content/dimensions.h"
#include "content/dungeons.h"
#include "content/json.h"
#include "content/loading_frame.h"
#include "content/text.h"

namespace content {
namespace {

const std::string biomeSuffix = ".biome.json";
const std::string structureSuffix = ".structure.json";

Json emptyArray() {
    Json list;
    list.tag = JsonArray;
    return list;
}

Json emptyGenerationObject() {
    Json generation;
    generation.tag = JsonObject;
    generation.members["biomes"] = emptyArray();
    generation.members["structures"] = emptyArray();
    return generation;
}

// The ids accepted so far of one kind, with their limit and refusal.
struct AcceptedIds {
    std::set<std::string> ids;
    std::size_t limit;
    const char* refusal;

    void accept(const std::string& id) {
        if (ids.count(id) != 0 || ids.size() >= limit) throw std::runtime_error(refusal);
        ids.insert(id);
    }
};

}  // namespace

std::shared_ptr<voxel::GenerationProfile> loadWorldgen(const std::filesystem::path& contentDir) {
    Json generation = emptyGenerationObject();
    const std::vector<std::filesystem::path> files =
        findContentFiles(contentDir, [](const std::string& name) {
            return endsWith(name, biomeSuffix) || endsWith(name, structureSuffix);
        });
    ErrorFile errors(contentDir, "worldgen_errors.txt", false);
    AcceptedIds biomes{{}, maxWorldgenBiomes, "Duplicate biome or limit of 28 exceeded"};
    AcceptedIds structures{{}, maxWorldgenStructures, "Duplicate structure or limit of 64 exceeded"};
    forEachContentFile(files, errors, [&](const std::filesystem::path& file) {
        const bool isBiome = endsWith(file.filename().string(), biomeSuffix);
        Json value = loadJsonFile(file, isBiome ? ContentFile::Biome : ContentFile::Structure);
        const Json& only = Json::find(value, "dimension_only");
        if (only.tag == JsonBool && only.boolean) return;
        if (isBiome) {
            biomes.accept(voxel::loadBiomes(value).id);
        } else {
            structures.accept(loadDungeons(value).id);
        }
        generation.members[isBiome ? "biomes" : "structures"].items.push_back(std::move(value));
    });
    return readTerrain(generation);
}

}  // namespace content
