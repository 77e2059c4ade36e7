#pragma once
// Whether this frame's interface hides the whole world. The software driver shades every world
// pixel drawn behind an opaque menu background, so the world shaders skip their work while the frame
// says so (FrameValuesBlock::worldCovered).
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/image.h"
#include "render/atlases/interface_atlas.h"
#include "render/interface/interface_layout.h"

namespace render {

// The interface shader blends at most this many elements at a pixel, in list order.
inline constexpr std::size_t kMaxCoveringElements = 32;

// True when every texel of `place` in `atlas` is fully opaque.
bool placeOpaque(const platform::Image& atlas, const UiPlace& place);

// True when one of the first 32 elements paints every pixel centre of the framebuffer with full
// alpha: a fill of alpha 1 or a picture whose source is one of `opaquePictures`. What the interface
// draws over full alpha keeps it, so nothing of the world shows through.
bool interfaceCoversWorld(std::span<const InterfaceElement> elements, uint32_t width, uint32_t height,
                          std::span<const UiPlace> opaquePictures);

}  // namespace render
