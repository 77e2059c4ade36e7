#pragma once
// render/vulkan: the thin Vulkan layer: device, swapchain, buffers, images, pipelines, shutdown, screenshots.
// The window and the Vulkan objects that live for the whole run.
#include <vulkan/vulkan.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct GLFWwindow;

struct GpuState {
    GLFWwindow* win = nullptr;
    VkInstance instance = VK_NULL_HANDLE;
    VkSurfaceKHR surface = VK_NULL_HANDLE;
    VkPhysicalDevice physical = VK_NULL_HANDLE;
    VkDevice dev = VK_NULL_HANDLE;
    VkQueue queue = VK_NULL_HANDLE;
    uint32_t queueFamily = 0;
    VkCommandPool pool = VK_NULL_HANDLE;
    VkFormat depthFormat = VK_FORMAT_D32_SFLOAT;
    VkSemaphore available = VK_NULL_HANDLE;
    VkFence fence = VK_NULL_HANDLE;
    bool glfwStarted = false;
    bool showWindow = false;
    uint32_t swapchainWidth = 0;
    uint32_t swapchainHeight = 0;
    std::filesystem::path capturePath;  // the PNG the next frame writes
};

namespace render {

// What the GPU choice needs to know of one device.
struct GpuCandidate {
    std::string name;
    bool discrete = false;
    bool canSwap = false;  // offers exactly "VK_KHR_swapchain"
    struct Family {
        bool graphics = false;
        bool presents = false;
    };
    std::vector<Family> families;
};

struct GpuChoice {
    int gpu = -1;  // index into the list; -1 when none qualifies
    uint32_t family = 0;
};

// A discrete GPU wins over any other; among equals the first in list order and, on it, the first
// family that draws and presents.
GpuChoice chooseGpu(const std::vector<GpuCandidate>& gpus);

}  // namespace render
