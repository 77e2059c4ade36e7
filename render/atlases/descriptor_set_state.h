#pragma once
// The layout and pool of the one descriptor set that every pipeline binds (block atlas, content
// meta buffer, interface atlas), and the content meta buffer itself. The set lives with the
// atlases, whose rebuilds re-point it.
#include <vulkan/vulkan.h>

struct DescriptorState {
    VkDescriptorSetLayout atlasSetLayout = VK_NULL_HANDLE;
    VkDescriptorPool atlasPool = VK_NULL_HANDLE;
    VkBuffer contentMeta = VK_NULL_HANDLE;
    VkDeviceMemory contentMetaMemory = VK_NULL_HANDLE;
};
