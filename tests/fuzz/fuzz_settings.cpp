// voxel_settings.txt: parsing never fails, and what it yields reads back to the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "save/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const StoredSettings defaults;
    const StoredSettings parsed =
        filesave::parseSettings(std::string(reinterpret_cast<const char*>(data), size), defaults);
    const std::string written = filesave::formatSettings(parsed);
    if (filesave::formatSettings(filesave::parseSettings(written, defaults)) != written) std::abort();
    return 0;
}
