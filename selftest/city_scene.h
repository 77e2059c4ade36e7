#pragma once
// The city scene of the expedition render test: where its people stand on the picture.
#include <array>
#include <cstdint>
#include <optional>

#include "render/camera.h"

namespace selftest {

struct Pixel {
    int32_t x = 0, y = 0;
};

// The pixel a world point falls on, or none when it lies behind the eye or off the picture.
std::optional<Pixel> projectToPixel(const render::Matrix4& m, const std::array<double, 3>& point, uint32_t width,
                                    uint32_t height);

}  // namespace selftest
