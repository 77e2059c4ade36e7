#pragma once
// The layout and pool of the descriptor set that every pipeline binds (block atlas, content meta
// buffer, interface atlas), and the content meta buffer itself. The set lives with the atlases, whose
// rebuilds re-point it.
#include <vulkan/vulkan.h>

#include <array>
#include <cstdint>

namespace render {

struct SetBinding {
    uint32_t binding;
    VkDescriptorType type;
    VkShaderStageFlags stages;
};

// The block atlas as uploaded, the content meta buffer, the interface atlas; one descriptor each.
inline constexpr std::array<SetBinding, 3> kAtlasSetBindings{{
    {0, VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER, VK_SHADER_STAGE_FRAGMENT_BIT},
    {1, VK_DESCRIPTOR_TYPE_STORAGE_BUFFER, VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT},
    {2, VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER, VK_SHADER_STAGE_FRAGMENT_BIT},
}};
// The pool holds that one set and nothing more.
inline constexpr uint32_t kAtlasPoolSets = 1;
inline constexpr std::array<VkDescriptorPoolSize, 2> kAtlasPoolSizes{{
    {VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER, 2},
    {VK_DESCRIPTOR_TYPE_STORAGE_BUFFER, 1},
}};

}  // namespace render

struct DescriptorState {
    VkDescriptorSetLayout atlasSetLayout = VK_NULL_HANDLE;
    VkDescriptorPool atlasPool = VK_NULL_HANDLE;
    VkBuffer contentMeta = VK_NULL_HANDLE;
    VkDeviceMemory contentMetaMemory = VK_NULL_HANDLE;
};
