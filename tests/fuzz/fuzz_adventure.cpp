// Quest and NPC files: the input cut at NUL bytes into up to eight pieces, the first half written as
// quest files and the rest as NPC files of one Content tree, so that NPCs can name the quests. Every
// fault is one error line and the file is skipped.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "adventure/catalog.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzztree::clearScratch();
    fuzztree::resetRegistry();
    const auto dir = fuzztree::scratchDir() / "Content";
    const auto pieces = fuzztree::splitPieces(fuzztree::asText(data, size), 8);
    const std::size_t quests = (pieces.size() + 1) / 2;
    fuzztree::writePieces(dir / "quests", {pieces.begin(), pieces.begin() + quests}, ".quest.json");
    fuzztree::writePieces(dir / "npcs", {pieces.begin() + quests, pieces.end()}, ".npc.json");
    const std::set<std::string> mobs = {"core:boar", "core:skeleton"};
    const std::set<std::string> structures = {"core:ruins"};
    (void)adventure::loadContent(dir, mobs, structures);
    return 0;
}
