// The content meta buffer on the GPU and the descriptor set that binds it with the two atlases.
#include <array>
#include <cstring>

#include "app/app.h"
#include "render/atlases/content_meta.h"
#include "render/vulkan/gpu_image.h"
#include "render/vulkan/vulkan_check.h"

namespace {

constexpr uint32_t kBlockAtlasBinding = 0;
constexpr uint32_t kContentMetaBinding = 1;
constexpr uint32_t kUiAtlasBinding = 2;

void createSetLayout(VkDevice dev, DescriptorState& d) {
    std::array<VkDescriptorSetLayoutBinding, render::kAtlasSetBindings.size()> bindings{};
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        bindings[i].binding = render::kAtlasSetBindings[i].binding;
        bindings[i].descriptorType = render::kAtlasSetBindings[i].type;
        bindings[i].descriptorCount = 1;
        bindings[i].stageFlags = render::kAtlasSetBindings[i].stages;
    }
    VkDescriptorSetLayoutCreateInfo li{};
    li.sType = VK_STRUCTURE_TYPE_DESCRIPTOR_SET_LAYOUT_CREATE_INFO;
    li.bindingCount = static_cast<uint32_t>(bindings.size());
    li.pBindings = bindings.data();
    render::check(vkCreateDescriptorSetLayout(dev, &li, nullptr, &d.atlasSetLayout),
                  "vkCreateDescriptorSetLayout(dev,&li,nullptr,&atlasSetLayout)", 988);
}

void createPool(VkDevice dev, DescriptorState& d) {
    VkDescriptorPoolCreateInfo pi{};
    pi.sType = VK_STRUCTURE_TYPE_DESCRIPTOR_POOL_CREATE_INFO;
    pi.maxSets = render::kAtlasPoolSets;
    pi.poolSizeCount = static_cast<uint32_t>(render::kAtlasPoolSizes.size());
    pi.pPoolSizes = render::kAtlasPoolSizes.data();
    render::check(vkCreateDescriptorPool(dev, &pi, nullptr, &d.atlasPool),
                  "vkCreateDescriptorPool(dev,&pi,nullptr,&atlasPool)", 992);
}

VkDescriptorSet allocateSet(VkDevice dev, const DescriptorState& d) {
    VkDescriptorSetAllocateInfo da{};
    da.sType = VK_STRUCTURE_TYPE_DESCRIPTOR_SET_ALLOCATE_INFO;
    da.descriptorPool = d.atlasPool;
    da.descriptorSetCount = 1;
    da.pSetLayouts = &d.atlasSetLayout;
    VkDescriptorSet set = VK_NULL_HANDLE;
    render::check(vkAllocateDescriptorSets(dev, &da, &set), "vkAllocateDescriptorSets(dev,&da,&atlasSet)", 995);
    return set;
}

}  // namespace

void App::createContentMeta() {
    const std::vector<uint8_t> bytes =
        render::contentMetaBytes(voxel::blockRegistry(), atlases.materialRects, atlases.layerCount);
    vk::createBuffer(*this, bytes.size(), VK_BUFFER_USAGE_STORAGE_BUFFER_BIT, descriptors.contentMeta,
                     descriptors.contentMetaMemory, bytes.data());
}

// The interface atlas, the block atlas as uploaded, then the content meta buffer, each in an update
// of its own.
void App::createAtlasDescriptors() {
    createSetLayout(gpu.dev, descriptors);
    createPool(gpu.dev, descriptors);
    atlases.atlasSet = allocateSet(gpu.dev, descriptors);
    render::writeImageBinding(gpu.dev, atlases.atlasSet, kUiAtlasBinding, atlases.uiAtlas());
    render::writeImageBinding(gpu.dev, atlases.atlasSet, kBlockAtlasBinding, atlases.blockAtlas());
    render::writeStorageBinding(gpu.dev, atlases.atlasSet, kContentMetaBinding, descriptors.contentMeta,
                                render::kContentMetaBytes);
}

void App::uploadContentMeta() {
    if (!descriptors.contentMeta) return;
    if (contentMeta.biomesUploaded && contentMeta.biomeProfile == world.profile) return;
    render::check(vkDeviceWaitIdle(gpu.dev), "vkDeviceWaitIdle(dev)", 1121);
    contentMeta.biomeProfile = world.profile;
    contentMeta.biomesUploaded = true;
    const std::vector<uint8_t> labels = render::biomeLabelBytes(world.profile.get());
    void* mapped = nullptr;
    render::check(vkMapMemory(gpu.dev, descriptors.contentMetaMemory, 0, VK_WHOLE_SIZE, 0, &mapped),
                  "vkMapMemory(dev,contentMetaMemory,0,VK_WHOLE_SIZE,0,&mapped)", 1121);
    std::memcpy(static_cast<uint8_t*>(mapped) + render::kBiomeLabelsOffset, labels.data(), labels.size());
    vkUnmapMemory(gpu.dev, descriptors.contentMetaMemory);
}
