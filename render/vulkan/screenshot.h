#pragma once
// Screenshots: the frame just rendered, copied from its swapchain image and written as a PNG.
#include <vulkan/vulkan.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/image.h"

namespace render {

// The byte order of an 8-bit RGBA or BGRA swapchain format; none for any other format, which the
// capture cannot write.
std::optional<platform::PixelOrder> capturePixelOrder(VkFormat format);
// The swapchain's alpha is not the picture's: the water pass leaves it below 1.
void makeOpaque(std::vector<uint8_t>& pixels);
// The PNG of a captured frame; false when it could not be written, and then no file is left.
bool writeCapture(const std::filesystem::path& path, uint32_t width, uint32_t height,
                  std::vector<uint8_t> pixels, platform::PixelOrder order);

}  // namespace render
