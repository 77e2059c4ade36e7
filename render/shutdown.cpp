#include <GLFW/glfw3.h>

#include "app/app.h"
#include "audio/mixer.h"
#include "ui/loading_window.h"

namespace {

// Shutdown also runs on the failure path, so a closer that throws must not stop the rest.
template <typename Step>
void quietly(Step step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

void destroyFrameSync(GpuState& gpu) {
    if (gpu.fence) vkDestroyFence(gpu.dev, gpu.fence, nullptr);
    gpu.fence = VK_NULL_HANDLE;
    if (gpu.available) vkDestroySemaphore(gpu.dev, gpu.available, nullptr);
    gpu.available = VK_NULL_HANDLE;
}

void destroyCommandPool(GpuState& gpu) {
    if (gpu.pool) vkDestroyCommandPool(gpu.dev, gpu.pool, nullptr);
    gpu.pool = VK_NULL_HANDLE;
}

void destroyDevice(GpuState& gpu) {
    vkDestroyDevice(gpu.dev, nullptr);
    gpu.dev = VK_NULL_HANDLE;
    gpu.queue = VK_NULL_HANDLE;
    gpu.physical = VK_NULL_HANDLE;
}

void destroyInstance(GpuState& gpu) {
    if (gpu.surface) vkDestroySurfaceKHR(gpu.instance, gpu.surface, nullptr);
    gpu.surface = VK_NULL_HANDLE;
    if (gpu.instance) vkDestroyInstance(gpu.instance, nullptr);
    gpu.instance = VK_NULL_HANDLE;
}

void closeWindow(GpuState& gpu) {
    if (gpu.win) glfwDestroyWindow(gpu.win);
    gpu.win = nullptr;
    if (gpu.glfwStarted) glfwTerminate();
    gpu.glfwStarted = false;
}

}  // namespace

void App::shutdown() {
    quietly([this] { closeLoadingWindow(ui.loading); });
    quietly([this] { audio::closeOutput(mixer); });

    if (gpu.dev) {
        vkDeviceWaitIdle(gpu.dev);

        destroyFrameSync(gpu);

        destroyCommandPool(gpu);

        destroyDevice(gpu);
    }
    destroyInstance(gpu);
    closeWindow(gpu);
}
