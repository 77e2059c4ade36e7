// Recipe files: the input cut at NUL bytes into up to eight files of one Content tree. The loader
// must never fail on their content: every fault is one error line and the file is skipped.
#include <cstddef>
#include <cstdint>

#include "content/recipes.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto dir = fuzztree::contentFromPieces(fuzztree::asText(data, size), 8, ".recipe.json");
    (void)content::loadRecipes(dir);
    return 0;
}
