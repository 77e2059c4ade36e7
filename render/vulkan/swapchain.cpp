#include "render/vulkan/swapchain.h"

#include <GLFW/glfw3.h>

#include "app/app.h"
#include "render/vulkan/gpu_image.h"
#include "render/vulkan/vulkan_check.h"

namespace {

// Waits while the window is minimised; false when it stays 0 x 0 because it is closing.
bool waitForFramebuffer(GLFWwindow* window, uint32_t& width, uint32_t& height) {
    int w = 0, h = 0;
    for (;;) {
        glfwGetFramebufferSize(window, &w, &h);
        if ((w != 0 && h != 0) || glfwWindowShouldClose(window)) break;
        glfwWaitEvents();
    }
    width = static_cast<uint32_t>(w);
    height = static_cast<uint32_t>(h);
    return w != 0 && h != 0;
}

std::vector<VkSurfaceFormatKHR> surfaceFormats(const GpuState& gpu) {
    uint32_t n = 0;
    render::check(vkGetPhysicalDeviceSurfaceFormatsKHR(gpu.physical, gpu.surface, &n, nullptr),
                  "vkGetPhysicalDeviceSurfaceFormatsKHR(physical,surface,&n,nullptr)", 1069);
    std::vector<VkSurfaceFormatKHR> formats(n);
    render::check(vkGetPhysicalDeviceSurfaceFormatsKHR(gpu.physical, gpu.surface, &n, formats.data()),
                  "vkGetPhysicalDeviceSurfaceFormatsKHR(physical,surface,&n,formats.data())", 1069);
    formats.resize(n);
    return formats;
}

// The two queries are not checked: an empty answer leaves FIFO, which every surface offers.
std::vector<VkPresentModeKHR> presentModes(const GpuState& gpu) {
    uint32_t n = 0;
    vkGetPhysicalDeviceSurfacePresentModesKHR(gpu.physical, gpu.surface, &n, nullptr);
    std::vector<VkPresentModeKHR> modes(n);
    vkGetPhysicalDeviceSurfacePresentModesKHR(gpu.physical, gpu.surface, &n, modes.data());
    modes.resize(n);
    return modes;
}

void createSwapchainObject(const GpuState& gpu, SwapchainState& sc, const VkSurfaceCapabilitiesKHR& caps,
                           VkSurfaceFormatKHR format, VkExtent2D extent, bool verticalSync) {
    const VkImageUsageFlags usage = render::chooseImageUsage(caps.supportedUsageFlags);
    VkSwapchainCreateInfoKHR ci{};
    ci.sType = VK_STRUCTURE_TYPE_SWAPCHAIN_CREATE_INFO_KHR;
    ci.surface = gpu.surface;
    ci.minImageCount = render::chooseImageCount(caps);
    ci.imageFormat = format.format;
    ci.imageColorSpace = format.colorSpace;
    ci.imageExtent = extent;
    ci.imageArrayLayers = 1;
    ci.imageUsage = usage;
    ci.imageSharingMode = VK_SHARING_MODE_EXCLUSIVE;
    ci.preTransform = caps.currentTransform;
    ci.compositeAlpha = render::chooseCompositeAlpha(caps.supportedCompositeAlpha);
    ci.presentMode = render::choosePresentMode(
        verticalSync, verticalSync ? std::vector<VkPresentModeKHR>{} : presentModes(gpu));
    ci.clipped = VK_TRUE;
    sc.copyable = (usage & VK_IMAGE_USAGE_TRANSFER_SRC_BIT) != 0;
    render::check(vkCreateSwapchainKHR(gpu.dev, &ci, nullptr, &sc.swap),
                  "vkCreateSwapchainKHR(dev,&ci,nullptr,&swap)", 1069);
}

void fetchImages(const GpuState& gpu, SwapchainState& sc) {
    uint32_t n = 0;
    render::check(vkGetSwapchainImagesKHR(gpu.dev, sc.swap, &n, nullptr),
                  "vkGetSwapchainImagesKHR(dev,swap,&n,nullptr)", 1069);
    sc.images.resize(n);
    render::check(vkGetSwapchainImagesKHR(gpu.dev, sc.swap, &n, sc.images.data()),
                  "vkGetSwapchainImagesKHR(dev,swap,&n,images.data())", 1069);
    sc.images.resize(n);
}

void createRenderFinished(const GpuState& gpu, SwapchainState& sc) {
    sc.renderFinished.assign(sc.images.size(), VK_NULL_HANDLE);
    VkSemaphoreCreateInfo semaphoreInfo{};
    semaphoreInfo.sType = VK_STRUCTURE_TYPE_SEMAPHORE_CREATE_INFO;
    for (VkSemaphore& semaphore : sc.renderFinished) {
        render::check(vkCreateSemaphore(gpu.dev, &semaphoreInfo, nullptr, &semaphore),
                      "vkCreateSemaphore(dev,&semaphoreInfo,nullptr,&semaphore)", 1069);
    }
}

void createImageViews(const GpuState& gpu, SwapchainState& sc) {
    for (VkImage image : sc.images) {
        VkImageView view = VK_NULL_HANDLE;
        render::createImageView(gpu.dev, image, sc.format, VK_IMAGE_ASPECT_COLOR_BIT,
                                {"vkCreateImageView(dev,&vi,nullptr,&view)", 1070}, view);
        sc.views.push_back(view);
    }
}

const render::ImageMemorySites kDepthSites = {
    {"vkCreateImage(dev,&img,nullptr,&depth)", 1071},
    {"vkAllocateMemory(dev,&ma,nullptr,&depthMem)", 1071},
    {"vkBindImageMemory(dev,depth,depthMem,0)", 1071},
};

void createDepthBuffer(App& app) {
    const GpuState& gpu = app.gpu;
    SwapchainState& sc = app.swapchain;
    render::createDeviceImage(app, {gpu.swapchainWidth, gpu.swapchainHeight}, gpu.depthFormat,
                              VK_IMAGE_USAGE_DEPTH_STENCIL_ATTACHMENT_BIT, kDepthSites, sc.depth,
                              sc.depthMem);
    render::createImageView(gpu.dev, sc.depth, gpu.depthFormat, VK_IMAGE_ASPECT_DEPTH_BIT,
                            {"vkCreateImageView(dev,&dvi,nullptr,&depthView)", 1071}, sc.depthView);
}

VkAttachmentDescription attachment(VkFormat format, VkAttachmentStoreOp store, VkImageLayout finalLayout) {
    VkAttachmentDescription a{};
    a.format = format;
    a.samples = VK_SAMPLE_COUNT_1_BIT;
    a.loadOp = VK_ATTACHMENT_LOAD_OP_CLEAR;
    a.storeOp = store;
    a.stencilLoadOp = VK_ATTACHMENT_LOAD_OP_LOAD;
    a.stencilStoreOp = VK_ATTACHMENT_STORE_OP_STORE;
    a.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    a.finalLayout = finalLayout;
    return a;
}

void createRenderPass(const GpuState& gpu, SwapchainState& sc) {
    const VkAttachmentDescription attachments[2] = {
        attachment(sc.format, VK_ATTACHMENT_STORE_OP_STORE, VK_IMAGE_LAYOUT_PRESENT_SRC_KHR),
        attachment(gpu.depthFormat, VK_ATTACHMENT_STORE_OP_DONT_CARE,
                   VK_IMAGE_LAYOUT_DEPTH_STENCIL_ATTACHMENT_OPTIMAL)};
    const VkAttachmentReference colour{0, VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL};
    const VkAttachmentReference depth{1, VK_IMAGE_LAYOUT_DEPTH_STENCIL_ATTACHMENT_OPTIMAL};
    VkSubpassDescription subpass{};
    subpass.pipelineBindPoint = VK_PIPELINE_BIND_POINT_GRAPHICS;
    subpass.colorAttachmentCount = 1;
    subpass.pColorAttachments = &colour;
    subpass.pDepthStencilAttachment = &depth;
    VkSubpassDependency dependency{};
    dependency.srcSubpass = VK_SUBPASS_EXTERNAL;
    dependency.dstSubpass = 0;
    dependency.srcStageMask =
        VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT | VK_PIPELINE_STAGE_EARLY_FRAGMENT_TESTS_BIT;
    dependency.dstStageMask = dependency.srcStageMask;
    dependency.dstAccessMask =
        VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT | VK_ACCESS_DEPTH_STENCIL_ATTACHMENT_WRITE_BIT;
    VkRenderPassCreateInfo rp{};
    rp.sType = VK_STRUCTURE_TYPE_RENDER_PASS_CREATE_INFO;
    rp.attachmentCount = 2;
    rp.pAttachments = attachments;
    rp.subpassCount = 1;
    rp.pSubpasses = &subpass;
    rp.dependencyCount = 1;
    rp.pDependencies = &dependency;
    render::check(vkCreateRenderPass(gpu.dev, &rp, nullptr, &sc.pass),
                  "vkCreateRenderPass(dev,&rp,nullptr,&pass)", 1072);
}

void createFramebuffers(const GpuState& gpu, SwapchainState& sc) {
    for (VkImageView view : sc.views) {
        const VkImageView attachments[2] = {view, sc.depthView};
        VkFramebufferCreateInfo fb{};
        fb.sType = VK_STRUCTURE_TYPE_FRAMEBUFFER_CREATE_INFO;
        fb.renderPass = sc.pass;
        fb.attachmentCount = 2;
        fb.pAttachments = attachments;
        fb.width = gpu.swapchainWidth;
        fb.height = gpu.swapchainHeight;
        fb.layers = 1;
        VkFramebuffer f = VK_NULL_HANDLE;
        render::check(vkCreateFramebuffer(gpu.dev, &fb, nullptr, &f),
                      "vkCreateFramebuffer(dev,&fb,nullptr,&f)", 1106);
        sc.framebuffers.push_back(f);
    }
}

void allocateCommandBuffers(const GpuState& gpu, SwapchainState& sc) {
    sc.cmds.assign(sc.images.size(), VK_NULL_HANDLE);
    VkCommandBufferAllocateInfo alloc{};
    alloc.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO;
    alloc.commandPool = gpu.pool;
    alloc.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
    alloc.commandBufferCount = static_cast<uint32_t>(sc.cmds.size());
    const VkResult result = vkAllocateCommandBuffers(gpu.dev, &alloc, sc.cmds.data());
    // A failed allocation writes nothing usable; an empty list keeps the teardown from freeing it.
    if (result != VK_SUCCESS) sc.cmds.clear();
    render::check(result, "vkAllocateCommandBuffers(dev,&alloc,cmds.data())", 1106);
}

template <typename Handle, typename Destroy>
void destroyEach(std::vector<Handle>& handles, Destroy destroy) {
    for (Handle handle : handles) {
        if (handle) destroy(handle);
    }
    handles.clear();
}

template <typename Handle, typename Destroy>
void destroyOne(Handle& handle, Destroy destroy) {
    if (handle) destroy(handle);
    handle = VK_NULL_HANDLE;
}

}  // namespace

void App::createSwapchain() {
    uint32_t width = 0, height = 0;
    if (!waitForFramebuffer(gpu.win, width, height)) return;
    render::check(vkDeviceWaitIdle(gpu.dev), "vkDeviceWaitIdle(dev)", 1069);
    destroySwapchainResources();

    VkSurfaceCapabilitiesKHR caps{};
    render::check(vkGetPhysicalDeviceSurfaceCapabilitiesKHR(gpu.physical, gpu.surface, &caps),
                  "vkGetPhysicalDeviceSurfaceCapabilitiesKHR(physical,surface,&caps)", 1069);
    const VkSurfaceFormatKHR format = render::chooseSurfaceFormat(surfaceFormats(gpu));
    swapchain.format = format.format;
    const VkExtent2D extent = render::chooseExtent(caps, width, height);
    gpu.swapchainWidth = extent.width;
    gpu.swapchainHeight = extent.height;

    createSwapchainObject(gpu, swapchain, caps, format, extent, settings.verticalSync != 0);
    fetchImages(gpu, swapchain);
    createRenderFinished(gpu, swapchain);
    createImageViews(gpu, swapchain);
    createDepthBuffer(*this);
    createRenderPass(gpu, swapchain);
    createPipelines();
    createFramebuffers(gpu, swapchain);
    allocateCommandBuffers(gpu, swapchain);
}

void App::destroySwapchainResources() {
    const VkDevice dev = gpu.dev;
    if (!dev) return;
    SwapchainState& sc = swapchain;
    destroyEach(sc.renderFinished, [dev](VkSemaphore s) { vkDestroySemaphore(dev, s, nullptr); });
    destroyEach(sc.framebuffers, [dev](VkFramebuffer f) { vkDestroyFramebuffer(dev, f, nullptr); });
    const auto destroyPipeline = [dev](VkPipeline p) { vkDestroyPipeline(dev, p, nullptr); };
    for (VkPipeline* pipeline :
         {&sc.waterPipeline, &sc.skyPipeline, &sc.daySkyPipeline, &sc.crosshairPipeline,
          &sc.iconlessInterfacePipeline, &sc.chunkSolidPipeline, &sc.chunkPlainPipeline,
          &sc.chunkWaterPipeline, &sc.portraitPipeline142, &sc.handPipeline, &sc.voxelPipeline})
        destroyOne(*pipeline, destroyPipeline);
    destroyOne(sc.layout, [dev](VkPipelineLayout l) { vkDestroyPipelineLayout(dev, l, nullptr); });
    destroyOne(sc.pass, [dev](VkRenderPass p) { vkDestroyRenderPass(dev, p, nullptr); });
    destroyOne(sc.depthView, [dev](VkImageView v) { vkDestroyImageView(dev, v, nullptr); });
    destroyOne(sc.depth, [dev](VkImage i) { vkDestroyImage(dev, i, nullptr); });
    destroyOne(sc.depthMem, [dev](VkDeviceMemory m) { vkFreeMemory(dev, m, nullptr); });
    destroyEach(sc.views, [dev](VkImageView v) { vkDestroyImageView(dev, v, nullptr); });
    if (!sc.cmds.empty())
        vkFreeCommandBuffers(dev, gpu.pool, static_cast<uint32_t>(sc.cmds.size()), sc.cmds.data());
    sc.cmds.clear();
    destroyOne(sc.swap, [dev](VkSwapchainKHR s) { vkDestroySwapchainKHR(dev, s, nullptr); });
    sc.images.clear();
}
