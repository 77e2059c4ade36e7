#include "selftest/capture_checks.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "support/failure.h"

namespace {

using selftest::Region;
using testsupport::failureOf;

// A width x height image whose pixel i has the grey value values[i % values.size()].
platform::Image greys(uint32_t width, uint32_t height, const std::vector<uint8_t>& values) {
    platform::Image image{width, height, std::vector<uint8_t>(std::size_t{width} * height * 4, 255)};
    for (std::size_t i = 0; i < std::size_t{width} * height; ++i) {
        const uint8_t v = values[i % values.size()];
        image.pixels[i * 4] = image.pixels[i * 4 + 1] = image.pixels[i * 4 + 2] = v;
    }
    return image;
}

TEST(CaptureChecks, FlatMeansFewerThanSixteenColours) {
    const struct {
        std::vector<uint8_t> colours;
        bool flat;
    } cases[] = {
        {{40}, true},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, true},
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(failureOf([&] { selftest::requireNotFlat(greys(8, 4, c.colours), "a.png"); }),
                  c.flat ? "Render capture is one flat colour: a.png" : "(no failure)");
    EXPECT_EQ(selftest::distinctColours(greys(8, 4, {0, 1, 2, 3, 4, 5, 6, 7}), 5), 5u) << "stops once enough";
}

TEST(CaptureChecks, MeanColourOfARegion) {
    platform::Image image = greys(4, 2, {10, 30});
    image.pixels[0] = 250;  // red of pixel (0, 0)
    const selftest::Colour all = selftest::meanColour(image, {0, 0, 4, 2});
    EXPECT_DOUBLE_EQ(all.r, (250.0 + 30 + 10 + 30 + 10 + 30 + 10 + 30) / 8);
    EXPECT_DOUBLE_EQ(all.g, 20.0);
    const selftest::Colour right = selftest::meanColour(image, {3, 1, 4, 2});
    EXPECT_DOUBLE_EQ(right.b, 30.0);
}

TEST(CaptureChecks, RegionsMustLieInsideTheCapture) {
    const platform::Image image = greys(4, 2, {10});
    const struct {
        Region region;
        bool fits;
    } cases[] = {
        {{0, 0, 4, 2}, true},  {{0, 0, 5, 2}, false}, {{0, 0, 4, 3}, false},
        {{2, 0, 2, 2}, false}, {{0, 1, 4, 1}, false}, {{3, 1, 4, 2}, true},
    };
    for (const auto& c : cases) {
        const Region r = c.region;
        EXPECT_EQ(failureOf([&] { selftest::meanColour(image, r); }),
                  c.fits ? "(no failure)" : "Region outside the capture")
            << r.x0 << " " << r.y0 << " " << r.x1 << " " << r.y1;
    }
}

TEST(CaptureChecks, ChangedPixelsAreThoseAboveTheThreshold) {
    const platform::Image base = greys(2, 2, {100});
    const struct {
        uint8_t value;  // grey of one pixel: three channels change by |value - 100| each
        double share;
    } cases[] = {{108, 0.0}, {109, 0.25}, {92, 0.0}, {91, 0.25}};
    for (const auto& c : cases) {
        platform::Image other = base;
        other.pixels[4] = other.pixels[5] = other.pixels[6] = c.value;
        EXPECT_DOUBLE_EQ(selftest::differingShare(base, other, 24), c.share) << int(c.value);
    }
    EXPECT_DOUBLE_EQ(selftest::differingShare(base, greys(2, 1, {100}), 24), 1.0) << "sizes differ";
    EXPECT_DOUBLE_EQ(selftest::colourDistance({1, 2, 3}, {4, 0, 3}), 5.0);
}

TEST(CaptureChecks, BandsAreFractionsOfTheImage) {
    const platform::Image image = greys(1280, 720, {0});
    const auto corners = [](const Region& r) { return std::vector<uint32_t>{r.x0, r.y0, r.x1, r.y1}; };
    EXPECT_EQ(corners(selftest::band(image, 0.36, 0.93, 0.64, 0.98)),
              (std::vector<uint32_t>{461, 670, 819, 706}));
    EXPECT_EQ(corners(selftest::band(image, 0.0, 0.0, 1.0, 1.0)), (std::vector<uint32_t>{0, 0, 1280, 720}));
}

}  // namespace
