#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "render/vulkan/swapchain.h"
#include "support/failure.h"

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

std::pair<uint32_t, uint32_t> size(VkExtent2D extent) { return {extent.width, extent.height}; }

TEST(SwapchainChoice, PrefersBgraSrgbWithSrgbColourSpaceElseTakesTheFirstListed) {
    const VkSurfaceFormatKHR unorm{VK_FORMAT_B8G8R8A8_UNORM, VK_COLOR_SPACE_SRGB_NONLINEAR_KHR};
    const VkSurfaceFormatKHR srgb{VK_FORMAT_B8G8R8A8_SRGB, VK_COLOR_SPACE_SRGB_NONLINEAR_KHR};
    const VkSurfaceFormatKHR srgbOtherSpace{VK_FORMAT_B8G8R8A8_SRGB, VK_COLOR_SPACE_DISPLAY_P3_NONLINEAR_EXT};
    const VkSurfaceFormatKHR rgba{VK_FORMAT_R8G8B8A8_UNORM, VK_COLOR_SPACE_EXTENDED_SRGB_LINEAR_EXT};

    for (const auto& [offered, wanted] : {std::pair{std::vector{unorm, srgbOtherSpace, srgb}, srgb},
                                          std::pair{std::vector{rgba, srgbOtherSpace}, rgba}}) {
        const VkSurfaceFormatKHR chosen = render::chooseSurfaceFormat(offered);
        EXPECT_EQ(chosen.format, wanted.format);
        EXPECT_EQ(chosen.colorSpace, wanted.colorSpace);
    }
}

TEST(SwapchainChoice, ExtentIsTheSurfacesOwnOrTheFramebufferWithinTheLimits) {
    EXPECT_EQ(size(render::chooseExtent(capabilities(1280, 720), 999, 555)), std::pair(1280u, 720u));

    const VkSurfaceCapabilitiesKHR free = capabilities(0xFFFFFFFFu, 0xFFFFFFFFu);
    EXPECT_EQ(size(render::chooseExtent(free, 1000, 600)), std::pair(1000u, 600u));
    EXPECT_EQ(size(render::chooseExtent(free, 5000, 50)), std::pair(1600u, 100u));

    // Crossed limits: the maximum wins.
    VkSurfaceCapabilitiesKHR crossed = free;
    crossed.minImageExtent = {800, 800};
    crossed.maxImageExtent = {400, 400};
    EXPECT_EQ(size(render::chooseExtent(crossed, 100, 1000)), std::pair(400u, 400u));
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
    EXPECT_EQ(testsupport::failureOf([] { render::chooseImageUsage(VK_IMAGE_USAGE_TRANSFER_SRC_BIT); }),
              "Surface cannot render color attachments");
}

TEST(SwapchainChoice, CompositeAlphaIsOpaqueWhenSupportedElseInherit) {
    EXPECT_EQ(
        render::chooseCompositeAlpha(VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR | VK_COMPOSITE_ALPHA_INHERIT_BIT_KHR),
        VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR);
    EXPECT_EQ(render::chooseCompositeAlpha(VK_COMPOSITE_ALPHA_PRE_MULTIPLIED_BIT_KHR),
              VK_COMPOSITE_ALPHA_INHERIT_BIT_KHR);
}

}  // namespace
