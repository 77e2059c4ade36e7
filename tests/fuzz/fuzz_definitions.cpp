// Block and item definitions: the input cut at NUL bytes into up to eight definition.json files,
// each in its own folder, loaded into the registry at persistent ids. A faulty file is skipped.
#include <cstddef>
#include <cstdint>
#include <string>

#include "content/resource_ids.h"
#include "fuzz_tree.h"
#include "world/block_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzztree::clearScratch();
    voxel::resetBlockRegistry();
    const auto dir = fuzztree::scratchDir() / "Content";
    const auto pieces = fuzztree::splitPieces(fuzztree::asText(data, size), 8);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        fuzztree::writeFile(dir / ("block" + std::to_string(i)) / "definition.json", pieces[i]);
    content::loadResources(dir, fuzztree::scratchDir() / "Saves" / "content_ids.txt");
    return 0;
}
