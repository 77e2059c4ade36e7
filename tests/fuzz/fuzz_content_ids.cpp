// content_ids.txt: parsed ids must survive being written back and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "content/resource_ids.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    content::ResourceIds ids;
    try {
        ids = content::parseContentIds(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const std::runtime_error&) {
        return 0;
    }
    if (content::parseContentIds(content::formatContentIds(ids)).ids != ids.ids) std::abort();
    return 0;
}
