// Loot table files: the input cut at NUL bytes into up to eight files of one Content tree. The loader
// must never fail on their content: every fault is one error line and the file is skipped.
#include <cstddef>
#include <cstdint>

#include "content/loot_tables.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto dir = fuzztree::contentFromPieces(fuzztree::asText(data, size), 8, ".loot.json");
    (void)content::loadLootTables(dir);
    return 0;
}
