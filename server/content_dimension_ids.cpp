#include "server/content_dimension_ids.h"

#include <exception>

#include "content/json.h"
#include "content/loading_frame.h"
#include "net/protocol.h"

namespace net {

std::set<std::string> contentDimensionIds(const std::filesystem::path& contentFolder) {
    std::set<std::string> ids{kOverworld};
    for (const std::filesystem::path& file : content::findFilesEndingWith(contentFolder, ".dimension.json")) {
        try {
            const std::string id = content::jsonStringOr(
                content::Json::find(content::loadJsonFile(file, content::ContentFile::Dimension), "id"), "");
            if (!id.empty()) ids.insert(id);
        } catch (const std::exception&) {
            // A file without a readable id names no dimension a game could be in.
        }
    }
    return ids;
}

}  // namespace net
