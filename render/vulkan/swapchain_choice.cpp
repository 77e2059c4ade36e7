#include <algorithm>
#include <stdexcept>

#include "render/vulkan/swapchain.h"

namespace render {

VkSurfaceFormatKHR chooseSurfaceFormat(const std::vector<VkSurfaceFormatKHR>& formats) {
    for (const VkSurfaceFormatKHR& format : formats) {
        if (format.format == VK_FORMAT_B8G8R8A8_SRGB &&
            format.colorSpace == VK_COLOR_SPACE_SRGB_NONLINEAR_KHR)
            return format;
    }
    return formats.empty() ? VkSurfaceFormatKHR{} : formats.front();
}

VkExtent2D chooseExtent(const VkSurfaceCapabilitiesKHR& caps, uint32_t framebufferWidth,
                        uint32_t framebufferHeight) {
    if (caps.currentExtent.width != 0xFFFFFFFFu) return caps.currentExtent;
    // Not std::clamp: when the limits cross, the maximum wins.
    const auto limit = [](uint32_t value, uint32_t low, uint32_t high) {
        return std::min(std::max(value, low), high);
    };
    return {limit(framebufferWidth, caps.minImageExtent.width, caps.maxImageExtent.width),
            limit(framebufferHeight, caps.minImageExtent.height, caps.maxImageExtent.height)};
}

uint32_t chooseImageCount(const VkSurfaceCapabilitiesKHR& caps) {
    const uint32_t wanted = caps.minImageCount + 1;
    return caps.maxImageCount == 0 ? wanted : std::min(wanted, caps.maxImageCount);
}

VkPresentModeKHR choosePresentMode(bool verticalSync, const std::vector<VkPresentModeKHR>& modes) {
    if (verticalSync) return VK_PRESENT_MODE_FIFO_KHR;
    const auto offers = [&modes](VkPresentModeKHR mode) {
        return std::find(modes.begin(), modes.end(), mode) != modes.end();
    };
    if (offers(VK_PRESENT_MODE_MAILBOX_KHR)) return VK_PRESENT_MODE_MAILBOX_KHR;
    if (offers(VK_PRESENT_MODE_IMMEDIATE_KHR)) return VK_PRESENT_MODE_IMMEDIATE_KHR;
    return VK_PRESENT_MODE_FIFO_KHR;
}

VkImageUsageFlags chooseImageUsage(VkImageUsageFlags supported) {
    if ((supported & VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT) == 0)
        throw std::runtime_error("Surface cannot render color attachments");
    return VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT | (supported & VK_IMAGE_USAGE_TRANSFER_SRC_BIT);
}

VkCompositeAlphaFlagBitsKHR chooseCompositeAlpha(VkCompositeAlphaFlagsKHR supported) {
    return (supported & VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR) != 0 ? VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR
                                                                : VK_COMPOSITE_ALPHA_INHERIT_BIT_KHR;
}

}  // namespace render
