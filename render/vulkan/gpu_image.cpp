#include "render/vulkan/gpu_image.h"

#include "app/app.h"
#include "render/vulkan/vulkan_check.h"

namespace render {

const ImageUploadSites kBlockAtlasSites = {
    {"vkCreateImage(dev,&img,nullptr,&atlasImage)", 931},
    {"vkAllocateMemory(dev,&ai,nullptr,&atlasMemory)", 935},
    {"vkBindImageMemory(dev,atlasImage,atlasMemory,0)", 936},
    {"vkAllocateCommandBuffers(dev,&alloc,&cmd)", 939},
    {"vkBeginCommandBuffer(cmd,&begin)", 942},
    {"vkEndCommandBuffer(cmd)", 956},
    {"vkQueueSubmit(queue,1,&submit,VK_NULL_HANDLE)", 959},
    {"vkQueueWaitIdle(queue)", 960},
    {"vkCreateImageView(dev,&vi,nullptr,&atlasView)", 967},
    {"vkCreateSampler(dev,&si,nullptr,&atlasSampler)", 973},
};

const ImageUploadSites kUiAtlasSites = {
    {"vkCreateImage(dev,&img,nullptr,&uiImage)", 876},
    {"vkAllocateMemory(dev,&ai,nullptr,&uiMemory)", 880},
    {"vkBindImageMemory(dev,uiImage,uiMemory,0)", 881},
    {"vkAllocateCommandBuffers(dev,&alloc,&cmd)", 884},
    {"vkBeginCommandBuffer(cmd,&begin)", 887},
    {"vkEndCommandBuffer(cmd)", 901},
    {"vkQueueSubmit(queue,1,&submit,VK_NULL_HANDLE)", 904},
    {"vkQueueWaitIdle(queue)", 905},
    {"vkCreateImageView(dev,&vi,nullptr,&uiView)", 912},
    {"vkCreateSampler(dev,&si,nullptr,&uiSampler)", 918},
};

namespace {

void check(VkResult result, const CheckSite& site) {
    render::check(result, site.call, site.line);
}

// The staging buffer and the command buffer go whichever way the upload ends.
class UploadScratch {
public:
    explicit UploadScratch(const GpuState& gpu) : gpu_(gpu) {}
    ~UploadScratch() {
        if (commands) vkFreeCommandBuffers(gpu_.dev, gpu_.pool, 1, &commands);
        if (staging) vkDestroyBuffer(gpu_.dev, staging, nullptr);
        if (stagingMemory) vkFreeMemory(gpu_.dev, stagingMemory, nullptr);
    }
    UploadScratch(const UploadScratch&) = delete;
    UploadScratch& operator=(const UploadScratch&) = delete;

    VkBuffer staging = VK_NULL_HANDLE;
    VkDeviceMemory stagingMemory = VK_NULL_HANDLE;
    VkCommandBuffer commands = VK_NULL_HANDLE;

private:
    const GpuState& gpu_;
};

}  // namespace

void createDeviceImage(App& app, VkExtent2D size, VkFormat format, VkImageUsageFlags usage,
                       const ImageMemorySites& sites, VkImage& image, VkDeviceMemory& memory) {
    const VkDevice dev = app.gpu.dev;
    VkImageCreateInfo img{};
    img.sType = VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO;
    img.imageType = VK_IMAGE_TYPE_2D;
    img.format = format;
    img.extent = {size.width, size.height, 1};
    img.mipLevels = 1;
    img.arrayLayers = 1;
    img.samples = VK_SAMPLE_COUNT_1_BIT;
    img.tiling = VK_IMAGE_TILING_OPTIMAL;
    img.usage = usage;
    img.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    img.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    check(vkCreateImage(dev, &img, nullptr, &image), sites.createImage);
    VkMemoryRequirements requirements{};
    vkGetImageMemoryRequirements(dev, image, &requirements);
    VkMemoryAllocateInfo ai{};
    ai.sType = VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO;
    ai.allocationSize = requirements.size;
    ai.memoryTypeIndex = app.findMemoryType(requirements.memoryTypeBits, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT);
    check(vkAllocateMemory(dev, &ai, nullptr, &memory), sites.allocateMemory);
    check(vkBindImageMemory(dev, image, memory, 0), sites.bindMemory);
}

void createImage(App& app, VkExtent2D size, VkFormat format, VkImageUsageFlags usage,
                 const ImageUploadSites& sites, GpuImage& made) {
    createDeviceImage(app, size, format, usage, {sites.createImage, sites.allocateMemory, sites.bindMemory},
                      made.image, made.memory);
}

namespace {

void recordCopy(VkCommandBuffer cmd, VkBuffer staging, VkImage image, const platform::Image& pixels) {
    recordLayoutChange(cmd, image, VK_IMAGE_LAYOUT_UNDEFINED, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 0,
                       VK_ACCESS_TRANSFER_WRITE_BIT, VK_PIPELINE_STAGE_TOP_OF_PIPE_BIT, VK_PIPELINE_STAGE_TRANSFER_BIT);
    VkBufferImageCopy region{};
    region.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1};
    region.imageExtent = {pixels.width, pixels.height, 1};
    vkCmdCopyBufferToImage(cmd, staging, image, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, 1, &region);
    recordLayoutChange(cmd, image, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL,
                       VK_ACCESS_TRANSFER_WRITE_BIT, VK_ACCESS_SHADER_READ_BIT, VK_PIPELINE_STAGE_TRANSFER_BIT,
                       VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT);
}

void copyPixels(App& app, const platform::Image& pixels, VkImage image, const ImageUploadSites& sites) {
    const GpuState& gpu = app.gpu;
    UploadScratch scratch(gpu);
    vk::createBuffer(app, pixels.pixels.size(), VK_BUFFER_USAGE_TRANSFER_SRC_BIT, scratch.staging, scratch.stagingMemory,
                     pixels.pixels.data());
    submitOneTime(gpu, sites, scratch.commands,
                  [&](VkCommandBuffer cmd) { recordCopy(cmd, scratch.staging, image, pixels); });
}

}  // namespace

void createImageView(VkDevice dev, VkImage image, VkFormat format, VkImageAspectFlags aspect,
                     const CheckSite& site, VkImageView& view) {
    VkImageViewCreateInfo vi{};
    vi.sType = VK_STRUCTURE_TYPE_IMAGE_VIEW_CREATE_INFO;
    vi.image = image;
    vi.viewType = VK_IMAGE_VIEW_TYPE_2D;
    vi.format = format;
    vi.subresourceRange = {aspect, 0, 1, 0, 1};
    check(vkCreateImageView(dev, &vi, nullptr, &view), site);
}

void createView(VkDevice dev, VkFormat format, const ImageUploadSites& sites, GpuImage& made) {
    createImageView(dev, made.image, format, VK_IMAGE_ASPECT_COLOR_BIT, sites.createView, made.view);
}

void createSampler(VkDevice dev, VkFilter filter, const ImageUploadSites& sites, GpuImage& made) {
    VkSamplerCreateInfo si{};
    si.sType = VK_STRUCTURE_TYPE_SAMPLER_CREATE_INFO;
    si.magFilter = filter;
    si.minFilter = filter;
    si.mipmapMode = VK_SAMPLER_MIPMAP_MODE_NEAREST;
    si.addressModeU = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
    si.addressModeV = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
    si.addressModeW = VK_SAMPLER_ADDRESS_MODE_CLAMP_TO_EDGE;
    si.anisotropyEnable = VK_FALSE;
    si.compareEnable = VK_FALSE;
    si.minLod = 0.0f;
    si.maxLod = 0.0f;
    si.borderColor = VK_BORDER_COLOR_FLOAT_TRANSPARENT_BLACK;
    si.unnormalizedCoordinates = VK_FALSE;
    check(vkCreateSampler(dev, &si, nullptr, &made.sampler), sites.createSampler);
}

GpuImage uploadImage(App& app, const platform::Image& pixels, ImageFormat format, const ImageUploadSites& sites) {
    GpuImage made;
    try {
        createImage(app, {pixels.width, pixels.height}, format.format,
                    VK_IMAGE_USAGE_TRANSFER_DST_BIT | VK_IMAGE_USAGE_SAMPLED_BIT, sites, made);
        copyPixels(app, pixels, made.image, sites);
        createView(app.gpu.dev, format.format, sites, made);
        createSampler(app.gpu.dev, format.filter, sites, made);
    } catch (...) {
        destroyImage(app.gpu.dev, made);
        throw;
    }
    return made;
}

void submitOneTime(const GpuState& gpu, const ImageUploadSites& sites, VkCommandBuffer& commands,
                   const std::function<void(VkCommandBuffer)>& record) {
    VkCommandBufferAllocateInfo alloc{};
    alloc.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO;
    alloc.commandPool = gpu.pool;
    alloc.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
    alloc.commandBufferCount = 1;
    check(vkAllocateCommandBuffers(gpu.dev, &alloc, &commands), sites.allocateCommands);
    VkCommandBufferBeginInfo begin{};
    begin.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO;
    begin.flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT;
    check(vkBeginCommandBuffer(commands, &begin), sites.begin);
    record(commands);
    check(vkEndCommandBuffer(commands), sites.end);
    VkSubmitInfo submit{};
    submit.sType = VK_STRUCTURE_TYPE_SUBMIT_INFO;
    submit.commandBufferCount = 1;
    submit.pCommandBuffers = &commands;
    check(vkQueueSubmit(gpu.queue, 1, &submit, VK_NULL_HANDLE), sites.submit);
    check(vkQueueWaitIdle(gpu.queue), sites.waitIdle);
}

void destroyImage(VkDevice dev, GpuImage& image) {
    if (image.sampler) vkDestroySampler(dev, image.sampler, nullptr);
    if (image.view) vkDestroyImageView(dev, image.view, nullptr);
    if (image.image) vkDestroyImage(dev, image.image, nullptr);
    if (image.memory) vkFreeMemory(dev, image.memory, nullptr);
    image = GpuImage{};
}

namespace {

// One descriptor of `set`, of an image or of a buffer.
void writeBinding(VkDevice dev, VkDescriptorSet set, uint32_t binding, VkDescriptorType type,
                  const VkDescriptorImageInfo* image, const VkDescriptorBufferInfo* buffer) {
    VkWriteDescriptorSet write{};
    write.sType = VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET;
    write.dstSet = set;
    write.dstBinding = binding;
    write.descriptorCount = 1;
    write.descriptorType = type;
    write.pImageInfo = image;
    write.pBufferInfo = buffer;
    vkUpdateDescriptorSets(dev, 1, &write, 0, nullptr);
}

}  // namespace

void writeImageBinding(VkDevice dev, VkDescriptorSet set, uint32_t binding, const GpuImage& image) {
    VkDescriptorImageInfo info{};
    info.sampler = image.sampler;
    info.imageView = image.view;
    info.imageLayout = VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL;
    writeBinding(dev, set, binding, VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER, &info, nullptr);
}

void writeStorageBinding(VkDevice dev, VkDescriptorSet set, uint32_t binding, VkBuffer buffer,
                         VkDeviceSize range) {
    VkDescriptorBufferInfo info{};
    info.buffer = buffer;
    info.offset = 0;
    info.range = range;
    writeBinding(dev, set, binding, VK_DESCRIPTOR_TYPE_STORAGE_BUFFER, nullptr, &info);
}

void recordLayoutChange(VkCommandBuffer cmd, VkImage image, VkImageLayout from, VkImageLayout to, VkAccessFlags fromAccess,
                        VkAccessFlags toAccess, VkPipelineStageFlags fromStage, VkPipelineStageFlags toStage) {
    VkImageMemoryBarrier barrier{};
    barrier.sType = VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER;
    barrier.srcAccessMask = fromAccess;
    barrier.dstAccessMask = toAccess;
    barrier.oldLayout = from;
    barrier.newLayout = to;
    barrier.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.image = image;
    barrier.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1};
    vkCmdPipelineBarrier(cmd, fromStage, toStage, 0, 0, nullptr, 0, nullptr, 1, &barrier);
}

}  // namespace render
