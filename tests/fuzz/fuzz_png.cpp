// PNG images held in memory, then scaled the two ways the game scales pictures.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "platform/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    platform::Image image;
    try {
        image = platform::decodePngBytes(data, size);
    } catch (const std::runtime_error&) {
        return 0;
    }
    (void)platform::scaleNearest(image, 16, 16);
    (void)platform::scaleArea(image, 7, 5);
    return 0;
}
