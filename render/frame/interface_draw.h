#pragma once
// What the interface passes of a frame draw, laid out by the overlay writer before the frame is
// recorded: the interface block the frame pushes, the element lists it leaves in the overlay part of
// the content meta buffer for the interface shader, and what the frame needs to know of them.
#include <array>
#include <cstdint>
#include <span>

#include "render/atlases/interface_atlas.h"
#include "render/interface/interface_block.h"
#include "render/interface/pixel_rect.h"

namespace render {

struct InterfaceDraw {
    InterfaceBlock block{};
    // The stack under the cursor is drawn by a second pass, over the inventory's portrait.
    bool stackPass = false;
    bool icons = true;  // an item icon shows, so the shader must sample the block atlas
    bool worldCovered = false;
    // The pixels each pass (0 the interface, 1 the stack under the cursor) can paint.
    std::array<PixelRect, 2> bounds{};
};

// Lays out the block's screen and, with `stackPass`, the stack under the cursor as the second pass's
// elements, writes them into `meta` (the whole content meta buffer as words; its label and text-line
// records are read) and tells what the frame draws of them. `opaquePictures` are the interface atlas
// pictures without a transparent texel.
InterfaceDraw writeInterfaceDraw(std::span<uint32_t> meta, const InterfaceBlock& block, bool stackPass,
                                 uint32_t width, uint32_t height, std::span<const UiPlace> opaquePictures);

}  // namespace render
