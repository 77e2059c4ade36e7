#include <gtest/gtest.h>

#include <stdexcept>

#include "render/vulkan/buffers.h"
#include "render/vulkan/vulkan_check.h"

namespace {

TEST(GrownCapacity, GrowsByHalfAgainInWholePages) {
    struct Row {
        uint64_t capacity, bytes, expected;
    };
    const Row rows[] = {
        {0, 10, 4096},         {0, 4096, 4096},   {0, 4097, 8192},       {4096, 5000, 8192},
        {8192, 20000, 20480},  {8192, 8193, 12288}, {10000, 10001, 16384}, {4096, 4097, 8192},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(render::grownCapacity(row.capacity, row.bytes), row.expected)
            << "capacity " << row.capacity << ", bytes " << row.bytes;
    }
}

VkPhysicalDeviceMemoryProperties memoryTypes(std::initializer_list<VkMemoryPropertyFlags> flags) {
    VkPhysicalDeviceMemoryProperties properties{};
    for (VkMemoryPropertyFlags f : flags) properties.memoryTypes[properties.memoryTypeCount++].propertyFlags = f;
    return properties;
}

constexpr VkMemoryPropertyFlags kHost = VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT;

// The lowest qualifying index wins over richer later types; only the types the bits allow count, and
// types beyond the count are ignored.
TEST(PickMemoryType, LowestAllowedQualifyingIndexWins) {
    constexpr VkMemoryPropertyFlags local = VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT;
    constexpr VkMemoryPropertyFlags visible = VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT;
    const auto rich = memoryTypes({local, visible, kHost, kHost | VK_MEMORY_PROPERTY_HOST_CACHED_BIT | local});
    const auto gapped = memoryTypes({kHost, visible, kHost});
    VkPhysicalDeviceMemoryProperties counted = memoryTypes({local});
    counted.memoryTypes[1].propertyFlags = kHost;
    const struct {
        const VkPhysicalDeviceMemoryProperties& properties;
        uint32_t bits;
        VkMemoryPropertyFlags wanted;
        int expected;
    } rows[] = {
        {rich, 0xF, kHost, 2},      {rich, 0xF, local, 0},       {rich, 0xF, 0, 0},
        {gapped, 0b110, kHost, 2},  {gapped, 0b010, kHost, -1},  {gapped, 0, 0, -1},
        {counted, 0xFFFFFFFFu, kHost, -1},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(render::pickMemoryType(rows[i].properties, rows[i].bits, rows[i].wanted), rows[i].expected) << i;
}

TEST(VulkanCheck, MessageNamesCallSignedCodeAndLine) {
    EXPECT_EQ(render::vulkanErrorMessage("vkCreateBuffer(dev,&ci,nullptr,&b)", VK_ERROR_OUT_OF_DEVICE_MEMORY, 860),
              "Vulkan error in vkCreateBuffer(dev,&ci,nullptr,&b) | Code: -2 | Line: 860");
    EXPECT_EQ(render::vulkanErrorMessage("vkAcquireNextImageKHR", VK_ERROR_OUT_OF_DATE_KHR, 7),
              "Vulkan error in vkAcquireNextImageKHR | Code: -1000001004 | Line: 7");
    EXPECT_EQ(render::vulkanErrorMessage("vkWaitForFences", VK_TIMEOUT, 1124),
              "Vulkan error in vkWaitForFences | Code: 2 | Line: 1124");
}

TEST(VulkanCheck, ThrowsOnEveryResultButSuccess) {
    EXPECT_NO_THROW(render::check(VK_SUCCESS, "vkCreateFence(dev,&fi,nullptr,&fence)", 1066));
    try {
        render::check(VK_INCOMPLETE, "vkEnumeratePhysicalDevices(instance,&count,gpus.data())", 1063);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(),
                     "Vulkan error in vkEnumeratePhysicalDevices(instance,&count,gpus.data()) | Code: 5 | Line: 1063");
    }
}

}  // namespace
