#include "platform/image.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using testing::ElementsAreArray;

// Grey opaque pixels given by their level, one row after another.
platform::Image greyImage(uint32_t width, uint32_t height, const std::vector<uint8_t>& levels) {
    platform::Image image{width, height, {}};
    for (uint8_t level : levels) image.pixels.insert(image.pixels.end(), {level, level, level, 255});
    return image;
}

std::vector<uint8_t> levels(const platform::Image& image) {
    std::vector<uint8_t> result;
    for (std::size_t i = 0; i < image.pixels.size(); i += 4) result.push_back(image.pixels[i]);
    return result;
}

TEST(ScaleNearest, PicksThePixelUnderEachCentre) {
    const platform::Image up = platform::scaleNearest(greyImage(2, 2, {1, 2, 3, 4}), 4, 4);
    EXPECT_EQ(up.width, 4u);
    EXPECT_EQ(up.height, 4u);
    EXPECT_THAT(levels(up), ElementsAreArray<uint8_t>({1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));

    EXPECT_THAT(levels(platform::scaleNearest(greyImage(4, 1, {10, 20, 30, 40}), 2, 1)),
                ElementsAreArray<uint8_t>({20, 40}));
    EXPECT_THAT(levels(platform::scaleNearest(greyImage(3, 1, {10, 20, 30}), 2, 1)),
                ElementsAreArray<uint8_t>({10, 30}));
}

TEST(ScaleArea, AveragesEveryChannelOverItsCoverage) {
    const platform::Image square{2, 2, {0, 10, 255, 255, 1, 20, 255, 255, 2, 30, 0, 0, 4, 40, 0, 0}};
    const platform::Image one = platform::scaleArea(square, 1, 1);
    EXPECT_EQ(one.width, 1u);
    // (0+1+2+4)/4 = 1.75, 25, 127.5 and 127.5 round to nearest.
    EXPECT_THAT(one.pixels, ElementsAreArray<uint8_t>({2, 25, 128, 128}));

    EXPECT_THAT(levels(platform::scaleArea(greyImage(4, 4, {0, 4, 8, 8, 4, 8, 8, 8, 100, 100, 0, 0, 100, 100, 0, 2}), 2, 2)),
                ElementsAreArray<uint8_t>({4, 8, 100, 1}));
}

TEST(ScaleArea, WeighsPartlyCoveredPixels) {
    // Each target pixel covers one and a half source pixels.
    EXPECT_THAT(levels(platform::scaleArea(greyImage(3, 1, {0, 90, 180}), 2, 1)), ElementsAreArray<uint8_t>({30, 150}));
    // Upwards the middle pixel straddles both sources equally.
    EXPECT_THAT(levels(platform::scaleArea(greyImage(2, 1, {0, 100}), 3, 1)), ElementsAreArray<uint8_t>({0, 50, 100}));
    EXPECT_THAT(levels(platform::scaleArea(greyImage(1, 2, {0, 100}), 1, 3)), ElementsAreArray<uint8_t>({0, 50, 100}));
}

}  // namespace
