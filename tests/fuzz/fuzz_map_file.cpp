// A world map file: a map that reads is written back and must read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "save/map_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto map = filesave::decodeMap(std::string(reinterpret_cast<const char*>(data), size));
    if (!map) return 0;
    const auto again = filesave::decodeMap(filesave::encodeMap(*map));
    if (!again || !(*again == *map)) std::abort();
    return 0;
}
