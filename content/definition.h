#pragma once
// Reading one definition.json into a block definition.
#include <filesystem>
#include <set>
#include <string>

#include "content/json.h"
#include "world/block_registry.h"

namespace content {

// Reads the definition's resource id and display name. The id must have the namespace:name form
// and must not have been seen in this load (it is recorded as seen before anything else can fail).
voxel::BlockDef readDefinition(const std::filesystem::path& file, const Json& json,
                               std::set<std::string>& seenIds);

}  // namespace content
