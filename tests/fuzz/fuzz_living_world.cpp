// living_world.json: a fault of the file is reported by throwing, which ends start-up.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "content/living_world.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzztree::clearScratch();
    const auto dir = fuzztree::scratchDir() / "Content";
    fuzztree::writeFile(dir / "living_world.json", fuzztree::asText(data, size));
    try {
        (void)content::loadLivingWorld(dir);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
