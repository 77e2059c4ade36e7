// Biome and structure files: the input cut at NUL bytes into up to eight files, the even pieces
// biomes and the odd ones structures. A faulty file is skipped; only a fault of the combined object
// may end the load.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "content/worldgen.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzztree::clearScratch();
    fuzztree::resetRegistry();
    const auto dir = fuzztree::scratchDir() / "Content";
    const auto pieces = fuzztree::splitPieces(fuzztree::asText(data, size), 8);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const char* suffix = i % 2 == 0 ? ".biome.json" : ".structure.json";
        fuzztree::writeFile(dir / ("0" + std::to_string(i) + suffix), pieces[i]);
    }
    try {
        (void)content::loadWorldgen(dir);
    } catch (const std::runtime_error&) {
    }
    return 0;
}
