#include "save/generation_file.h"

#include <stdexcept>

#include "content/json.h"

namespace filesave {

namespace {

using content::Json;

constexpr const char* kDimensionsMember = "dimensions";

Json generationObject(const voxel::GenerationProfile& profile) {
    Json object = content::parseJsonText(profile.generationText.empty() ? "{}" : profile.generationText);
    if (object.tag != content::JsonObject) {
        object = Json();
        object.tag = content::JsonObject;
    }
    return object;
}

// The stored profile, with the content's named sections when the content still has the dimension.
voxel::ProfilePtr refreshed(const Json& generation, const voxel::GenerationProfile* current) {
    const auto stored = content::readTerrain(generation);
    if (!current) return stored;
    return voxel::ashenDefaults(*voxel::readGenerationSections(*stored, *current), *current);
}

// Takes the "dimensions" member out of the file, so that the rest is the overworld's object.
Json takeDimensions(Json& file) {
    Json stored;
    const auto found = file.members.find(kDimensionsMember);
    if (found == file.members.end()) return stored;
    stored = std::move(found->second);
    file.members.erase(found);
    if (stored.tag != content::JsonObject || stored.members.size() > content::maxDimensions)
        throw std::runtime_error("Invalid stored dimensions");
    return stored;
}

}  // namespace

uint64_t maxGenerationFileBytes() {
    return (content::maxDimensions + 1) * content::fileSizeLimit(content::ContentFile::Dimension);
}

StoredProfiles decodeGenerationFile(const std::string& text, const voxel::GenerationProfile& overworld,
                                    const std::map<std::string, content::DimensionDef>& dimensions) {
    Json file = content::parseJsonText(text, maxGenerationFileBytes() / content::bytesPerJsonValue);
    const Json stored = takeDimensions(file);
    StoredProfiles profiles;
    profiles.overworld = refreshed(file, &overworld);
    for (const auto& [id, generation] : stored.members) {
        if (generation.tag != content::JsonObject) throw std::runtime_error("Invalid stored dimensions");
        const auto found = dimensions.find(id);
        const bool defined = found != dimensions.end() && found->second.profile;
        profiles.dimensions[id] = refreshed(generation, defined ? found->second.profile.get() : nullptr);
    }
    return profiles;
}

std::string encodeGenerationFile(const voxel::GenerationProfile& overworld,
                                 const std::map<std::string, voxel::ProfilePtr>& dimensions) {
    Json file = generationObject(overworld);
    if (!dimensions.empty()) {
        Json& stored = file.members[kDimensionsMember];
        stored.tag = content::JsonObject;
        for (const auto& [id, profile] : dimensions) stored.members[id] = generationObject(*profile);
    }
    return content::writeJson(file);
}

void adoptContentProfiles(std::map<std::string, voxel::ProfilePtr>& stored,
                          const std::map<std::string, content::DimensionDef>& dimensions) {
    for (const auto& [id, def] : dimensions) {
        if (def.profile && stored.size() < content::maxDimensions) stored.try_emplace(id, def.profile);
    }
}

}  // namespace filesave
