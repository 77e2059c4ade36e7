#include <gtest/gtest.h>

#include <stdexcept>

#include "render/swapchain.h"

namespace {

VkSurfaceCapabilitiesKHR capabilities(uint32_t currentWidth, uint32_t currentHeight) {
    VkSurfaceCapabilitiesKHR caps{};
    caps.currentExtent = {currentWidth, currentHeight};
    caps.minImageExtent = {200, 100};
    caps.maxImageExtent = {1600, 900};
    caps.minImageCount = 2;
    caps.maxImageCount = 8;
    return caps;
}

TEST(SwapchainChoice, PrefersBgraSrgbWithSrgbColourSpaceElseTakesTheFirstListed) {
    const VkSurfaceFormatKHR unorm{VK_FORMAT_B8G8R8A8_UNORM, VK_COLOR_SPACE_SRGB_NONLINEAR_KHR};
    const VkSurfaceFormatKHR srgb{VK_FORMAT_B8G8R8A8_SRGB, VK_COLOR_SPACE_SRGB_NONLINEAR_KHR};
    const VkSurfaceFormatKHR srgbOtherSpace{VK_FORMAT_B8G8R8A8_SRGB, VK_COLOR_SPACE_DISPLAY_P3_NONLINEAR_EXT};
    const VkSurfaceFormatKHR rgba{VK_FORMAT_R8G8B8A8_UNORM, VK_COLOR_SPACE_EXTENDED_SRGB_LINEAR_EXT};

    VkSurfaceFormatKHR chosen = render::chooseSurfaceFormat({unorm, srgbOtherSpace, srgb});
    EXPECT_EQ(chosen.format, VK_FORMAT_B8G8R8A8_SRGB);
    EXPECT_EQ(chosen.colorSpace, VK_COLOR_SPACE_SRGB_NONLINEAR_KHR);

    chosen = render::chooseSurfaceFormat({rgba, srgbOtherSpace});
    EXPECT_EQ(chosen.format, VK_FORMAT_R8G8B8A8_UNORM);
    EXPECT_EQ(chosen.colorSpace, VK_COLOR_SPACE_EXTENDED_SRGB_LINEAR_EXT);
}

TEST(SwapchainChoice, ExtentIsTheSurfacesOwnOrTheFramebufferWithinTheLimits) {
    VkExtent2D extent = render::chooseExtent(capabilities(1280, 720), 999, 555);
    EXPECT_EQ(extent.width, 1280u);
    EXPECT_EQ(extent.height, 720u);

    const VkSurfaceCapabilitiesKHR free = capabilities(0xFFFFFFFFu, 0xFFFFFFFFu);
    extent = render::chooseExtent(free, 1000, 600);
    EXPECT_EQ(extent.width, 1000u);
    EXPECT_EQ(extent.height, 600u);
    extent = render::chooseExtent(free, 5000, 50);
    EXPECT_EQ(extent.width, 1600u);
    EXPECT_EQ(extent.height, 100u);

    // Crossed limits: the maximum wins.
    VkSurfaceCapabilitiesKHR crossed = free;
    crossed.minImageExtent = {800, 800};
    crossed.maxImageExtent = {400, 400};
    extent = render::chooseExtent(crossed, 100, 1000);
    EXPECT_EQ(extent.width, 400u);
    EXPECT_EQ(extent.height, 400u);
}

TEST(SwapchainChoice, AsksForOneImageMoreThanTheMinimumWithinTheMaximum) {
    VkSurfaceCapabilitiesKHR caps = capabilities(1, 1);
    EXPECT_EQ(render::chooseImageCount(caps), 3u);
    caps.maxImageCount = 0;  // no limit
    EXPECT_EQ(render::chooseImageCount(caps), 3u);
    caps.maxImageCount = 2;
    EXPECT_EQ(render::chooseImageCount(caps), 2u);
}

TEST(SwapchainChoice, VerticalSyncMeansFifoOtherwiseMailboxThenImmediate) {
    const std::vector<VkPresentModeKHR> all{VK_PRESENT_MODE_FIFO_KHR, VK_PRESENT_MODE_IMMEDIATE_KHR,
                                            VK_PRESENT_MODE_MAILBOX_KHR};
    EXPECT_EQ(render::choosePresentMode(true, all), VK_PRESENT_MODE_FIFO_KHR);
    EXPECT_EQ(render::choosePresentMode(false, all), VK_PRESENT_MODE_MAILBOX_KHR);
    EXPECT_EQ(render::choosePresentMode(false, {VK_PRESENT_MODE_IMMEDIATE_KHR, VK_PRESENT_MODE_FIFO_KHR}),
              VK_PRESENT_MODE_IMMEDIATE_KHR);
    EXPECT_EQ(render::choosePresentMode(false, {VK_PRESENT_MODE_FIFO_RELAXED_KHR, VK_PRESENT_MODE_FIFO_KHR}),
              VK_PRESENT_MODE_FIFO_KHR);
    EXPECT_EQ(render::choosePresentMode(false, {}), VK_PRESENT_MODE_FIFO_KHR);
}

TEST(SwapchainChoice, UsageAddsTransferSourceOnlyWhereOfferedAndNeedsColourAttachments) {
    EXPECT_EQ(render::chooseImageUsage(VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT | VK_IMAGE_USAGE_TRANSFER_SRC_BIT |
                                       VK_IMAGE_USAGE_STORAGE_BIT),
              VkImageUsageFlags{VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT | VK_IMAGE_USAGE_TRANSFER_SRC_BIT});
    EXPECT_EQ(render::chooseImageUsage(VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT),
              VkImageUsageFlags{VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT});
    try {
        render::chooseImageUsage(VK_IMAGE_USAGE_TRANSFER_SRC_BIT);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Surface cannot render color attachments");
    }
}

TEST(SwapchainChoice, CompositeAlphaIsOpaqueWhenSupportedElseInherit) {
    EXPECT_EQ(
        render::chooseCompositeAlpha(VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR | VK_COMPOSITE_ALPHA_INHERIT_BIT_KHR),
        VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR);
    EXPECT_EQ(render::chooseCompositeAlpha(VK_COMPOSITE_ALPHA_PRE_MULTIPLIED_BIT_KHR),
              VK_COMPOSITE_ALPHA_INHERIT_BIT_KHR);
}

}  // namespace
