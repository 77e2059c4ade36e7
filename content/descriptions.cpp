#include "content/descriptions.h"

#include <exception>

#include "content/json.h"
#include "content/loading_frame.h"
#include "ui/ui_state.h"

namespace fs = std::filesystem;

namespace content {

DescriptionTable readDescriptions(const fs::path& contentDir) {
    DescriptionTable table;
    for (const fs::path& file : findFilesNamed(contentDir, "definition.json")) {
        try {
            const Json json = loadJsonFile(file, ContentFile::Definition);
            std::u32string text = ui::utf8ToUtf32(jsonStringOr(Json::find(json, "description"), ""));
            if (text.size() > maxDescriptionLength) text.resize(maxDescriptionLength);
            table[jsonStringOr(Json::find(json, "id"), "")] = std::move(text);
        } catch (const std::exception&) {
            // Descriptions are decoration: the resource loader already reports broken files.
        }
    }
    return table;
}

}  // namespace content
