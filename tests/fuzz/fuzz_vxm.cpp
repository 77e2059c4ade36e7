// VXM meshes: read from a file (the reader never throws) and cut into body bands.
#include <cstddef>
#include <cstdint>

#include "fuzz_tree.h"
#include "models/vxm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const auto path = fuzztree::scratchDir() / "mesh.vxm";
    fuzztree::writeFile(path, fuzztree::asText(data, size));
    (void)content::splitIntoBands(content::loadVxmMesh(path));
    return 0;
}
