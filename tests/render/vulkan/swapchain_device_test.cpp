#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "gpu_fixture.h"
#include "picture_difference.h"
#include "platform/image.h"
#include "png_fixture.h"
#include "render/atlases/content_meta.h"
#include "render/frame/world_block.h"
#include "render/interface/interface_block.h"
#include "render/interface/interface_layout.h"
#include "render/interface/interface_tiles.h"
#include "render/vulkan/gpu_image.h"
#include "support/failure.h"

namespace fs = std::filesystem;
using atlastest::pixelAt;
using atlastest::Rgba;
using testsupport::failureOf;

namespace {

// The world pipelines' push constants: camera, light, target and the frame's values.
struct WorldBlock {
    std::array<float, 16> camera{};
    std::array<float, 4> light{};
    std::array<float, 4> target{};
    render::FrameValuesBlock frame{};
};

// The stand-in block atlas's one texel, and the material of item 1's icon, which shows it whole.
const Rgba kAtlasTexel{188, 96, 40, 255};
constexpr std::size_t kIconMaterial = 8;

// Every shader file the game reads, and nothing else.
const std::set<std::string> kShaderFiles{"voxel.vert.spv",       "voxel.frag.spv", "portrait142.vert.spv",
                                         "portrait142.frag.spv", "cross.vert.spv", "cross.frag.spv",
                                         "sky.frag.spv"};

// A camera at the origin looking along +x with the level horizon across the middle of the screen.
std::array<float, 16> levelCamera(float aspect) {
    const float g = 1.0f / std::tan(0.95f / 2.0f);
    // Rows of the view matrix: right (0, 0, 1), up (0, 1, 0), back (-1, 0, 0); no translation.
    std::array<float, 16> m{};        // column-major projection x view
    m[0 * 4 + 2] = -1.0001f * -1.0f;  // column 0 (world x) feeds view z = -x
    m[0 * 4 + 3] = 1.0f;              // w' = -view z = x
    m[1 * 4 + 1] = -g;                // column 1 (world y): y' = -g y
    m[2 * 4 + 0] = g / aspect;        // column 2 (world z): x' = (g / aspect) z
    m[3 * 4 + 2] = -0.10001f;
    return m;
}

// The swapchain's single objects: the swapchain, depth image, memory and view, pass, layout and pipelines.
std::vector<const void*> swapchainObjects(const SwapchainState& sc) {
    return {sc.swap, sc.depth, sc.depthMem, sc.depthView, sc.pass, sc.layout, sc.voxelPipeline, sc.waterPipeline,
            sc.handPipeline, sc.portraitPipeline142, sc.crosshairPipeline, sc.iconlessInterfacePipeline,
            sc.skyPipeline, sc.daySkyPipeline, sc.chunkSolidPipeline, sc.chunkPlainPipeline, sc.chunkWaterPipeline};
}

class SwapchainDeviceTest : public rendertest::GpuTest {
   protected:
    void SetUp() override {
        unsetenv("QUORVANE_TEST_SHADERS");
        app.createWindowAndDevice();
        app.createFrameSync();
        createDescriptorSet();
    }
    void TearDown() override {
        unsetenv("QUORVANE_TEST_SHADERS");
        GpuTest::TearDown();
    }

    // Stand-ins for the atlases and the content meta buffer, bound as the game binds them: a block
    // atlas of one texel, a clear interface atlas, zeros but for item 1's icon. The shutdown frees them.
    void createDescriptorSet() {
        const platform::Image texel{1, 1, {kAtlasTexel.begin(), kAtlasTexel.end()}};
        const platform::Image clear{1, 1, {0, 0, 0, 0}};
        app.atlases.setBlockAtlas(render::uploadImage(
            app, texel, {VK_FORMAT_R8G8B8A8_UNORM, VK_FILTER_NEAREST}, render::kBlockAtlasSites));
        app.atlases.setUiAtlas(render::uploadImage(app, clear, {VK_FORMAT_R8G8B8A8_SRGB, VK_FILTER_LINEAR},
                                                   render::kUiAtlasSites));
        std::vector<uint8_t> meta(render::kContentMetaBytes);
        const float wholeAtlas[4] = {0.0f, 0.0f, 1.0f, 1.0f};
        std::memcpy(&meta[render::kMaterialRectsOffset + kIconMaterial * sizeof wholeAtlas], wholeAtlas,
                    sizeof wholeAtlas);
        vk::createBuffer(app, meta.size(), VK_BUFFER_USAGE_STORAGE_BUFFER_BIT, app.descriptors.contentMeta,
                         app.descriptors.contentMetaMemory, meta.data());
        app.createAtlasDescriptors();
    }

    // Records one frame into the acquired image's command buffer, submits it, captures when a path
    // is set and presents.
    void drawFrame(VkClearColorValue clear, const std::function<void(VkCommandBuffer)>& draw) {
        const VkDevice dev = app.gpu.dev;
        ASSERT_EQ(vkWaitForFences(dev, 1, &app.gpu.fence, VK_TRUE, UINT64_MAX), VK_SUCCESS);
        uint32_t index = 0;
        ASSERT_EQ(vkAcquireNextImageKHR(dev, app.swapchain.swap, UINT64_MAX, app.gpu.available,
                                        VK_NULL_HANDLE, &index),
                  VK_SUCCESS);
        VkCommandBuffer cmd = app.swapchain.cmds[index];
        vkResetCommandBuffer(cmd, 0);
        VkCommandBufferBeginInfo begin{};
        begin.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO;
        ASSERT_EQ(vkBeginCommandBuffer(cmd, &begin), VK_SUCCESS);
        VkClearValue clears[2]{};
        clears[0].color = clear;
        clears[1].depthStencil = {1.0f, 0};
        const VkExtent2D extent{app.gpu.swapchainWidth, app.gpu.swapchainHeight};
        const VkRenderPassBeginInfo rp{VK_STRUCTURE_TYPE_RENDER_PASS_BEGIN_INFO, nullptr, app.swapchain.pass,
                                       app.swapchain.framebuffers[index], {{0, 0}, extent}, 2, clears};
        vkCmdBeginRenderPass(cmd, &rp, VK_SUBPASS_CONTENTS_INLINE);
        const VkViewport viewport{0, 0, float(extent.width), float(extent.height), 0, 1};
        const VkRect2D scissor{{0, 0}, extent};
        vkCmdSetViewport(cmd, 0, 1, &viewport);
        vkCmdSetScissor(cmd, 0, 1, &scissor);
        vkCmdBindDescriptorSets(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, app.swapchain.layout, 0, 1,
                                &app.atlases.atlasSet, 0, nullptr);
        draw(cmd);
        vkCmdEndRenderPass(cmd);
        ASSERT_EQ(vkEndCommandBuffer(cmd), VK_SUCCESS);
        ASSERT_EQ(vkResetFences(dev, 1, &app.gpu.fence), VK_SUCCESS);
        const VkPipelineStageFlags wait = VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT;
        const VkSubmitInfo submit{VK_STRUCTURE_TYPE_SUBMIT_INFO, nullptr, 1, &app.gpu.available, &wait, 1, &cmd, 1,
                                  &app.swapchain.renderFinished[index]};
        ASSERT_EQ(vkQueueSubmit(app.gpu.queue, 1, &submit, app.gpu.fence), VK_SUCCESS);
        app.captureScreenshot(index);
        const VkPresentInfoKHR present{VK_STRUCTURE_TYPE_PRESENT_INFO_KHR, nullptr, 1,
                                       &app.swapchain.renderFinished[index], 1, &app.swapchain.swap, &index, nullptr};
        const VkResult presented = vkQueuePresentKHR(app.gpu.queue, &present);
        EXPECT_TRUE(presented == VK_SUCCESS || presented == VK_SUBOPTIMAL_KHR) << presented;
        vkQueueWaitIdle(app.gpu.queue);
    }

    void drawSky(VkCommandBuffer cmd) {
        WorldBlock block;
        block.camera = levelCamera(float(app.gpu.swapchainWidth) / float(app.gpu.swapchainHeight));
        block.light = {1.0f, 0.0f, 0.0f, 0.0f};
        block.frame.dayFraction = 0.25f;  // noon
        vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, app.swapchain.skyPipeline);
        vkCmdPushConstants(cmd, app.swapchain.layout,
                           VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT, 0, sizeof block,
                           &block);
        vkCmdDraw(cmd, 3, 1, 0, 0);
    }

    render::InterfaceBlock interfaceBlock(int32_t screen) const {
        render::InterfaceBlock block{};
        block.framebuffer[0] = float(app.gpu.swapchainWidth);
        block.framebuffer[1] = float(app.gpu.swapchainHeight);
        block.screen = screen;
        return block;
    }

    void drawInterface(VkCommandBuffer cmd, const render::InterfaceBlock& block) {
        // The interface shader draws the elements the overlay writer lays out.
        void* mapped = nullptr;
        ASSERT_EQ(vkMapMemory(app.gpu.dev, app.descriptors.contentMetaMemory, 0, VK_WHOLE_SIZE, 0, &mapped), VK_SUCCESS);
        const std::span<uint32_t> words(static_cast<uint32_t*>(mapped), render::kContentMetaBytes / 4);
        render::writeInterfaceTiles(words, render::layoutInterface(block, words), app.gpu.swapchainWidth,
                                    app.gpu.swapchainHeight, block);
        vkUnmapMemory(app.gpu.dev, app.descriptors.contentMetaMemory);
        vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, app.swapchain.crosshairPipeline);
        vkCmdPushConstants(cmd, app.swapchain.layout,
                           VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT, 0, sizeof block,
                           &block);
        vkCmdDraw(cmd, 3, 1, 0, 0);
    }

    platform::Image capture(const std::function<void(VkCommandBuffer)>& draw,
                            VkClearColorValue clear = {{0.0f, 0.0f, 0.0f, 1.0f}}) {
        app.gpu.capturePath = dir.path() / "frame.png";
        drawFrame(clear, draw);
        EXPECT_TRUE(app.gpu.capturePath.empty());
        return platform::decodePng(dir.path() / "frame.png");
    }

    void expectSwapchainComplete(uint32_t width, uint32_t height) {
        const SwapchainState& sc = app.swapchain;
        const std::vector<const void*> objects = swapchainObjects(sc);
        for (std::size_t i = 0; i < objects.size(); ++i) EXPECT_NE(objects[i], nullptr) << "object " << i;
        ASSERT_FALSE(sc.images.empty());
        EXPECT_EQ(sc.views.size(), sc.images.size());
        EXPECT_EQ(sc.renderFinished.size(), sc.images.size());
        EXPECT_EQ(sc.framebuffers.size(), sc.images.size());
        EXPECT_EQ(sc.cmds.size(), sc.images.size());
        EXPECT_EQ(app.gpu.swapchainWidth, width);
        EXPECT_EQ(app.gpu.swapchainHeight, height);
        EXPECT_NE(sc.handPipeline, sc.voxelPipeline);
        EXPECT_NE(sc.chunkSolidPipeline, sc.voxelPipeline);
        EXPECT_NE(sc.chunkPlainPipeline, sc.chunkSolidPipeline);
        EXPECT_NE(sc.daySkyPipeline, sc.skyPipeline);
        EXPECT_NE(sc.chunkWaterPipeline, sc.waterPipeline);
        EXPECT_NE(sc.iconlessInterfacePipeline, sc.crosshairPipeline);
        EXPECT_EQ(sc.liveShaderModules, 0u);
    }

    void expectSwapchainGone() {
        const SwapchainState& sc = app.swapchain;
        const std::vector<const void*> objects = swapchainObjects(sc);
        for (std::size_t i = 0; i < objects.size(); ++i) EXPECT_EQ(objects[i], nullptr) << "object " << i;
        EXPECT_TRUE(sc.images.empty() && sc.views.empty() && sc.renderFinished.empty());
        EXPECT_TRUE(sc.framebuffers.empty() && sc.cmds.empty());
    }

    testsupport::TempDir dir;
};

TEST_F(SwapchainDeviceTest, StartUpBuildsEveryObjectOncePerImage) {
    testing::internal::CaptureStdout();
    app.createSwapchain();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, "Creating graphics pipeline...\n");
    expectSwapchainComplete(1280, 720);
    EXPECT_EQ(app.swapchain.format, VK_FORMAT_B8G8R8A8_SRGB);
    EXPECT_TRUE(app.swapchain.copyable);
}

TEST_F(SwapchainDeviceTest, ResizeRebuildsEverythingAtTheNewSize) {
    app.createSwapchain();
    ASSERT_EQ(resizeWindow(1000, 600), std::pair(1000, 600));
    app.createSwapchain();
    expectSwapchainComplete(1000, 600);

    const platform::Image frame = capture([](VkCommandBuffer) {});
    EXPECT_EQ(std::pair(frame.width, frame.height), std::pair(1000u, 600u));
}

TEST_F(SwapchainDeviceTest, ShutdownReleasesTheSwapchainAndCanRunAgain) {
    app.createSwapchain();
    app.shutdown();
    expectSwapchainGone();
    const std::vector<const void*> released{app.descriptors.atlasSetLayout, app.descriptors.atlasPool,
                                            app.descriptors.contentMeta, app.descriptors.contentMetaMemory,
                                            app.atlases.atlasSet, app.gpu.dev, app.gpu.win};
    for (std::size_t i = 0; i < released.size(); ++i) EXPECT_EQ(released[i], nullptr) << "object " << i;
    EXPECT_NO_THROW(app.shutdown());
    EXPECT_NO_THROW(app.destroySwapchainResources());
}

// An unusable shader stops the build after the world and hand pipelines: what was made stays for the
// next build or the shutdown, and no shader module is left behind.
TEST_F(SwapchainDeviceTest, FailedPipelineBuildKeepsWhatWasMadeAndReleasesItsModules) {
    testsupport::writeFile(dir.path() / "portrait142.vert.spv", "");
    setenv("QUORVANE_TEST_SHADERS", dir.path().c_str(), 1);
    EXPECT_EQ(failureOf([&] { app.createSwapchain(); }), "Invalid shader: portrait142.vert.spv");
    const SwapchainState& sc = app.swapchain;
    EXPECT_EQ(sc.liveShaderModules, 0u);
    for (VkPipeline p : {sc.voxelPipeline, sc.waterPipeline, sc.handPipeline, sc.chunkSolidPipeline,
                         sc.chunkPlainPipeline, sc.chunkWaterPipeline})
        EXPECT_NE(p, VK_NULL_HANDLE);
    EXPECT_EQ(sc.portraitPipeline142, VK_NULL_HANDLE);
    EXPECT_EQ(sc.crosshairPipeline, VK_NULL_HANDLE);
    EXPECT_TRUE(sc.framebuffers.empty());

    fs::remove(dir.path() / "portrait142.vert.spv");
    testsupport::writeFile(dir.path() / "sky.frag.spv", "abc");
    EXPECT_EQ(failureOf([&] { app.createSwapchain(); }), "Invalid shader: sky.frag.spv");
    EXPECT_EQ(app.swapchain.liveShaderModules, 0u);
    EXPECT_NE(app.swapchain.crosshairPipeline, VK_NULL_HANDLE);
    EXPECT_EQ(app.swapchain.skyPipeline, VK_NULL_HANDLE);
    EXPECT_EQ(app.swapchain.daySkyPipeline, VK_NULL_HANDLE);

    unsetenv("QUORVANE_TEST_SHADERS");
    app.createSwapchain();
    expectSwapchainComplete(1280, 720);
    app.shutdown();
    expectSwapchainGone();
}

// A shader folder with the seven files alone, without the specialisation constants of the game's
// own, gives every pipeline, and nothing is read from anywhere else.
TEST_F(SwapchainDeviceTest, TheSevenShaderFilesBuildEveryPipeline) {
    const fs::path folder = dir.path() / "seven";
    fs::create_directories(folder);
    for (const std::string& name : kShaderFiles)
        fs::copy_file(fs::path(QUORVANE_UNSPECIALISED_SHADERS) / name, folder / name);
    setenv("QUORVANE_TEST_SHADERS", folder.c_str(), 1);
    std::vector<fs::path> reads;
    app.files.shaderReads = &reads;

    app.createSwapchain();
    expectSwapchainComplete(1280, 720);

    std::set<std::string> names;
    for (const fs::path& read : reads) {
        EXPECT_EQ(read.parent_path(), folder) << read;
        names.insert(read.filename().string());
    }
    EXPECT_EQ(names, kShaderFiles);
    app.files.shaderReads = nullptr;
}

TEST_F(SwapchainDeviceTest, CaptureWritesAnOpaquePngOfTheFrameWithTheScreensColours) {
    app.createSwapchain();
    // Pure red with zero alpha: the file must be red, not blue, and opaque.
    const platform::Image frame = capture([](VkCommandBuffer) {}, {{1.0f, 0.0f, 0.0f, 0.0f}});
    ASSERT_EQ(std::pair(frame.width, frame.height), std::pair(1280u, 720u));
    for (uint32_t y : {0u, 359u, 719u}) {
        for (uint32_t x : {0u, 640u, 1279u}) {
            EXPECT_EQ(pixelAt(frame, x, y), (Rgba{255, 0, 0, 255})) << x << "," << y;
        }
    }
    // The request is fulfilled once.
    fs::remove(dir.path() / "frame.png");
    drawFrame({{0.0f, 0.0f, 0.0f, 1.0f}}, [](VkCommandBuffer) {});
    EXPECT_FALSE(fs::exists(dir.path() / "frame.png"));
}

TEST_F(SwapchainDeviceTest, CaptureIsSkippedWhenTheImagesCannotBeCopiedOrTheFolderIsMissing) {
    app.createSwapchain();
    app.swapchain.copyable = false;
    app.gpu.capturePath = dir.path() / "skipped.png";
    drawFrame({{0.0f, 0.0f, 0.0f, 1.0f}}, [](VkCommandBuffer) {});
    EXPECT_TRUE(app.gpu.capturePath.empty());
    EXPECT_FALSE(fs::exists(dir.path() / "skipped.png"));

    app.swapchain.copyable = true;
    app.gpu.capturePath = dir.path() / "missing" / "shot.png";
    drawFrame({{0.0f, 0.0f, 0.0f, 1.0f}}, [](VkCommandBuffer) {});
    EXPECT_TRUE(app.gpu.capturePath.empty());
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(SwapchainDeviceTest, SkyIsDeeperOverheadThanAtTheHorizonAndOpaque) {
    app.createSwapchain();
    const platform::Image frame = capture([this](VkCommandBuffer cmd) { drawSky(cmd); });
    const Rgba top = pixelAt(frame, 640, 2);
    const Rgba horizon = pixelAt(frame, 640, 362);
    EXPECT_LT(top[0] + 20, horizon[0]);  // less red, so a deeper blue, overhead
    EXPECT_GT(top[2], top[0]);
    EXPECT_EQ(top[3], 255);
    const Rgba ground = pixelAt(frame, 640, 715);
    for (int c = 0; c < 4; ++c)  // below the horizon it keeps the fog's colour
        EXPECT_NEAR(ground[c], horizon[c], rendertest::captureAllowance()) << "channel " << c;
}

TEST_F(SwapchainDeviceTest, InterfaceDrawsTheCrosshairInPlayAndNothingForACleanScreenshot) {
    app.createSwapchain();
    const VkClearColorValue grey{{0.2f, 0.2f, 0.2f, 1.0f}};
    const platform::Image play =
        capture([this](VkCommandBuffer cmd) { drawInterface(cmd, interfaceBlock(0)); }, grey);
    const Rgba centre = pixelAt(play, 640, 360);
    EXPECT_GT(centre[0], 230);
    EXPECT_GT(centre[1], 230);
    const Rgba corner = pixelAt(play, 100, 100);
    const platform::Image hidden =
        capture([this](VkCommandBuffer cmd) { drawInterface(cmd, interfaceBlock(-1)); }, grey);
    EXPECT_EQ(corner, pixelAt(hidden, 100, 100));
    EXPECT_EQ(pixelAt(hidden, 640, 360)[0], corner[0]);
}

// Binding 0 holds the block atlas as uploaded, sRGB bytes in a UNORM image, which the shaders decode
// once: an item icon cut from the stand-in atlas's one texel shows that texel's colour on the sRGB
// swapchain (decoded twice it would come out far darker). The pool holds the one set.
TEST_F(SwapchainDeviceTest, BindingZeroIsTheBlockAtlasAsStoredAndThePoolHoldsOneSet) {
    app.createSwapchain();
    render::InterfaceBlock block = interfaceBlock(0);
    block.slots[0] = 1u << 8 | 1u;  // one of item 1 in the first hotbar slot
    std::vector<uint32_t> words(render::kContentMetaBytes / 4);
    const std::vector<render::InterfaceElement> elements = render::layoutInterface(block, words);
    const auto icon = std::find_if(elements.begin(), elements.end(),
                                   [](const auto& e) { return e.kind == render::ElementKind::Icon; });
    ASSERT_NE(icon, elements.end());
    const platform::Image frame = capture([&](VkCommandBuffer cmd) { drawInterface(cmd, block); });
    const Rgba shown = pixelAt(frame, uint32_t(icon->rect[0] + icon->rect[2] / 2),
                               uint32_t(icon->rect[1] + icon->rect[3] / 2));
    for (int c = 0; c < 4; ++c)
        EXPECT_NEAR(shown[c], kAtlasTexel[c], rendertest::kDriverRounding) << "channel " << c;

    std::map<VkDescriptorType, uint32_t> held;
    for (const VkDescriptorPoolSize& size : render::kAtlasPoolSizes) held[size.type] += size.descriptorCount;
    EXPECT_EQ(held, (std::map<VkDescriptorType, uint32_t>{{VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER, 2},
                                                          {VK_DESCRIPTOR_TYPE_STORAGE_BUFFER, 1}}));
    EXPECT_EQ(render::kAtlasPoolSets, 1u);
}

}  // namespace
