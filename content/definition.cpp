#include "content/definition.h"

#include <stdexcept>

namespace content {

voxel::BlockDef readDefinition([[maybe_unused]] const std::filesystem::path& file, const Json& json,
                               std::set<std::string>& seenIds) {
    const std::string id = jsonStringOr(Json::find(json, "id"), "");
    if (id.empty() || id.find(':') == std::string::npos)
        throw std::runtime_error("id must have namespace:name format");
    if (!seenIds.insert(id).second) throw std::runtime_error("Duplicate resource id: " + id);
    voxel::BlockDef def;
    def.id = id;
    def.name = jsonStringOr(Json::find(json, "name"), id);
    def.available = true;
    return def;
}

}  // namespace content
