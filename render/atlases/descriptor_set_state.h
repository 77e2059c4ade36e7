#pragma once
// The layout and pool of the descriptor set that every pipeline binds (block atlas, content meta
// buffer, interface atlas) and of its twin for the block atlas's decode pass, and the content meta
// buffer itself. The sets live with the atlases, whose rebuilds re-point the game's.
#include <vulkan/vulkan.h>

struct DescriptorState {
    VkDescriptorSetLayout atlasSetLayout = VK_NULL_HANDLE;
    VkDescriptorPool atlasPool = VK_NULL_HANDLE;
    VkBuffer contentMeta = VK_NULL_HANDLE;
    VkDeviceMemory contentMetaMemory = VK_NULL_HANDLE;
};
