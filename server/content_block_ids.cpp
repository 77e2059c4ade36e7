#include "server/content_block_ids.h"

#include <algorithm>
#include <exception>

#include "content/json.h"
#include "content/loading_frame.h"
#include "content/resource_ids.h"
#include "world/block_registry.h"

namespace net {

uint8_t highestBlockId(const std::filesystem::path& contentFolder, const std::filesystem::path& idsFile) {
    content::ResourceIds ids = content::readContentIds(idsFile);
    int32_t highest = static_cast<int32_t>(voxel::builtinBlockCount) - 1;
    for (const auto& entry : ids.ids) highest = std::max(highest, entry.second);
    for (const std::filesystem::path& file : content::findFilesNamed(contentFolder, "definition.json")) {
        std::string contentId;
        try {
            contentId = content::jsonStringOr(content::Json::find(content::loadJsonFile(file, content::ContentFile::Definition), "id"), "");
        } catch (const std::exception&) {
        }
        // An unreadable definition still takes the next id in the worst case.
        if (contentId.empty()) contentId = "?" + file.generic_string();
        try {
            highest = std::max(highest, content::assignResourceId(ids, contentId));
        } catch (const std::exception&) {
            return 255;  // every custom id is in use
        }
    }
    return static_cast<uint8_t>(std::min(highest, 255));
}

}  // namespace net
