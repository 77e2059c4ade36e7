// combat_rules.json: never fails on the file's content.
#include <cstddef>
#include <cstdint>

#include "content/combat_rules.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzztree::clearScratch();
    const auto dir = fuzztree::scratchDir() / "Content";
    fuzztree::writeFile(dir / "combat_rules.json", fuzztree::asText(data, size));
    (void)content::loadCombatRules(dir);
    return 0;
}
