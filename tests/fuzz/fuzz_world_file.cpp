// world.txt: a record that parses is written back and must read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "save/world_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto record = filesave::parseWorldFile(std::string(reinterpret_cast<const char*>(data), size));
    if (!record) return 0;
    const auto again = filesave::parseWorldFile(filesave::formatWorldFile(*record));
    if (!again || again->name != record->name || again->seed != record->seed ||
        again->generation != record->generation) {
        std::abort();
    }
    return 0;
}
