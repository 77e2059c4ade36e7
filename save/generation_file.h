#pragma once
// generation.json: the profiles a world was created with. The file is the overworld's generation
// object; its "dimensions" member holds each other dimension's generation object by dimension id.
// A file written before the member existed holds the overworld's alone.
#include <map>
#include <string>

#include "content/dimensions.h"
#include "world/generation_profile.h"

namespace filesave {

struct StoredProfiles {
    voxel::ProfilePtr overworld;
    std::map<std::string, voxel::ProfilePtr> dimensions;  // at most content::maxDimensions
};

// The overworld's object and the objects of at most content::maxDimensions others, each no larger
// written compactly than the largest dimension file that holds it.
uint64_t maxGenerationFileBytes();

// Reads the file, each profile brought up to the content's of its dimension (`overworld` for the
// overworld); a dimension the content no longer defines keeps its stored profile as it is. Throws
// std::runtime_error for a text that is no such file or holds more JSON values than a file of
// maxGenerationFileBytes may.
StoredProfiles decodeGenerationFile(const std::string& text, const voxel::GenerationProfile& overworld,
                                    const std::map<std::string, content::DimensionDef>& dimensions);

// A profile built in code has no text: it stands for an empty generation object.
std::string encodeGenerationFile(const voxel::GenerationProfile& overworld,
                                 const std::map<std::string, voxel::ProfilePtr>& dimensions);

// Each dimension of the content that the world has no profile for takes the content's, while the
// world holds fewer than content::maxDimensions: from now on it is the world's own.
void adoptContentProfiles(std::map<std::string, voxel::ProfilePtr>& stored,
                          const std::map<std::string, content::DimensionDef>& dimensions);

}  // namespace filesave
