#pragma once
// render/atlases: block and interface atlases and the content meta buffer, bound in one descriptor set.
// The block atlas (binding 0) and the interface atlas (binding 2) as the App holds them.
#include <vulkan/vulkan.h>

#include <cstdint>
#include <string>
#include <vector>

#include "render/atlases/interface_atlas.h"
#include "render/atlases/tile_sheet.h"
#include "render/vulkan/gpu_image.h"

struct AtlasState {
    VkImage atlasImage = VK_NULL_HANDLE;
    VkDeviceMemory atlasMemory = VK_NULL_HANDLE;
    VkImageView atlasView = VK_NULL_HANDLE;
    VkSampler atlasSampler = VK_NULL_HANDLE;
    uint32_t atlasWidth = 0;
    uint32_t atlasHeight = 0;
    uint32_t layerCount = 0;           // L: block face layers, before the panel tiles
    std::vector<float> materialRects;  // 4,096 x (u, v, du, dv) in the block atlas, by material id
    // 4,096 flags by material id: 1 where the world shader cuts transparent texels out of it.
    std::vector<uint8_t> cutOutMaterials;
    // NPC texture paths, sorted and without duplicates, set by the adventure content loader.
    std::vector<std::string> npcTextures;

    VkImage uiImage = VK_NULL_HANDLE;
    VkDeviceMemory uiMemory = VK_NULL_HANDLE;
    VkImageView uiView = VK_NULL_HANDLE;
    VkSampler uiSampler = VK_NULL_HANDLE;
    // The fixed interface pictures without a transparent texel: drawn over the whole framebuffer,
    // they hide the world.
    std::vector<render::UiPlace> opaquePictures;
    // The shared descriptor set, once made; an interface atlas rebuild re-points its binding 2.
    VkDescriptorSet atlasSet = VK_NULL_HANDLE;

    render::GpuImage blockAtlas() const { return {atlasImage, atlasMemory, atlasView, atlasSampler}; }
    void setBlockAtlas(const render::GpuImage& image) {
        atlasImage = image.image;
        atlasMemory = image.memory;
        atlasView = image.view;
        atlasSampler = image.sampler;
    }
    render::GpuImage uiAtlas() const { return {uiImage, uiMemory, uiView, uiSampler}; }
    void setUiAtlas(const render::GpuImage& image) {
        uiImage = image.image;
        uiMemory = image.memory;
        uiView = image.view;
        uiSampler = image.sampler;
    }
};

namespace render {

// The interface atlas, then the block atlas, each sampler, view, image, memory; all handles end null.
void destroyAtlases(VkDevice dev, AtlasState& atlases);

}  // namespace render
