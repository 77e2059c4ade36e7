#include "render/vulkan/screenshot.h"

#include <cstring>
#include <exception>

#include "app/app.h"
#include "render/vulkan/gpu_image.h"
#include "render/vulkan/vulkan_check.h"

namespace render {

std::optional<platform::PixelOrder> capturePixelOrder(VkFormat format) {
    switch (format) {
        case VK_FORMAT_B8G8R8A8_SRGB:
        case VK_FORMAT_B8G8R8A8_UNORM:
            return platform::PixelOrder::Bgra;
        case VK_FORMAT_R8G8B8A8_SRGB:
        case VK_FORMAT_R8G8B8A8_UNORM:
            return platform::PixelOrder::Rgba;
        default:
            return std::nullopt;
    }
}

void makeOpaque(std::vector<uint8_t>& pixels) {
    for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
}

bool writeCapture(const std::filesystem::path& path, uint32_t width, uint32_t height,
                  std::vector<uint8_t> pixels, platform::PixelOrder order) {
    makeOpaque(pixels);
    try {
        platform::encodePng(path, width, height, pixels.data(), order);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace render

namespace {

constexpr int kCaptureLine = 1318;

// The read-back buffer and the one-time command buffer, released however the capture ends.
struct CaptureResources {
    explicit CaptureResources(App& app) : app(app) {}
    ~CaptureResources() {
        const VkDevice dev = app.gpu.dev;
        if (mapped) vkUnmapMemory(dev, memory);
        if (cmd) vkFreeCommandBuffers(dev, app.gpu.pool, 1, &cmd);
        if (buffer) vkDestroyBuffer(dev, buffer, nullptr);
        if (memory) vkFreeMemory(dev, memory, nullptr);
    }
    CaptureResources(const CaptureResources&) = delete;
    CaptureResources& operator=(const CaptureResources&) = delete;

    App& app;
    VkBuffer buffer = VK_NULL_HANDLE;
    VkDeviceMemory memory = VK_NULL_HANDLE;
    VkCommandBuffer cmd = VK_NULL_HANDLE;
    void* mapped = nullptr;
};


void recordCopy(VkCommandBuffer cmd, VkImage image, VkBuffer buffer, uint32_t width, uint32_t height) {
    render::recordLayoutChange(cmd, image, VK_IMAGE_LAYOUT_PRESENT_SRC_KHR, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL,
                 VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT, VK_ACCESS_TRANSFER_READ_BIT,
                 VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT, VK_PIPELINE_STAGE_TRANSFER_BIT);
    VkBufferImageCopy region{};
    region.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1};
    region.imageExtent = {width, height, 1};
    vkCmdCopyImageToBuffer(cmd, image, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, buffer, 1, &region);
    render::recordLayoutChange(cmd, image, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, VK_IMAGE_LAYOUT_PRESENT_SRC_KHR,
                 VK_ACCESS_TRANSFER_READ_BIT, 0, VK_PIPELINE_STAGE_TRANSFER_BIT,
                 VK_PIPELINE_STAGE_BOTTOM_OF_PIPE_BIT);
}

void submitAndWait(const GpuState& gpu, CaptureResources& res, VkImage image, VkBuffer buffer) {
    VkCommandBufferAllocateInfo alloc{};
    alloc.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO;
    alloc.commandPool = gpu.pool;
    alloc.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
    alloc.commandBufferCount = 1;
    render::check(vkAllocateCommandBuffers(gpu.dev, &alloc, &res.cmd),
                  "vkAllocateCommandBuffers(dev,&alloc,&cmd)", kCaptureLine);
    VkCommandBufferBeginInfo begin{};
    begin.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO;
    begin.flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT;
    render::check(vkBeginCommandBuffer(res.cmd, &begin), "vkBeginCommandBuffer(cmd,&begin)", kCaptureLine);
    recordCopy(res.cmd, image, buffer, gpu.swapchainWidth, gpu.swapchainHeight);
    render::check(vkEndCommandBuffer(res.cmd), "vkEndCommandBuffer(cmd)", kCaptureLine);
    VkSubmitInfo submit{};
    submit.sType = VK_STRUCTURE_TYPE_SUBMIT_INFO;
    submit.commandBufferCount = 1;
    submit.pCommandBuffers = &res.cmd;
    render::check(vkQueueSubmit(gpu.queue, 1, &submit, VK_NULL_HANDLE),
                  "vkQueueSubmit(queue,1,&submit,VK_NULL_HANDLE)", kCaptureLine);
    render::check(vkQueueWaitIdle(gpu.queue), "vkQueueWaitIdle(queue)", kCaptureLine);
}

}  // namespace

void App::captureScreenshot(uint32_t imageIndex) {
    if (gpu.capturePath.empty()) return;
    const std::optional<platform::PixelOrder> order = render::capturePixelOrder(swapchain.format);
    // Images that cannot be copied, or whose bytes are not RGBA or BGRA, give no picture.
    if (!swapchain.copyable || !order || imageIndex >= swapchain.images.size()) {
        gpu.capturePath.clear();
        return;
    }
    render::check(vkQueueWaitIdle(gpu.queue), "vkQueueWaitIdle(queue)", kCaptureLine);
    const uint32_t width = gpu.swapchainWidth, height = gpu.swapchainHeight;
    const uint64_t bytes = uint64_t{width} * height * 4;
    CaptureResources res(*this);
    const std::vector<uint8_t> zeros(bytes);
    vk::createBuffer(*this, bytes, VK_BUFFER_USAGE_TRANSFER_DST_BIT, res.buffer, res.memory, zeros.data());
    submitAndWait(gpu, res, swapchain.images[imageIndex], res.buffer);
    render::check(vkMapMemory(gpu.dev, res.memory, 0, bytes, 0, &res.mapped),
                  "vkMapMemory(dev,mem,0,bytes,0,&mapped)", kCaptureLine);
    const auto* first = static_cast<const uint8_t*>(res.mapped);
    render::writeCapture(gpu.capturePath, width, height, std::vector<uint8_t>(first, first + bytes), *order);
    gpu.capturePath.clear();
}
