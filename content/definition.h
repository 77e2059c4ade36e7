#pragma once
// Reading one definition.json into a block or item definition.
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "content/json.h"
#include "world/block_registry.h"

namespace content {

// Most pixels a block or item texture may declare: a thousand tiles' worth. Larger images are
// refused before they are decoded, so a forged header cannot make the game allocate gigabytes.
inline constexpr uint64_t maxTexturePixels = 1024 * 1024;

// Reads and checks every key of a definition in the fixed order of the loader's rules, textures and
// model included; throws the first rule's message. The id is recorded as seen before anything else
// can fail, so a later file with the same id is refused even when this one is.
voxel::BlockDef readDefinition(const std::filesystem::path& file, const Json& json,
                               std::set<std::string>& seenIds);

// The wind and particle fields of a definition whose id, type and behaviour are already read.
void readWorldEffects(voxel::BlockDef& def, const Json& json);

// Refuses a texture that is no PNG, declares more than maxTexturePixels or cannot be decoded to
// its end; the message names the file and the reason.
void checkTextureFile(const std::filesystem::path& file);

}  // namespace content
