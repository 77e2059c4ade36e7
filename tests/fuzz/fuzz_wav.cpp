// WAV files held in memory.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "audio/wav.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    try {
        (void)audio::decodeWav(fuzztree::asText(data, size));
    } catch (const std::runtime_error&) {
    }
    return 0;
}
