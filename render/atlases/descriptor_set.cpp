// The content meta buffer on the GPU and the descriptor sets that bind it with the two atlases.
#include <cstring>

#include "app/app.h"
#include "render/atlases/content_meta.h"
#include "render/atlases/linear_atlas.h"
#include "render/vulkan/gpu_image.h"
#include "render/vulkan/vulkan_check.h"

namespace {

constexpr uint32_t kContentMetaBinding = 1;
constexpr uint32_t kUiAtlasBinding = 2;

VkDescriptorSetLayoutBinding layoutBinding(uint32_t binding, VkDescriptorType type, VkShaderStageFlags stages) {
    VkDescriptorSetLayoutBinding b{};
    b.binding = binding;
    b.descriptorType = type;
    b.descriptorCount = 1;
    b.stageFlags = stages;
    return b;
}

void createSetLayout(VkDevice dev, DescriptorState& d) {
    const VkDescriptorSetLayoutBinding bindings[] = {
        layoutBinding(render::kBlockAtlasBinding, VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER,
                      VK_SHADER_STAGE_FRAGMENT_BIT),
        layoutBinding(kContentMetaBinding, VK_DESCRIPTOR_TYPE_STORAGE_BUFFER,
                      VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT),
        layoutBinding(kUiAtlasBinding, VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER,
                      VK_SHADER_STAGE_FRAGMENT_BIT),
    };
    VkDescriptorSetLayoutCreateInfo li{};
    li.sType = VK_STRUCTURE_TYPE_DESCRIPTOR_SET_LAYOUT_CREATE_INFO;
    li.bindingCount = 3;
    li.pBindings = bindings;
    render::check(vkCreateDescriptorSetLayout(dev, &li, nullptr, &d.atlasSetLayout),
                  "vkCreateDescriptorSetLayout(dev,&li,nullptr,&atlasSetLayout)", 988);
}

// Two sets of the one layout: the game's, and the decode pass's, whose binding 0 is the block atlas
// as stored.
void createPool(VkDevice dev, DescriptorState& d) {
    const VkDescriptorPoolSize sizes[] = {
        {VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER, 4},
        {VK_DESCRIPTOR_TYPE_STORAGE_BUFFER, 2},
    };
    VkDescriptorPoolCreateInfo pi{};
    pi.sType = VK_STRUCTURE_TYPE_DESCRIPTOR_POOL_CREATE_INFO;
    pi.maxSets = 2;
    pi.poolSizeCount = 2;
    pi.pPoolSizes = sizes;
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

// Until the decoded copy exists the game's set holds the block atlas as stored at binding 0, like the
// decode pass's set: the driver reads every binding of a set it binds.
void App::createAtlasDescriptors() {
    createSetLayout(gpu.dev, descriptors);
    createPool(gpu.dev, descriptors);
    atlases.atlasSet = allocateSet(gpu.dev, descriptors);
    atlases.decodeSet = allocateSet(gpu.dev, descriptors);
    for (VkDescriptorSet set : {atlases.atlasSet, atlases.decodeSet}) {
        render::writeImageBinding(gpu.dev, set, kUiAtlasBinding, atlases.uiAtlas());
        render::writeImageBinding(gpu.dev, set, render::kBlockAtlasBinding, atlases.blockAtlas());
        render::writeStorageBinding(gpu.dev, set, kContentMetaBinding, descriptors.contentMeta,
                                    render::kContentMetaBytes);
    }
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
