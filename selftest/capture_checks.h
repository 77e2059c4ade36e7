#pragma once
// What a render scenario can tell from its own captures: flat pictures, colours of regions and
// how much two pictures differ. Pure functions of decoded images.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/image.h"

namespace selftest {

struct Colour {
    double r = 0.0, g = 0.0, b = 0.0;
};

// [x0, x1) x [y0, y1) in pixels from the top left.
struct Region {
    uint32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// Counts distinct RGB values, stopping once `enough` are found.
std::size_t distinctColours(const platform::Image& image, std::size_t enough);

// Mean RGB of the region, 0..255 per channel; throws "Region outside the capture" when the region
// is empty or does not fit the image.
Colour meanColour(const platform::Image& image, const Region& region);

// Sum of the channel differences, 0..765.
double colourDistance(const Colour& a, const Colour& b);

// Share of pixels whose channel differences sum above `threshold`; images of different sizes
// differ everywhere (1.0).
double differingShare(const platform::Image& a, const platform::Image& b, int threshold);

// A band across the image: the rows from `top` to `bottom` as fractions of its height, the columns
// from `left` to `right` as fractions of its width.
Region band(const platform::Image& image, double left, double top, double right, double bottom);

// Throws "Render capture is one flat colour: " + name when the picture shows fewer than 16 colours.
void requireNotFlat(const platform::Image& image, const std::string& name);

}  // namespace selftest
