#pragma once
#include <vulkan/vulkan.h>

#include <stdexcept>
#include <string>

namespace render {

// "Vulkan error in <call> | Code: <result> | Line: <line>"
std::string vulkanErrorMessage(const char* call, VkResult result, int line);

inline void check(VkResult result, const char* call, int line) {
    if (result != VK_SUCCESS) throw std::runtime_error(vulkanErrorMessage(call, result, line));
}

}  // namespace render
