// The content meta buffer on the GPU and the one descriptor set that binds it with the two atlases.
#include <cstring>
#include <stdexcept>
#include <string>

#include "app/app.h"
#include "render/atlases/content_meta.h"
#include "render/atlases/linear_atlas.h"
#include "render/interface/interface_tiles.h"
#include "render/vulkan/gpu_image.h"
#include "render/vulkan/vulkan_check.h"

namespace {

constexpr uint32_t kBlockAtlasBinding = 0;
constexpr uint32_t kContentMetaBinding = 1;
constexpr uint32_t kUiAtlasBinding = 2;
// The interface part of the same buffer once more, as a uniform buffer: the software driver reads a
// uniform buffer at a per-pixel index in one gather, a storage buffer lane by lane.
constexpr uint32_t kInterfaceWordsBinding = 3;
// The material rectangles likewise, for the world's vertex stage, which looks one up at every vertex.
constexpr uint32_t kMaterialRectsBinding = 4;

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
        layoutBinding(kBlockAtlasBinding, VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER,
                      VK_SHADER_STAGE_FRAGMENT_BIT),
        layoutBinding(kContentMetaBinding, VK_DESCRIPTOR_TYPE_STORAGE_BUFFER,
                      VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT),
        layoutBinding(kUiAtlasBinding, VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER,
                      VK_SHADER_STAGE_FRAGMENT_BIT),
        layoutBinding(kInterfaceWordsBinding, VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER,
                      VK_SHADER_STAGE_FRAGMENT_BIT),
        layoutBinding(kMaterialRectsBinding, VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER, VK_SHADER_STAGE_VERTEX_BIT),
        layoutBinding(render::kLinearAtlasBinding, VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER,
                      VK_SHADER_STAGE_FRAGMENT_BIT),
    };
    VkDescriptorSetLayoutCreateInfo li{};
    li.sType = VK_STRUCTURE_TYPE_DESCRIPTOR_SET_LAYOUT_CREATE_INFO;
    li.bindingCount = 6;
    li.pBindings = bindings;
    render::check(vkCreateDescriptorSetLayout(dev, &li, nullptr, &d.atlasSetLayout),
                  "vkCreateDescriptorSetLayout(dev,&li,nullptr,&atlasSetLayout)", 988);
}

void createPool(VkDevice dev, DescriptorState& d) {
    const VkDescriptorPoolSize sizes[] = {
        {VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER, 3},
        {VK_DESCRIPTOR_TYPE_STORAGE_BUFFER, 1},
        {VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER, 2},
    };
    VkDescriptorPoolCreateInfo pi{};
    pi.sType = VK_STRUCTURE_TYPE_DESCRIPTOR_POOL_CREATE_INFO;
    pi.maxSets = 1;
    pi.poolSizeCount = 3;
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

void writeBufferBinding(VkDevice dev, VkDescriptorSet set, VkBuffer buffer, uint32_t binding, VkDescriptorType type,
                        VkDeviceSize offset, VkDeviceSize range) {
    VkDescriptorBufferInfo info{};
    info.buffer = buffer;
    info.offset = offset;
    info.range = range;
    VkWriteDescriptorSet write{};
    write.sType = VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET;
    write.dstSet = set;
    write.dstBinding = binding;
    write.descriptorCount = 1;
    write.descriptorType = type;
    write.pBufferInfo = &info;
    vkUpdateDescriptorSets(dev, 1, &write, 0, nullptr);
}

}  // namespace

void App::createContentMeta() {
    const std::vector<uint8_t> bytes =
        render::contentMetaBytes(voxel::blockRegistry(), atlases.materialRects, atlases.layerCount);
    vk::createBuffer(*this, bytes.size(), VK_BUFFER_USAGE_STORAGE_BUFFER_BIT | VK_BUFFER_USAGE_UNIFORM_BUFFER_BIT,
                     descriptors.contentMeta,
                     descriptors.contentMetaMemory, bytes.data());
}

void App::createAtlasDescriptors() {
    // Every device this game knows allows it, but the API promises only 16 KiB.
    VkPhysicalDeviceProperties properties{};
    vkGetPhysicalDeviceProperties(gpu.physical, &properties);
    const VkDeviceSize rectBytes = 4 * VkDeviceSize{render::kMaterialRectFloats};
    if (properties.limits.maxUniformBufferRange < rectBytes)
        throw std::runtime_error("The graphics device's uniform buffers hold " +
                                 std::to_string(properties.limits.maxUniformBufferRange) + " bytes, " +
                                 std::to_string(rectBytes) + " needed");
    createSetLayout(gpu.dev, descriptors);
    createPool(gpu.dev, descriptors);
    atlases.atlasSet = allocateSet(gpu.dev, descriptors);
    render::writeImageBinding(gpu.dev, atlases.atlasSet, kUiAtlasBinding, atlases.uiAtlas());
    render::writeImageBinding(gpu.dev, atlases.atlasSet, kBlockAtlasBinding, atlases.blockAtlas());
    // Until the decoded copy is drawn (with this set bound), its binding holds the atlas itself: the
    // driver reads every binding of a set it binds.
    render::writeImageBinding(gpu.dev, atlases.atlasSet, render::kLinearAtlasBinding, atlases.blockAtlas());
    writeBufferBinding(gpu.dev, atlases.atlasSet, descriptors.contentMeta, kContentMetaBinding,
                       VK_DESCRIPTOR_TYPE_STORAGE_BUFFER, 0, render::kContentMetaBytes);
    writeBufferBinding(gpu.dev, atlases.atlasSet, descriptors.contentMeta, kInterfaceWordsBinding,
                       VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER, 4 * VkDeviceSize{render::kInterfaceHeaderWord},
                       4 * VkDeviceSize{render::kInterfaceEndWord - render::kInterfaceHeaderWord});
    writeBufferBinding(gpu.dev, atlases.atlasSet, descriptors.contentMeta, kMaterialRectsBinding,
                       VK_DESCRIPTOR_TYPE_UNIFORM_BUFFER, render::kMaterialRectsOffset, rectBytes);
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
