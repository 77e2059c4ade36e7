#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "gpu_fixture.h"
#include "png_fixture.h"
#include "render/vulkan/gpu_image.h"

namespace fs = std::filesystem;

namespace {

class AtlasDeviceTest : public rendertest::AssetsGpuTest {
protected:
    void SetUp() override {
        AssetsGpuTest::SetUp();
        app.createWindowAndDevice();
    }

    // Copies a sampled image back into a host-visible buffer.
    std::vector<uint8_t> readBack(VkImage image, uint32_t width, uint32_t height, uint32_t texelBytes = 4) {
        const VkDeviceSize bytes = VkDeviceSize{width} * height * texelBytes;
        VkBuffer buffer = VK_NULL_HANDLE;
        VkDeviceMemory memory = VK_NULL_HANDLE;
        vk::createBuffer(app, bytes, VK_BUFFER_USAGE_TRANSFER_DST_BIT, buffer, memory, nullptr);
        VkCommandBuffer cmd = beginCommands();
        render::recordLayoutChange(cmd, image, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL,
                                   VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, VK_ACCESS_SHADER_READ_BIT,
                                   VK_ACCESS_TRANSFER_READ_BIT, VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT,
                                   VK_PIPELINE_STAGE_TRANSFER_BIT);
        VkBufferImageCopy region{};
        region.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1};
        region.imageExtent = {width, height, 1};
        vkCmdCopyImageToBuffer(cmd, image, VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, buffer, 1, &region);
        submitAndWait(cmd);
        std::vector<uint8_t> pixels = mappedBytes(memory, bytes);
        vkDestroyBuffer(app.gpu.dev, buffer, nullptr);
        vkFreeMemory(app.gpu.dev, memory, nullptr);
        return pixels;
    }

    VkCommandBuffer beginCommands() {
        VkCommandBufferAllocateInfo alloc{};
        alloc.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO;
        alloc.commandPool = app.gpu.pool;
        alloc.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
        alloc.commandBufferCount = 1;
        VkCommandBuffer cmd = VK_NULL_HANDLE;
        EXPECT_EQ(vkAllocateCommandBuffers(app.gpu.dev, &alloc, &cmd), VK_SUCCESS);
        VkCommandBufferBeginInfo begin{};
        begin.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO;
        EXPECT_EQ(vkBeginCommandBuffer(cmd, &begin), VK_SUCCESS);
        return cmd;
    }

    void submitAndWait(VkCommandBuffer cmd) {
        EXPECT_EQ(vkEndCommandBuffer(cmd), VK_SUCCESS);
        VkSubmitInfo submit{};
        submit.sType = VK_STRUCTURE_TYPE_SUBMIT_INFO;
        submit.commandBufferCount = 1;
        submit.pCommandBuffers = &cmd;
        EXPECT_EQ(vkQueueSubmit(app.gpu.queue, 1, &submit, VK_NULL_HANDLE), VK_SUCCESS);
        EXPECT_EQ(vkQueueWaitIdle(app.gpu.queue), VK_SUCCESS);
        vkFreeCommandBuffers(app.gpu.dev, app.gpu.pool, 1, &cmd);
    }

    fs::path uiFolder() const { return root.path() / "Assets" / "Textures" / "UI"; }
};

TEST_F(AtlasDeviceTest, UploadedImageHoldsEveryPixelInShaderReadLayout) {
    const platform::Image picture = atlastest::paintedImage(5, 3, [](uint32_t x, uint32_t y) {
        return atlastest::Rgba{static_cast<uint8_t>(40 * x), static_cast<uint8_t>(80 * y), 7, static_cast<uint8_t>(255 - x)};
    });
    render::GpuImage image =
        render::uploadImage(app, picture, {VK_FORMAT_R8G8B8A8_UNORM, VK_FILTER_NEAREST}, render::kBlockAtlasSites);
    EXPECT_NE(image.view, VK_NULL_HANDLE);
    EXPECT_NE(image.sampler, VK_NULL_HANDLE);
    EXPECT_EQ(readBack(image.image, 5, 3), picture.pixels);
    render::destroyImage(app.gpu.dev, image);
    EXPECT_EQ(image.image, VK_NULL_HANDLE);
    EXPECT_EQ(image.memory, VK_NULL_HANDLE);
}

TEST_F(AtlasDeviceTest, BlockAtlasFromTheShippedTexturesLoadsEverythingAndPrintsItsLines) {
    testing::internal::CaptureStdout();
    app.createBlockAtlas();
    const std::string printed = testing::internal::GetCapturedStdout();

    const fs::path skin = root.path() / "Assets" / "Models" / "Player" / "player.png";
    EXPECT_THAT(printed, testing::HasSubstr("VXM 3 player texture: loaded " + skin.string() + "\n"));
    EXPECT_THAT(printed, testing::HasSubstr("Texture atlas: 114 loaded, 0 missing (missing = pink checkerboard)\n"));
    EXPECT_THAT(printed, testing::ContainsRegex("Original-resolution RGBA atlas: 2048x[0-9]+, [0-9]+ images; "
                                                "no texture downsampling\n"));
    EXPECT_EQ(testsupport::readFile(uiFolder() / "ui_errors.txt"), "");

    const AtlasState& atlases = app.atlases;
    EXPECT_NE(atlases.atlasImage, VK_NULL_HANDLE);
    EXPECT_NE(atlases.atlasMemory, VK_NULL_HANDLE);
    EXPECT_NE(atlases.atlasView, VK_NULL_HANDLE);
    EXPECT_NE(atlases.atlasSampler, VK_NULL_HANDLE);
    EXPECT_NE(atlases.uiImage, VK_NULL_HANDLE);
    EXPECT_NE(atlases.uiSampler, VK_NULL_HANDLE);
    EXPECT_EQ(atlases.layerCount, 128u);
    EXPECT_EQ(atlases.atlasWidth, 2048u);
    // The shipped block textures keep their 16 x 16 pixels; the skin its 64 x 64.
    EXPECT_FLOAT_EQ(atlases.materialRects[6 * 4 + 2], 16.0f / 2048);
    EXPECT_FLOAT_EQ(atlases.materialRects[1856 * 4 + 2], 64.0f / 2048);
    EXPECT_EQ(atlases.materialRects[120 * 4 + 2], 0.0f);

    const std::vector<uint8_t> pixels = readBack(atlases.atlasImage, atlases.atlasWidth, atlases.atlasHeight);
    const auto& rect = atlases.materialRects;
    const uint32_t gx = static_cast<uint32_t>(rect[6 * 4] * 2048 + 0.5f);
    const uint32_t gy = static_cast<uint32_t>(rect[6 * 4 + 1] * atlases.atlasHeight + 0.5f);
    const platform::Image grass = platform::decodePng(root.path() / "Assets" / "Textures" / "Blocks" / "grass_top.png");
    EXPECT_EQ(std::memcmp(&pixels[(std::size_t{gy} * 2048 + gx) * 4], grass.pixels.data(), 16 * 4), 0);
}

TEST_F(AtlasDeviceTest, UiAtlasRebuildReplacesTheImageAndAFailedOneKeepsTheOld) {
    app.createBlockAtlas();
    const VkImage blockImage = app.atlases.atlasImage;
    const VkImage first = app.atlases.uiImage;

    app.buildUiAtlas();
    const VkImage second = app.atlases.uiImage;
    EXPECT_NE(second, VK_NULL_HANDLE);
    EXPECT_NE(second, first);
    EXPECT_NE(app.atlases.uiView, VK_NULL_HANDLE);

    fs::remove(uiFolder() / "font.png");
    try {
        app.buildUiAtlas();
        ADD_FAILURE() << "a missing font must fail the rebuild";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Cannot load interface texture: font.png");
    }
    EXPECT_EQ(app.atlases.uiImage, second);
    EXPECT_EQ(app.atlases.atlasImage, blockImage);
}

TEST_F(AtlasDeviceTest, ShutdownDestroysBothAtlases) {
    testing::internal::CaptureStdout();
    app.createBlockAtlas();
    testing::internal::GetCapturedStdout();
    app.shutdown();
    EXPECT_EQ(app.atlases.atlasImage, VK_NULL_HANDLE);
    EXPECT_EQ(app.atlases.atlasMemory, VK_NULL_HANDLE);
    EXPECT_EQ(app.atlases.uiSampler, VK_NULL_HANDLE);
    EXPECT_EQ(app.atlases.uiMemory, VK_NULL_HANDLE);
}

}  // namespace
