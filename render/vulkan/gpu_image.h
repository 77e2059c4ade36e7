#pragma once
// Uploading a finished RGBA picture into a sampled, device-local image through a staging buffer and
// a one-time command buffer: the Vulkan path the block and interface atlases share.
#include <vulkan/vulkan.h>

#include "platform/image.h"

#include <functional>

struct App;
struct GpuState;

namespace render {

struct GpuImage {
    VkImage image = VK_NULL_HANDLE;
    VkDeviceMemory memory = VK_NULL_HANDLE;
    VkImageView view = VK_NULL_HANDLE;
    VkSampler sampler = VK_NULL_HANDLE;
};

// The call text and line value a failed Vulkan call reports.
struct CheckSite {
    const char* call;
    int line;
};

// The sites of making an image with memory of its own.
struct ImageMemorySites {
    CheckSite createImage, allocateMemory, bindMemory;
};

struct ImageUploadSites {
    CheckSite createImage, allocateMemory, bindMemory;
    CheckSite allocateCommands, begin, end, submit, waitIdle;
    CheckSite createView, createSampler;
};

extern const ImageUploadSites kBlockAtlasSites;
extern const ImageUploadSites kUiAtlasSites;

struct ImageFormat {
    VkFormat format;
    VkFilter filter;  // magnification and minification
};

// Waits for the queue to go idle before it returns. On failure it destroys whatever it made before
// the error leaves.
GpuImage uploadImage(App& app, const platform::Image& pixels, ImageFormat format, const ImageUploadSites& sites);
// A device-local 2-D image of one level and one layer, optimal tiling, bound to memory of its own.
void createDeviceImage(App& app, VkExtent2D size, VkFormat format, VkImageUsageFlags usage,
                       const ImageMemorySites& sites, VkImage& image, VkDeviceMemory& memory);
// A 2-D view of the one level and layer of `image`.
void createImageView(VkDevice dev, VkImage image, VkFormat format, VkImageAspectFlags aspect,
                     const CheckSite& site, VkImageView& view);
// The steps of uploadImage, for images filled otherwise: a device-local image with its memory, its
// view, and a sampler that clamps to the edge.
void createImage(App& app, VkExtent2D size, VkFormat format, VkImageUsageFlags usage,
                 const ImageUploadSites& sites, GpuImage& made);
void createView(VkDevice dev, VkFormat format, const ImageUploadSites& sites, GpuImage& made);
void createSampler(VkDevice dev, VkFilter filter, const ImageUploadSites& sites, GpuImage& made);
// Allocates `commands` from the pool, records them with `record`, submits them and waits for the
// queue to go idle. The caller frees `commands` however this ends.
void submitOneTime(const GpuState& gpu, const ImageUploadSites& sites, VkCommandBuffer& commands,
                   const std::function<void(VkCommandBuffer)>& record);
// Sampler, view, image, then memory; absent handles are skipped. All four end null.
void destroyImage(VkDevice dev, GpuImage& image);
// Records a layout change of a whole single-level colour image.
void recordLayoutChange(VkCommandBuffer cmd, VkImage image, VkImageLayout from, VkImageLayout to, VkAccessFlags fromAccess,
                        VkAccessFlags toAccess, VkPipelineStageFlags fromStage, VkPipelineStageFlags toStage);
// Points a combined image sampler binding of `set` at the image, in shader-read layout.
void writeImageBinding(VkDevice dev, VkDescriptorSet set, uint32_t binding, const GpuImage& image);
// Points a storage buffer binding of `set` at the first `range` bytes of `buffer`.
void writeStorageBinding(VkDevice dev, VkDescriptorSet set, uint32_t binding, VkBuffer buffer,
                         VkDeviceSize range);

}  // namespace render
