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

// The pool takes the set with it.
void destroyDescriptors(VkDevice dev, DescriptorState& d, VkDescriptorSet& set) {
    if (d.atlasPool) vkDestroyDescriptorPool(dev, d.atlasPool, nullptr);
    d.atlasPool = VK_NULL_HANDLE;
    set = VK_NULL_HANDLE;
    if (d.atlasSetLayout) vkDestroyDescriptorSetLayout(dev, d.atlasSetLayout, nullptr);
    d.atlasSetLayout = VK_NULL_HANDLE;
    if (d.contentMeta) vkDestroyBuffer(dev, d.contentMeta, nullptr);
    d.contentMeta = VK_NULL_HANDLE;
    if (d.contentMetaMemory) vkFreeMemory(dev, d.contentMetaMemory, nullptr);
    d.contentMetaMemory = VK_NULL_HANDLE;
}

void destroySlot(VkDevice dev, BufferSlot& slot) {
    if (slot.buffer) vkDestroyBuffer(dev, slot.buffer, nullptr);
    if (slot.memory) vkFreeMemory(dev, slot.memory, nullptr);
    slot = BufferSlot{};
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

// GLFW allows terminating when it never started, so a start-up that failed before the window
// still ends cleanly.
void closeWindow(GpuState& gpu) {
    if (gpu.win) glfwDestroyWindow(gpu.win);
    gpu.win = nullptr;
    glfwTerminate();
    gpu.glfwStarted = false;
}

}  // namespace

void App::shutdown() {
    quietly([this] { closeLoadingWindow(ui.loading); });
    quietly([this] { audio::closeOutput(mixer); });

    // Background tasks finish before anything their results would touch is destroyed.
    settle(lighting.task);
    settle(stream.task);
    settle(meshing.task);

    if (gpu.dev) {
        vkDeviceWaitIdle(gpu.dev);

        render::destroyBufferSlot(gpu.dev, body.portrait);

        for (auto& [key, mesh] : world.meshes) destroyMesh(mesh);
        world.meshes.clear();

        destroySwapchainResources();

        destroySlot(gpu.dev, functional.buffer);
        destroySlot(gpu.dev, functional.particleBuffer);
        render::destroyBufferSlot(gpu.dev, body.heldContent);
        render::destroyBufferSlot(gpu.dev, body.playerVertexBuffer);
        render::destroyBufferSlot(gpu.dev, body.playerIndexBuffer);
        destroySlot(gpu.dev, dynamicPass.dropped);

        destroyFrameSync(gpu);

        destroyDescriptors(gpu.dev, descriptors, atlases.atlasSet);

        render::destroyAtlases(gpu.dev, atlases);

        destroyCommandPool(gpu);

        render::destroyBufferSlot(gpu.dev, body.remoteVertexBuffer);
        render::destroyBufferSlot(gpu.dev, body.remoteIndexBuffer);

        destroyDevice(gpu);
    }
    destroyInstance(gpu);
    closeWindow(gpu);
}
