#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gpu_fixture.h"
#include "platform/image.h"
#include "render/atlases/content_meta.h"

namespace {

class FrameDeviceTest : public rendertest::RendererGpuTest {
protected:
    std::vector<uint8_t> metaBytes() {
        return mappedBytes(app.descriptors.contentMetaMemory, render::kContentMetaBytes);
    }

    void poisonBiomeLabels() {
        std::vector<uint8_t> bytes = metaBytes();
        std::memset(bytes.data() + render::kBiomeLabelsOffset, 0xEE, render::kBiomeLabelsBytes);
        writeMeta(bytes);
    }

    void writeMeta(const std::vector<uint8_t>& bytes) {
        void* mapped = nullptr;
        ASSERT_EQ(vkMapMemory(app.gpu.dev, app.descriptors.contentMetaMemory, 0, VK_WHOLE_SIZE, 0, &mapped), VK_SUCCESS);
        std::memcpy(mapped, bytes.data(), bytes.size());
        vkUnmapMemory(app.gpu.dev, app.descriptors.contentMetaMemory);
    }

    std::vector<uint8_t> biomeRegion() {
        const std::vector<uint8_t> bytes = metaBytes();
        const auto first = bytes.begin() + render::kBiomeLabelsOffset;
        return {first, first + render::kBiomeLabelsBytes};
    }

    platform::Image capture(const std::string& name) {
        app.gpu.capturePath = root.path() / name;
        app.drawFrame();
        EXPECT_TRUE(app.gpu.capturePath.empty());
        return platform::decodePng(root.path() / name);
    }
};

std::shared_ptr<const voxel::GenerationProfile> profileWithBiomes(std::vector<std::string> names) {
    auto profile = std::make_shared<voxel::GenerationProfile>();
    for (const std::string& name : names) {
        voxel::BiomeRule rule;
        rule.name = name;
        profile->biomes.push_back(rule);
    }
    return profile;
}

TEST_F(FrameDeviceTest, ContentMetaBufferStartsWithItsFixedRegionsAndIsBound) {
    ASSERT_NE(app.descriptors.contentMeta, VK_NULL_HANDLE);
    EXPECT_NE(app.descriptors.atlasSetLayout, VK_NULL_HANDLE);
    EXPECT_NE(app.descriptors.atlasPool, VK_NULL_HANDLE);
    EXPECT_NE(app.atlases.atlasSet, VK_NULL_HANDLE);
    const std::vector<uint8_t> expected =
        render::contentMetaBytes(voxel::blockRegistry(), app.atlases.materialRects, app.atlases.layerCount);
    EXPECT_TRUE(metaBytes() == expected);
    EXPECT_GT(app.atlases.layerCount, 0u);
}

TEST_F(FrameDeviceTest, BiomeLabelsAreWrittenOncePerProfile) {
    const auto marsh = profileWithBiomes({"marsh", "dunes"});
    app.world.profile = marsh;
    app.uploadContentMeta();
    EXPECT_EQ(biomeRegion(), render::biomeLabelBytes(marsh.get()));

    poisonBiomeLabels();
    app.uploadContentMeta();
    EXPECT_EQ(biomeRegion(), std::vector<uint8_t>(render::kBiomeLabelsBytes, 0xEE)) << "the same profile: no write";

    app.world.profile = profileWithBiomes({});
    app.uploadContentMeta();
    EXPECT_EQ(biomeRegion(), std::vector<uint8_t>(render::kBiomeLabelsBytes, 0)) << "no custom biomes: all zero";

    app.world.profile = marsh;
    app.uploadContentMeta();
    EXPECT_EQ(biomeRegion(), render::biomeLabelBytes(marsh.get())) << "back again: written again";
}

TEST_F(FrameDeviceTest, FramesCaptureCountAndHideTheInterfaceFromOrdinaryScreenshots) {
    EXPECT_FALSE(app.frame.planesValid);
    app.frame.keepInterface = true;
    const platform::Image menu = capture("menu.png");
    EXPECT_TRUE(app.frame.planesValid);
    EXPECT_EQ(menu.width, app.gpu.swapchainWidth);

    app.frame.keepInterface = false;
    const platform::Image clean = capture("clean.png");
    EXPECT_EQ(app.frame.stats.ringFill, 1u);
    EXPECT_GT(app.frame.stats.lastFrameMs, 0.0);
    // Without interface the main menu's background is gone: only the sky is left.
    std::size_t differing = 0;
    for (std::size_t i = 0; i < menu.pixels.size(); i += 4) differing += menu.pixels[i] != clean.pixels[i];
    EXPECT_GT(differing, menu.pixels.size() / 8);
}

// The frame leaves the per-frame part of the content meta buffer to the overlay writer: after a frame
// the buffer holds what the writer alone writes over the buffer as it was created.
TEST_F(FrameDeviceTest, OnlyTheOverlayWriterWritesThePerFrameRegions) {
    const std::vector<uint8_t> created = metaBytes();
    app.frame.keepInterface = true;
    app.drawFrame();
    ASSERT_EQ(vkDeviceWaitIdle(app.gpu.dev), VK_SUCCESS);
    const std::vector<uint8_t> framed = metaBytes();
    EXPECT_FALSE(framed == created) << "the screen's layout is written";
    writeMeta(created);
    app.updateOverlay();
    EXPECT_TRUE(metaBytes() == framed);
}

// As the main loop does when the framebuffer size changed: a new swapchain, then frames at its size.
TEST_F(FrameDeviceTest, FramesAfterAResizeDrawAtTheNewSize) {
    app.drawFrame();
    const int width = resizeWindow(800, 450).first;
    ASSERT_EQ(width, 800);
    app.createSwapchain();
    const platform::Image frame = capture("small.png");
    EXPECT_EQ(frame.width, 800u);
    EXPECT_EQ(frame.height, 450u);
}

// The fog distances are constants of the world pipelines: a frame after a change of the chunk radius
// rebuilds them (the build prints its line), a frame at the same radius does not.
TEST_F(FrameDeviceTest, AChunkRadiusChangeRebuildsThePipelinesOnce) {
    app.drawFrame();
    const struct {
        int32_t radius;
        bool rebuilt;
    } steps[] = {{app.chunkRadius, false}, {app.chunkRadius + 1, true}, {app.chunkRadius + 1, false},
                 {app.chunkRadius, true}, {0, true}, {0, false}};
    for (const auto& step : steps) {
        app.chunkRadius = step.radius;
        testing::internal::CaptureStdout();
        app.drawFrame();
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(printed == "Creating graphics pipeline...\n", step.rebuilt) << step.radius << ": " << printed;
        EXPECT_EQ(app.swapchain.fogRadius, step.radius);
        EXPECT_NE(app.swapchain.chunkSolidPipeline, VK_NULL_HANDLE);
    }
}

}  // namespace
