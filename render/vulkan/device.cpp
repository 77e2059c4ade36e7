#include "render/vulkan/device.h"

#define GLFW_INCLUDE_VULKAN
#include <GLFW/glfw3.h>

#include <cstring>
#include <iostream>
#include <stdexcept>

#include "app/app.h"
#include "render/vulkan/vulkan_check.h"

namespace {

constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 720;
constexpr int kMinWidth = 960;
constexpr int kMinHeight = 540;

// GLFW calls plain functions; these find the App through the window's user pointer.
App* appOf(GLFWwindow* window) { return static_cast<App*>(glfwGetWindowUserPointer(window)); }

void scrollCallback(GLFWwindow* window, double xOffset, double yOffset) {
    if (App* app = appOf(window)) app->onScroll(window, xOffset, yOffset);
}

void charCallback(GLFWwindow* window, unsigned int codePoint) {
    if (App* app = appOf(window)) app->onChar(window, codePoint);
}

void keyCallback(GLFWwindow* window, int key, int scanCode, int action, int modifiers) {
    if (App* app = appOf(window)) app->onKey(window, key, scanCode, action, modifiers);
}

void mouseButtonCallback(GLFWwindow* window, int button, int action, int modifiers) {
    if (App* app = appOf(window)) app->onMouseButton(window, button, action, modifiers);
}

void openWindow(GpuState& gpu, App& app) {
    glfwWindowHint(GLFW_CLIENT_API, GLFW_NO_API);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    gpu.win = glfwCreateWindow(kWindowWidth, kWindowHeight, "QUORVANE 10.38", nullptr, nullptr);
    if (gpu.win) glfwSetWindowSizeLimits(gpu.win, kMinWidth, kMinHeight, GLFW_DONT_CARE, GLFW_DONT_CARE);
    if (!gpu.win || !glfwVulkanSupported()) throw std::runtime_error("Vulkan unavailable");
    glfwSetInputMode(gpu.win, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
    glfwSetWindowUserPointer(gpu.win, &app);
    glfwSetScrollCallback(gpu.win, scrollCallback);
    glfwSetCharCallback(gpu.win, charCallback);
    glfwSetKeyCallback(gpu.win, keyCallback);
    glfwSetMouseButtonCallback(gpu.win, mouseButtonCallback);
}

void createInstance(GpuState& gpu) {
    uint32_t extensionCount = 0;
    const char** extensions = glfwGetRequiredInstanceExtensions(&extensionCount);
    VkApplicationInfo ai{};
    ai.sType = VK_STRUCTURE_TYPE_APPLICATION_INFO;
    ai.pApplicationName = "Skarnwright";
    ai.apiVersion = VK_API_VERSION_1_1;
    VkInstanceCreateInfo ici{};
    ici.sType = VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO;
    ici.pApplicationInfo = &ai;
    ici.enabledExtensionCount = extensionCount;
    ici.ppEnabledExtensionNames = extensions;
    render::check(vkCreateInstance(&ici, nullptr, &gpu.instance), "vkCreateInstance(&ici,nullptr,&instance)", 1062);
}

std::vector<VkPhysicalDevice> listGpus(VkInstance instance) {
    uint32_t count = 0;
    render::check(vkEnumeratePhysicalDevices(instance, &count, nullptr),
                  "vkEnumeratePhysicalDevices(instance,&count,nullptr)", 1063);
    std::vector<VkPhysicalDevice> gpus(count);
    render::check(vkEnumeratePhysicalDevices(instance, &count, gpus.data()),
                  "vkEnumeratePhysicalDevices(instance,&count,gpus.data())", 1063);
    gpus.resize(count);
    return gpus;
}

bool offersSwapchain(VkPhysicalDevice physical) {
    uint32_t count = 0;
    vkEnumerateDeviceExtensionProperties(physical, nullptr, &count, nullptr);
    std::vector<VkExtensionProperties> extensions(count);
    vkEnumerateDeviceExtensionProperties(physical, nullptr, &count, extensions.data());
    extensions.resize(count);
    for (const VkExtensionProperties& extension : extensions) {
        if (std::strcmp(extension.extensionName, VK_KHR_SWAPCHAIN_EXTENSION_NAME) == 0) return true;
    }
    return false;
}

render::GpuCandidate describeGpu(VkPhysicalDevice physical, VkSurfaceKHR surface) {
    VkPhysicalDeviceProperties properties{};
    vkGetPhysicalDeviceProperties(physical, &properties);
    render::GpuCandidate candidate;
    candidate.name = properties.deviceName;
    candidate.discrete = properties.deviceType == VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU;
    candidate.canSwap = offersSwapchain(physical);
    uint32_t count = 0;
    vkGetPhysicalDeviceQueueFamilyProperties(physical, &count, nullptr);
    std::vector<VkQueueFamilyProperties> families(count);
    vkGetPhysicalDeviceQueueFamilyProperties(physical, &count, families.data());
    for (uint32_t i = 0; i < count; ++i) {
        // A failed query leaves the answer at "no", so it never counts as support.
        VkBool32 supported = VK_FALSE;
        vkGetPhysicalDeviceSurfaceSupportKHR(physical, i, surface, &supported);
        candidate.families.push_back({(families[i].queueFlags & VK_QUEUE_GRAPHICS_BIT) != 0, supported == VK_TRUE});
    }
    return candidate;
}

void choosePhysicalDevice(GpuState& gpu) {
    const std::vector<VkPhysicalDevice> gpus = listGpus(gpu.instance);
    std::vector<render::GpuCandidate> candidates;
    for (VkPhysicalDevice physical : gpus) candidates.push_back(describeGpu(physical, gpu.surface));
    const render::GpuChoice choice = render::chooseGpu(candidates);
    if (choice.gpu < 0) throw std::runtime_error("No Vulkan graphics/present GPU");
    gpu.physical = gpus[static_cast<std::size_t>(choice.gpu)];
    gpu.queueFamily = choice.family;
    // One write: the loading window's thread prints at the same time.
    std::cout << ("Selected GPU: " + candidates[static_cast<std::size_t>(choice.gpu)].name + "\n") << std::flush;
}

void createLogicalDevice(GpuState& gpu) {
    const float priority = 1.0f;
    VkDeviceQueueCreateInfo qi{};
    qi.sType = VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO;
    qi.queueFamilyIndex = gpu.queueFamily;
    qi.queueCount = 1;
    qi.pQueuePriorities = &priority;
    const char* extension = VK_KHR_SWAPCHAIN_EXTENSION_NAME;
    VkDeviceCreateInfo di{};
    di.sType = VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO;
    di.queueCreateInfoCount = 1;
    di.pQueueCreateInfos = &qi;
    di.enabledExtensionCount = 1;
    di.ppEnabledExtensionNames = &extension;
    render::check(vkCreateDevice(gpu.physical, &di, nullptr, &gpu.dev), "vkCreateDevice(physical,&di,nullptr,&dev)", 1065);
    vkGetDeviceQueue(gpu.dev, gpu.queueFamily, 0, &gpu.queue);
}

void createCommandPool(GpuState& gpu) {
    VkCommandPoolCreateInfo pci{};
    pci.sType = VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO;
    pci.flags = VK_COMMAND_POOL_CREATE_RESET_COMMAND_BUFFER_BIT;
    pci.queueFamilyIndex = gpu.queueFamily;
    render::check(vkCreateCommandPool(gpu.dev, &pci, nullptr, &gpu.pool), "vkCreateCommandPool(dev,&pci,nullptr,&pool)",
                  1066);
}

}  // namespace

void App::createWindowAndDevice() {
    if (!glfwInit()) throw std::runtime_error("GLFW failed");
    gpu.glfwStarted = true;
    throwIfLoadCancelled(ui.loading, 22, "Подготовка графики");
    openWindow(gpu, *this);
    createInstance(gpu);
    render::check(glfwCreateWindowSurface(gpu.instance, gpu.win, nullptr, &gpu.surface),
                  "glfwCreateWindowSurface(instance,win,nullptr,&surface)", 1062);
    choosePhysicalDevice(gpu);
    createLogicalDevice(gpu);
    createCommandPool(gpu);
}

void App::createFrameSync() {
    VkSemaphoreCreateInfo si{};
    si.sType = VK_STRUCTURE_TYPE_SEMAPHORE_CREATE_INFO;
    render::check(vkCreateSemaphore(gpu.dev, &si, nullptr, &gpu.available), "vkCreateSemaphore(dev,&si,nullptr,&available)",
                  1066);
    VkFenceCreateInfo fi{};
    fi.sType = VK_STRUCTURE_TYPE_FENCE_CREATE_INFO;
    fi.flags = VK_FENCE_CREATE_SIGNALED_BIT;
    render::check(vkCreateFence(gpu.dev, &fi, nullptr, &gpu.fence), "vkCreateFence(dev,&fi,nullptr,&fence)", 1066);
}

void App::onScroll(GLFWwindow*, double, double yOffset) {
    if (ui.textEntryActive) {
        ui.textViewLine = ui::scrolledTextLine(ui.textViewLine, ui.textViewLineCount, yOffset);
    } else {
        player.scrollAccumulator += yOffset;
    }
}
