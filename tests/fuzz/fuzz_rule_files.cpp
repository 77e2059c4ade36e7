// The RPG, furnace and food rule files, from the first three NUL-separated pieces of the input.
// None of the three loaders may fail on its file's content.
#include <cstddef>
#include <cstdint>

#include "content/rule_files.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzztree::clearScratch();
    fuzztree::resetRegistry();
    const auto dir = fuzztree::scratchDir() / "Content";
    const char* names[] = {"rpg_rules.json", "furnace_rules.json", "food_rules.json"};
    const auto pieces = fuzztree::splitPieces(fuzztree::asText(data, size), 3);
    for (std::size_t i = 0; i < pieces.size(); ++i) fuzztree::writeFile(dir / names[i], pieces[i]);
    (void)content::loadRpgRules(dir);
    (void)content::loadFurnaceRules(dir);
    (void)content::loadFoodRules(dir);
    return 0;
}
