// Mob files: the input cut at NUL bytes into up to eight files of one Content tree. Every fault is
// one error line and the file is skipped; the built-in mobs always remain.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "content/mobs.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto dir = fuzztree::contentFromPieces(fuzztree::asText(data, size), 8, ".mob.json");
    if (content::loadMobs(dir).size() < 2) std::abort();
    return 0;
}
