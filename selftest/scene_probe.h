#pragma once
// Finding things on a render test's captures: where a world point lands on the picture under the
// current camera, the square sampled around it, and a capture that must show something.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/image.h"
#include "render/view/camera.h"
#include "selftest/capture_checks.h"

struct App;

namespace selftest {

struct Pixel {
    int32_t x = 0, y = 0;
};

// The pixel a world point falls on, or none when it lies behind the eye or off the picture.
std::optional<Pixel> projectToPixel(const render::Matrix4& m, const std::array<double, 3>& point, uint32_t width,
                                    uint32_t height);

// The square of half side `half` around the pixel of a world point seen through the App's camera
// (fov as App::computeCamera takes it); "Checked point is not in the capture: <what>" when the point
// is behind the eye or the square would leave the picture.
Region probeAt(App& app, float fov, const platform::Image& image, const std::array<double, 3>& point, uint32_t half,
               const std::string& what);

// Draws a frame into <base>/<file> and reads it back; a missing or flat capture fails the test.
platform::Image captureChecked(App& app, const std::string& file);

}  // namespace selftest
