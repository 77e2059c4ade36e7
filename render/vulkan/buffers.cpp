#include "render/vulkan/buffers.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "app/app.h"
#include "render/vulkan/vulkan_check.h"

namespace render {

uint64_t grownCapacity(uint64_t capacity, uint64_t bytes) {
    constexpr uint64_t kStep = 4096;
    const uint64_t wanted = std::max(bytes, capacity + capacity / 2);
    return (wanted + kStep - 1) / kStep * kStep;
}

int32_t pickMemoryType(const VkPhysicalDeviceMemoryProperties& properties, uint32_t typeBits,
                       VkMemoryPropertyFlags wanted) {
    const uint32_t count = std::min<uint32_t>(properties.memoryTypeCount, VK_MAX_MEMORY_TYPES);
    for (uint32_t i = 0; i < count; ++i) {
        const bool allowed = (typeBits & (1u << i)) != 0;
        if (allowed && (properties.memoryTypes[i].propertyFlags & wanted) == wanted) return static_cast<int32_t>(i);
    }
    return -1;
}

}  // namespace render

namespace {

void destroySlot(VkDevice dev, BufferSlot& slot) {
    if (slot.buffer) vkDestroyBuffer(dev, slot.buffer, nullptr);
    if (slot.memory) vkFreeMemory(dev, slot.memory, nullptr);
    slot.buffer = VK_NULL_HANDLE;
    slot.memory = VK_NULL_HANDLE;
}

void writeMapped(VkDevice dev, VkDeviceMemory memory, uint64_t bytes, const void* data, const char* call, int line) {
    void* mapped = nullptr;
    render::check(vkMapMemory(dev, memory, 0, bytes, 0, &mapped), call, line);
    std::memcpy(mapped, data, bytes);
    vkUnmapMemory(dev, memory);
}

}  // namespace

namespace render {

void destroyBufferSlot(VkDevice dev, BufferSlot& slot) {
    destroySlot(dev, slot);
    slot.capacity = 0;
}

void writeBufferMemory(VkDevice dev, VkDeviceMemory memory, uint64_t bytes, const void* data, const char* call,
                       int line) {
    writeMapped(dev, memory, bytes, data, call, line);
}

}  // namespace render

uint32_t App::findMemoryType(uint32_t typeBits, VkMemoryPropertyFlags properties) const {
    VkPhysicalDeviceMemoryProperties memory{};
    vkGetPhysicalDeviceMemoryProperties(gpu.physical, &memory);
    const int32_t index = render::pickMemoryType(memory, typeBits, properties);
    if (index < 0) throw std::runtime_error("No suitable GPU memory");
    return static_cast<uint32_t>(index);
}

namespace vk {

void createBuffer(App& app, uint64_t size, VkBufferUsageFlags usage, VkBuffer& buffer, VkDeviceMemory& memory,
                  const void* data) {
    const VkDevice dev = app.gpu.dev;
    VkBufferCreateInfo ci{};
    ci.sType = VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO;
    ci.size = size;
    ci.usage = usage;
    ci.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    render::check(vkCreateBuffer(dev, &ci, nullptr, &buffer), "vkCreateBuffer(dev,&ci,nullptr,&b)", 860);
    VkMemoryRequirements requirements{};
    vkGetBufferMemoryRequirements(dev, buffer, &requirements);
    VkMemoryAllocateInfo ai{};
    ai.sType = VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO;
    ai.allocationSize = requirements.size;
    ai.memoryTypeIndex = app.findMemoryType(requirements.memoryTypeBits,
                                            VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT);
    render::check(vkAllocateMemory(dev, &ai, nullptr, &memory), "vkAllocateMemory(dev,&ai,nullptr,&mem)", 860);
    render::check(vkBindBufferMemory(dev, buffer, memory, 0), "vkBindBufferMemory(dev,b,mem,0)", 860);
    void* dst = nullptr;
    render::check(vkMapMemory(dev, memory, 0, size, 0, &dst), "vkMapMemory(dev,mem,0,size,0,&dst)", 860);
    if (data) std::memcpy(dst, data, size);
    vkUnmapMemory(dev, memory);
}

}  // namespace vk

void App::uploadBuffer(BufferSlot& slot, uint64_t bytes, VkBufferUsageFlags usage, const void* data) {
    if (bytes == 0) return;
    if (bytes > slot.capacity) {
        destroySlot(gpu.dev, slot);
        slot.capacity = render::grownCapacity(slot.capacity, bytes);
        vk::createBuffer(*this, slot.capacity, usage, slot.buffer, slot.memory, nullptr);
    }
    writeMapped(gpu.dev, slot.memory, bytes, data, "vkMapMemory(dev,memory,0,bytes,0,&mapped)", 107);
}

void App::uploadBufferData(BufferSlot& slot, uint64_t bytes, VkBufferUsageFlags usage, const void* data) {
    // Vulkan cannot map zero bytes; an empty upload leaves the slot as it is.
    if (bytes == 0) return;
    if (bytes <= slot.capacity) {
        writeMapped(gpu.dev, slot.memory, bytes, data, "vkMapMemory(dev,memory,0,bytes,0,&mapped)", 1056);
        return;
    }
    destroySlot(gpu.dev, slot);
    slot.capacity = bytes;
    vk::createBuffer(*this, bytes, usage, slot.buffer, slot.memory, data);
}
