#pragma once
// The base of the Vulkan suites: one private X server for the whole suite, a fresh App for each
// test, shut down after it.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "app/app.h"
#include "support/temp_dir.h"
#include "support/xvfb.h"

namespace rendertest {

class GpuTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        xvfb_ = std::make_unique<testsupport::Xvfb>();
        setenv("DISPLAY", xvfb_->display().c_str(), 1);
        setenv("QUORVANE_HEADLESS_CHECK", "1", 1);
    }
    static void TearDownTestSuite() { xvfb_.reset(); }
    void TearDown() override { app.shutdown(); }

    // The first `bytes` of host-visible device memory.
    std::vector<uint8_t> mappedBytes(VkDeviceMemory memory, VkDeviceSize bytes) {
        std::vector<uint8_t> contents(bytes);
        void* mapped = nullptr;
        EXPECT_EQ(vkMapMemory(app.gpu.dev, memory, 0, bytes, 0, &mapped), VK_SUCCESS);
        std::memcpy(contents.data(), mapped, bytes);
        vkUnmapMemory(app.gpu.dev, memory);
        return contents;
    }

    // Asks for a new window size and waits (two seconds at most) until the framebuffer has it; returns
    // the framebuffer size it last saw.
    std::pair<int, int> resizeWindow(int width, int height) {
        glfwSetWindowSize(app.gpu.win, width, height);
        int seenWidth = 0, seenHeight = 0;
        for (int i = 0; i < 200 && (seenWidth != width || seenHeight != height); ++i) {
            glfwPollEvents();
            glfwGetFramebufferSize(app.gpu.win, &seenWidth, &seenHeight);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {seenWidth, seenHeight};
    }

    App app;

private:
    static inline std::unique_ptr<testsupport::Xvfb> xvfb_;
};

// A game root of its own with a copy of the shipped assets, for the suites that load textures.
class AssetsGpuTest : public GpuTest {
protected:
    void SetUp() override {
        std::filesystem::copy(std::filesystem::path(std::getenv("QUORVANE_SOURCE_DIR")) / "Assets",
                              root.path() / "Assets", std::filesystem::copy_options::recursive);
        app.files.root = root.path();
    }

    testsupport::TempDir root;
};

// A device with the game's atlases, content meta buffer, descriptor set, frame objects and swapchain,
// as start-up makes them, but without a world; their progress lines are kept out of the test output.
class RendererGpuTest : public AssetsGpuTest {
protected:
    void SetUp() override {
        AssetsGpuTest::SetUp();
        testing::internal::CaptureStdout();
        app.createWindowAndDevice();
        app.createBlockAtlas();
        app.createFrameSync();
        app.createSwapchain();
        testing::internal::GetCapturedStdout();
    }
};

}  // namespace rendertest
