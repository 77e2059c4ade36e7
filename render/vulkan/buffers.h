#pragma once
// Host-visible, host-coherent buffers, each with its own memory, refilled by map, copy, unmap.
#include <vulkan/vulkan.h>

#include <cstdint>

struct App;

struct BufferSlot {
    VkBuffer buffer = VK_NULL_HANDLE;
    VkDeviceMemory memory = VK_NULL_HANDLE;
    uint64_t capacity = 0;
};

namespace render {

// The capacity `uploadBuffer` grows to: half again, at least the request, in 4 KiB steps.
uint64_t grownCapacity(uint64_t capacity, uint64_t bytes);
// First memory type allowed by `typeBits` whose flags hold every wanted flag; -1 when none.
int32_t pickMemoryType(const VkPhysicalDeviceMemoryProperties& properties, uint32_t typeBits,
                       VkMemoryPropertyFlags wanted);

// Destroys the buffer and frees its memory when present; the slot is left empty.
void destroyBufferSlot(VkDevice dev, BufferSlot& slot);
// Map, copy, unmap; a failed map throws with the call text and line of the caller's site.
void writeBufferMemory(VkDevice dev, VkDeviceMemory memory, uint64_t bytes, const void* data, const char* call,
                       int line);

}  // namespace render

namespace vk {

void createBuffer(App& app, uint64_t size, VkBufferUsageFlags usage, VkBuffer& buffer,
                  VkDeviceMemory& memory, const void* data);

}  // namespace vk
