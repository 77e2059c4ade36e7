#include "save/dimension_ids.h"

#include <stdexcept>

#include "content/loading_frame.h"

namespace filesave {

bool isSavedDimensionId(const std::string& id) { return content::isValidResourceId(id); }

void checkDimensionId(const char* file, const std::string& id) {
    if (!isSavedDimensionId(id))
        throw std::runtime_error(std::string("Cannot save ") + file + ": dimension id \"" + id +
                                 "\" is not a resource id");
}

}  // namespace filesave
