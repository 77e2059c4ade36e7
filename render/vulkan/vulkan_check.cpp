#include "render/vulkan/vulkan_check.h"

namespace render {

std::string vulkanErrorMessage(const char* call, VkResult result, int line) {
    return "Vulkan error in " + std::string(call) + " | Code: " + std::to_string(static_cast<int32_t>(result)) +
           " | Line: " + std::to_string(line);
}

}  // namespace render
