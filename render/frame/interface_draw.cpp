#include "render/frame/interface_draw.h"

#include <algorithm>
#include <vector>

#include "render/frame/world_cover.h"
#include "render/interface/interface_layout.h"
#include "render/interface/interface_tiles.h"

namespace render {

// The cursor-stack pass draws the same element list as the interface: its elements are marked for
// that pass only.
InterfaceDraw writeInterfaceDraw(std::span<uint32_t> meta, const InterfaceBlock& block, bool stackPass,
                                 uint32_t width, uint32_t height, std::span<const UiPlace> opaquePictures) {
    std::vector<InterfaceElement> elements = layoutInterface(block, meta);
    if (stackPass) {
        InterfaceBlock stack = block;
        stack.screen = kCursorStackPass;
        for (InterfaceElement& e : layoutInterface(stack, meta)) {
            e.pass = 1;
            elements.push_back(e);
        }
    }
    writeInterfaceTiles(meta, elements, width, height, block);
    InterfaceDraw draw;
    draw.block = block;
    draw.stackPass = stackPass;
    draw.icons = std::any_of(elements.begin(), elements.end(),
                             [](const InterfaceElement& e) { return e.kind == ElementKind::Icon; });
    draw.worldCovered = interfaceCoversWorld(elements, width, height, opaquePictures);
    for (uint32_t pass = 0; pass < 2; ++pass)
        draw.bounds[pass] = interfaceBounds(elements, pass, width, height);
    return draw;
}

}  // namespace render
