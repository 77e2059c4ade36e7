#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>

#include "gpu_fixture.h"

#define GLFW_INCLUDE_VULKAN
#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>
#include <X11/Xutil.h>

namespace {

class DeviceTest : public rendertest::GpuTest {
protected:
    std::string readBack(const BufferSlot& slot, uint64_t bytes) {
        const std::vector<uint8_t> contents = mappedBytes(slot.memory, bytes);
        return std::string(contents.begin(), contents.end());
    }
    void release(BufferSlot& slot) {
        vkDestroyBuffer(app.gpu.dev, slot.buffer, nullptr);
        vkFreeMemory(app.gpu.dev, slot.memory, nullptr);
    }
};

TEST_F(DeviceTest, CreatesHiddenWindowAndDeviceOnADrawingPresentingFamily) {
    testing::internal::CaptureStdout();
    app.createWindowAndDevice();
    const std::string printed = testing::internal::GetCapturedStdout();

    ASSERT_NE(app.gpu.win, nullptr);
    EXPECT_TRUE(app.gpu.glfwStarted);
    EXPECT_NE(app.gpu.instance, VK_NULL_HANDLE);
    EXPECT_NE(app.gpu.surface, VK_NULL_HANDLE);
    ASSERT_NE(app.gpu.physical, VK_NULL_HANDLE);
    EXPECT_NE(app.gpu.dev, VK_NULL_HANDLE);
    EXPECT_NE(app.gpu.queue, VK_NULL_HANDLE);
    EXPECT_NE(app.gpu.pool, VK_NULL_HANDLE);

    EXPECT_EQ(glfwGetWindowAttrib(app.gpu.win, GLFW_VISIBLE), GLFW_FALSE);
    EXPECT_EQ(glfwGetWindowUserPointer(app.gpu.win), &app);
    int width = 0, height = 0;
    glfwGetWindowSize(app.gpu.win, &width, &height);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 720);

    VkPhysicalDeviceProperties properties{};
    vkGetPhysicalDeviceProperties(app.gpu.physical, &properties);
    EXPECT_THAT(printed, testing::HasSubstr("Selected GPU: " + std::string(properties.deviceName) + "\n"));

    uint32_t count = 0;
    vkGetPhysicalDeviceQueueFamilyProperties(app.gpu.physical, &count, nullptr);
    std::vector<VkQueueFamilyProperties> families(count);
    vkGetPhysicalDeviceQueueFamilyProperties(app.gpu.physical, &count, families.data());
    ASSERT_LT(app.gpu.queueFamily, count);
    EXPECT_NE(families[app.gpu.queueFamily].queueFlags & VK_QUEUE_GRAPHICS_BIT, 0u);
    VkBool32 presents = VK_FALSE;
    vkGetPhysicalDeviceSurfaceSupportKHR(app.gpu.physical, app.gpu.queueFamily, app.gpu.surface, &presents);
    EXPECT_EQ(presents, VK_TRUE);
}

// Without a window manager nothing enforces the limits, so read the hints the window hands to one.
TEST_F(DeviceTest, WindowAsksForMinimumSizeAndNoMaximum) {
    app.createWindowAndDevice();
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_NE(XGetWMNormalHints(glfwGetX11Display(), glfwGetX11Window(app.gpu.win), &hints, &supplied), 0);
    ASSERT_NE(hints.flags & PMinSize, 0);
    EXPECT_EQ(hints.min_width, 960);
    EXPECT_EQ(hints.min_height, 540);
    EXPECT_EQ(hints.flags & PMaxSize, 0);
}

TEST_F(DeviceTest, FrameFenceStartsSignalled) {
    app.createWindowAndDevice();
    app.createFrameSync();
    EXPECT_NE(app.gpu.available, VK_NULL_HANDLE);
    ASSERT_NE(app.gpu.fence, VK_NULL_HANDLE);
    EXPECT_EQ(vkGetFenceStatus(app.gpu.dev, app.gpu.fence), VK_SUCCESS);
}

TEST_F(DeviceTest, UploadBufferGrowsByHalfAgainInPagesAndReusesWhatFits) {
    app.createWindowAndDevice();
    BufferSlot slot;
    app.uploadBuffer(slot, 0, VK_BUFFER_USAGE_VERTEX_BUFFER_BIT, "");
    EXPECT_EQ(slot.buffer, VK_NULL_HANDLE);
    EXPECT_EQ(slot.capacity, 0u);

    app.uploadBuffer(slot, 10, VK_BUFFER_USAGE_VERTEX_BUFFER_BIT, "0123456789");
    ASSERT_NE(slot.buffer, VK_NULL_HANDLE);
    EXPECT_EQ(slot.capacity, 4096u);
    EXPECT_EQ(readBack(slot, 10), "0123456789");

    const VkBuffer first = slot.buffer;
    const std::string page(4096, 'p');
    app.uploadBuffer(slot, page.size(), VK_BUFFER_USAGE_VERTEX_BUFFER_BIT, page.data());
    EXPECT_EQ(slot.buffer, first);
    EXPECT_EQ(slot.capacity, 4096u);
    EXPECT_EQ(readBack(slot, 4096), page);

    const std::string more(5000, 'm');
    app.uploadBuffer(slot, more.size(), VK_BUFFER_USAGE_VERTEX_BUFFER_BIT, more.data());
    EXPECT_EQ(slot.capacity, 8192u);
    EXPECT_EQ(readBack(slot, 5000), more);
    release(slot);
}

TEST_F(DeviceTest, UploadBufferDataGrowsToTheExactSizeAndIgnoresEmptyData) {
    app.createWindowAndDevice();
    BufferSlot slot;
    const std::string large(300, 'L');
    app.uploadBufferData(slot, large.size(), VK_BUFFER_USAGE_INDEX_BUFFER_BIT, large.data());
    ASSERT_NE(slot.buffer, VK_NULL_HANDLE);
    EXPECT_EQ(slot.capacity, 300u);
    EXPECT_EQ(readBack(slot, 300), large);

    const VkBuffer first = slot.buffer;
    app.uploadBufferData(slot, 5, VK_BUFFER_USAGE_INDEX_BUFFER_BIT, "small");
    EXPECT_EQ(slot.buffer, first);
    EXPECT_EQ(slot.capacity, 300u);
    EXPECT_EQ(readBack(slot, 5), "small");

    app.uploadBufferData(slot, 0, VK_BUFFER_USAGE_INDEX_BUFFER_BIT, nullptr);
    EXPECT_EQ(slot.buffer, first);
    EXPECT_EQ(slot.capacity, 300u);

    const std::string larger(301, 'G');
    app.uploadBufferData(slot, larger.size(), VK_BUFFER_USAGE_INDEX_BUFFER_BIT, larger.data());
    EXPECT_EQ(slot.capacity, 301u);
    EXPECT_EQ(readBack(slot, 301), larger);
    release(slot);
}

TEST_F(DeviceTest, FindMemoryTypeRefusesWhatNoTypeOffers) {
    app.createWindowAndDevice();
    const VkMemoryPropertyFlags host = VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT;
    VkPhysicalDeviceMemoryProperties memory{};
    vkGetPhysicalDeviceMemoryProperties(app.gpu.physical, &memory);
    const uint32_t index = app.findMemoryType(0xFFFFFFFFu, host);
    ASSERT_LT(index, memory.memoryTypeCount);
    EXPECT_EQ(memory.memoryTypes[index].propertyFlags & host, host);
    // A property that no memory type of this device has, asked of every type.
    VkMemoryPropertyFlags missing = 0;
    for (uint32_t bit = 1; bit != 0 && missing == 0; bit <<= 1) {
        bool offered = false;
        for (uint32_t i = 0; i < memory.memoryTypeCount; ++i) offered |= (memory.memoryTypes[i].propertyFlags & bit) != 0;
        if (!offered) missing = bit;
    }
    ASSERT_NE(missing, 0u);
    for (const auto& [typeBits, properties] : {std::pair{0u, host}, std::pair{0xFFFFFFFFu, host | missing}}) {
        try {
            app.findMemoryType(typeBits, properties);
            ADD_FAILURE() << "no error for " << typeBits << " " << properties;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "No suitable GPU memory");
        }
    }
}

TEST_F(DeviceTest, ShutdownReleasesEverythingAndCanRunTwice) {
    app.createWindowAndDevice();
    app.createFrameSync();
    app.shutdown();
    EXPECT_EQ(app.gpu.win, nullptr);
    const std::pair<const char*, const void*> handles[] = {
        {"instance", app.gpu.instance}, {"surface", app.gpu.surface}, {"physical", app.gpu.physical},
        {"device", app.gpu.dev},        {"queue", app.gpu.queue},     {"pool", app.gpu.pool},
        {"available", app.gpu.available}, {"fence", app.gpu.fence}};
    for (const auto& [name, handle] : handles) EXPECT_EQ(handle, nullptr) << name;
    EXPECT_FALSE(app.gpu.glfwStarted);
    EXPECT_NO_THROW(app.shutdown());

    // GLFW really was terminated: it starts again, and the device can be built anew.
    app.createWindowAndDevice();
    EXPECT_NE(app.gpu.dev, VK_NULL_HANDLE);
}

TEST_F(DeviceTest, CancelledLoadStopsAfterGlfwStartsAndBeforeTheWindow) {
    app.ui.loading.cancelRequested = true;
    try {
        app.createWindowAndDevice();
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Загрузка отменена");
    }
    EXPECT_TRUE(app.gpu.glfwStarted);
    EXPECT_EQ(app.gpu.win, nullptr);
    EXPECT_EQ(app.gpu.instance, VK_NULL_HANDLE);
    app.shutdown();
    EXPECT_FALSE(app.gpu.glfwStarted);
}

TEST_F(DeviceTest, NoDisplayMeansGlfwFailed) {
    const std::string display = std::getenv("DISPLAY");
    setenv("DISPLAY", "", 1);
    std::optional<std::string> message;
    try {
        app.createWindowAndDevice();
    } catch (const std::runtime_error& error) {
        message = error.what();
    }
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_EQ(message, "GLFW failed");
    EXPECT_FALSE(app.gpu.glfwStarted);
}

TEST_F(DeviceTest, ScrollFeedsTheAccumulatorOrTheActiveTextView) {
    app.onScroll(nullptr, 4.0, 1.5);
    app.onScroll(nullptr, 0.0, -0.5);
    EXPECT_DOUBLE_EQ(app.player.scrollAccumulator, 1.0);

    app.ui.textEntryActive = true;
    app.ui.textViewLineCount = 10;
    app.ui.textViewLine = 5;
    app.onScroll(nullptr, 0.0, 100.0);
    EXPECT_EQ(app.ui.textViewLine, 9);
    app.onScroll(nullptr, 0.0, -100.0);
    EXPECT_EQ(app.ui.textViewLine, 0);
    EXPECT_DOUBLE_EQ(app.player.scrollAccumulator, 1.0);
}

}  // namespace
