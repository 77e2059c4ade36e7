#include "selftest/capture_checks.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <unordered_set>

namespace selftest {

namespace {

// A scene with anything in it shows far more than this; one fill or a fill and a fog shows fewer.
constexpr std::size_t kFewestSceneColours = 16;

const uint8_t* pixelAt(const platform::Image& image, uint32_t x, uint32_t y) {
    return &image.pixels[(std::size_t{y} * image.width + x) * 4];
}

}  // namespace

std::size_t distinctColours(const platform::Image& image, std::size_t enough) {
    std::unordered_set<uint32_t> colours;
    for (std::size_t i = 0; i + 3 < image.pixels.size() && colours.size() < enough; i += 4)
        colours.insert(uint32_t{image.pixels[i]} << 16 | uint32_t{image.pixels[i + 1]} << 8 |
                       image.pixels[i + 2]);
    return colours.size();
}

Colour meanColour(const platform::Image& image, const Region& region) {
    if (region.x0 >= region.x1 || region.y0 >= region.y1 || region.x1 > image.width ||
        region.y1 > image.height)
        throw std::runtime_error("Region outside the capture");
    Colour sum;
    for (uint32_t y = region.y0; y < region.y1; ++y) {
        for (uint32_t x = region.x0; x < region.x1; ++x) {
            const uint8_t* p = pixelAt(image, x, y);
            sum.r += p[0];
            sum.g += p[1];
            sum.b += p[2];
        }
    }
    const double n = double(region.x1 - region.x0) * double(region.y1 - region.y0);
    return {sum.r / n, sum.g / n, sum.b / n};
}

double colourDistance(const Colour& a, const Colour& b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

double differingShare(const platform::Image& a, const platform::Image& b, int threshold) {
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) return 1.0;
    if (a.pixels.empty()) return 0.0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i + 3 < a.pixels.size(); i += 4) {
        const int d = std::abs(a.pixels[i] - b.pixels[i]) + std::abs(a.pixels[i + 1] - b.pixels[i + 1]) +
                      std::abs(a.pixels[i + 2] - b.pixels[i + 2]);
        differing += d > threshold;
    }
    return double(differing) / double(a.pixels.size() / 4);
}

Region band(const platform::Image& image, double left, double top, double right, double bottom) {
    const auto at = [](uint32_t size, double share) {
        return static_cast<uint32_t>(std::lround(size * share));
    };
    return {at(image.width, left), at(image.height, top), at(image.width, right), at(image.height, bottom)};
}

void requireNotFlat(const platform::Image& image, const std::string& name) {
    if (distinctColours(image, kFewestSceneColours) < kFewestSceneColours)
        throw std::runtime_error("Render capture is one flat colour: " + name);
}

}  // namespace selftest
