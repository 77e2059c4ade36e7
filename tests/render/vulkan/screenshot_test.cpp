#include "render/vulkan/screenshot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "platform/image.h"
#include "support/temp_dir.h"

namespace {

TEST(CapturePixelOrder, ReadsEightBitRgbaAndBgraOnly) {
    for (VkFormat format : {VK_FORMAT_B8G8R8A8_SRGB, VK_FORMAT_B8G8R8A8_UNORM})
        EXPECT_EQ(render::capturePixelOrder(format), platform::PixelOrder::Bgra) << format;
    for (VkFormat format : {VK_FORMAT_R8G8B8A8_SRGB, VK_FORMAT_R8G8B8A8_UNORM})
        EXPECT_EQ(render::capturePixelOrder(format), platform::PixelOrder::Rgba) << format;
    for (VkFormat format : {VK_FORMAT_A2B10G10R10_UNORM_PACK32, VK_FORMAT_R16G16B16A16_SFLOAT, VK_FORMAT_UNDEFINED})
        EXPECT_EQ(render::capturePixelOrder(format), std::nullopt) << format;
}

TEST(CaptureWriter, WritesAnOpaquePngWithTheScreensColours) {
    testsupport::TempDir dir;
    // Two BGRA pixels as a swapchain holds them, the second half see-through where water was drawn.
    const std::vector<uint8_t> bgra{10, 20, 200, 255, 30, 40, 50, 0};
    ASSERT_TRUE(render::writeCapture(dir.path() / "shot.png", 2, 1, bgra, platform::PixelOrder::Bgra));
    const platform::Image image = platform::decodePng(dir.path() / "shot.png");
    EXPECT_EQ(std::pair(image.width, image.height), std::pair(2u, 1u));
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{200, 20, 10, 255, 50, 40, 30, 255}));
}

TEST(CaptureWriter, RefusesQuietlyAndLeavesNoFileWhereItCannotWrite) {
    testsupport::TempDir dir;
    const std::vector<uint8_t> rgba(16, 7);
    const std::filesystem::path path = dir.path() / "missing" / "shot.png";
    EXPECT_FALSE(render::writeCapture(path, 2, 2, rgba, platform::PixelOrder::Rgba));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(render::writeCapture(dir.path() / "empty.png", 0, 0, {}, platform::PixelOrder::Rgba));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(MakeOpaque, SetsEveryFourthByteOnly) {
    std::vector<uint8_t> pixels{1, 2, 3, 4, 5, 6, 7, 0};
    render::makeOpaque(pixels);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{1, 2, 3, 255, 5, 6, 7, 255}));
}

}  // namespace
