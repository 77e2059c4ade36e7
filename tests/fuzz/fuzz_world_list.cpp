// The world list: the input cut at NUL bytes into pairs of a folder name and that folder's world.txt,
// up to four folders, under a scratch saves directory.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_tree.h"
#include "save/world_list.h"

namespace {

// A single path component: no separators, not empty, not "." or "..".
std::string folderName(std::string_view piece) {
    std::string name(piece.substr(0, 64));
    for (char& c : name)
        if (c == '/') c = '_';
    if (name.empty() || name == "." || name == "..") name = "world_" + name;
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzztree::clearScratch();
    const auto saves = fuzztree::scratchDir() / "Saves";
    const auto pieces = fuzztree::splitPieces(fuzztree::asText(data, size), 8);
    for (std::size_t i = 0; i + 1 < pieces.size(); i += 2)
        fuzztree::writeFile(saves / folderName(pieces[i]) / "world.txt", pieces[i + 1]);
    (void)filesave::scanWorldFolders(saves);
    return 0;
}
