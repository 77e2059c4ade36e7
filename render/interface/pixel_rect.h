#pragma once
// A rectangle of framebuffer pixels, as a scissor takes it.
#include <cstdint>

namespace render {

struct PixelRect {
    int32_t x = 0, y = 0;
    uint32_t width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

}  // namespace render
