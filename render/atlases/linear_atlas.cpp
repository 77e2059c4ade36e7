#include "render/atlases/linear_atlas.h"

#include <array>
#include <stdexcept>

#include "app/app.h"
#include "render/vulkan/swapchain.h"
#include "render/vulkan/vulkan_check.h"

namespace render {

namespace {

constexpr VkFormat kLinearFormat = VK_FORMAT_R32G32B32A32_SFLOAT;
// The decoded copy is part of making the block atlas, so its failures report the atlas's lines.
const ImageUploadSites kLinearAtlasSites = {
    {"vkCreateImage(dev,&img,nullptr,&linearAtlasImage)", 931},
    {"vkAllocateMemory(dev,&ai,nullptr,&linearAtlasMemory)", 935},
    {"vkBindImageMemory(dev,linearAtlasImage,linearAtlasMemory,0)", 936},
    {"vkAllocateCommandBuffers(dev,&alloc,&cmd)", 939},
    {"vkBeginCommandBuffer(cmd,&begin)", 942},
    {"vkEndCommandBuffer(cmd)", 956},
    {"vkQueueSubmit(queue,1,&submit,VK_NULL_HANDLE)", 959},
    {"vkQueueWaitIdle(queue)", 960},
    {"vkCreateImageView(dev,&vi,nullptr,&linearAtlasView)", 967},
    {"vkCreateSampler(dev,&si,nullptr,&linearAtlasSampler)", 973},
};
constexpr int kDrawLine = 931;  // the render pass, framebuffer and pipeline of the copy
constexpr VkShaderStageFlags kPushStages = VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT;
// sky.frag's specialisation constant that turns it into the decode.
constexpr uint32_t kDecodeAtlasConstant = 1;

// What only lives while the copy is drawn; destroyed however the drawing ends.
struct DecodeScratch {
    explicit DecodeScratch(const GpuState& gpu) : gpu(gpu) {}
    ~DecodeScratch() {
        const VkDevice dev = gpu.dev;
        if (commands) vkFreeCommandBuffers(dev, gpu.pool, 1, &commands);
        if (pipeline) vkDestroyPipeline(dev, pipeline, nullptr);
        if (layout) vkDestroyPipelineLayout(dev, layout, nullptr);
        if (vertex) vkDestroyShaderModule(dev, vertex, nullptr);
        if (fragment) vkDestroyShaderModule(dev, fragment, nullptr);
        if (framebuffer) vkDestroyFramebuffer(dev, framebuffer, nullptr);
        if (pass) vkDestroyRenderPass(dev, pass, nullptr);
    }
    DecodeScratch(const DecodeScratch&) = delete;
    DecodeScratch& operator=(const DecodeScratch&) = delete;

    const GpuState& gpu;
    VkRenderPass pass = VK_NULL_HANDLE;
    VkFramebuffer framebuffer = VK_NULL_HANDLE;
    VkShaderModule vertex = VK_NULL_HANDLE, fragment = VK_NULL_HANDLE;
    VkPipelineLayout layout = VK_NULL_HANDLE;
    VkPipeline pipeline = VK_NULL_HANDLE;
    VkCommandBuffer commands = VK_NULL_HANDLE;
};

// Copyable, like the swapchain images, so that it can be read back and checked.
void createTarget(App& app, VkExtent2D size, GpuImage& made) {
    const VkImageUsageFlags usage =
        VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT | VK_IMAGE_USAGE_SAMPLED_BIT | VK_IMAGE_USAGE_TRANSFER_SRC_BIT;
    createImage(app, size, kLinearFormat, usage, kLinearAtlasSites, made);
    createView(app.gpu.dev, kLinearFormat, kLinearAtlasSites, made);
    // Sampled as the block atlas is: nearest, clamped to the edge.
    createSampler(app.gpu.dev, VK_FILTER_NEAREST, kLinearAtlasSites, made);
}

// One colour attachment, left for the shaders to read.
void createPass(VkDevice dev, DecodeScratch& s) {
    VkAttachmentDescription colour{};
    colour.format = kLinearFormat;
    colour.samples = VK_SAMPLE_COUNT_1_BIT;
    colour.loadOp = VK_ATTACHMENT_LOAD_OP_DONT_CARE;
    colour.storeOp = VK_ATTACHMENT_STORE_OP_STORE;
    colour.stencilLoadOp = VK_ATTACHMENT_LOAD_OP_DONT_CARE;
    colour.stencilStoreOp = VK_ATTACHMENT_STORE_OP_DONT_CARE;
    colour.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    colour.finalLayout = VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL;
    const VkAttachmentReference reference{0, VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL};
    VkSubpassDescription subpass{};
    subpass.pipelineBindPoint = VK_PIPELINE_BIND_POINT_GRAPHICS;
    subpass.colorAttachmentCount = 1;
    subpass.pColorAttachments = &reference;
    VkSubpassDependency readAfter{};
    readAfter.srcSubpass = 0;
    readAfter.dstSubpass = VK_SUBPASS_EXTERNAL;
    readAfter.srcStageMask = VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT;
    readAfter.srcAccessMask = VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT;
    readAfter.dstStageMask = VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT;
    readAfter.dstAccessMask = VK_ACCESS_SHADER_READ_BIT;
    VkRenderPassCreateInfo rp{};
    rp.sType = VK_STRUCTURE_TYPE_RENDER_PASS_CREATE_INFO;
    rp.attachmentCount = 1;
    rp.pAttachments = &colour;
    rp.subpassCount = 1;
    rp.pSubpasses = &subpass;
    rp.dependencyCount = 1;
    rp.pDependencies = &readAfter;
    check(vkCreateRenderPass(dev, &rp, nullptr, &s.pass), "vkCreateRenderPass(dev,&rp,nullptr,&decodePass)",
          kDrawLine);
}

void createFramebuffer(VkDevice dev, VkExtent2D size, VkImageView view, DecodeScratch& s) {
    VkFramebufferCreateInfo fb{};
    fb.sType = VK_STRUCTURE_TYPE_FRAMEBUFFER_CREATE_INFO;
    fb.renderPass = s.pass;
    fb.attachmentCount = 1;
    fb.pAttachments = &view;
    fb.width = size.width;
    fb.height = size.height;
    fb.layers = 1;
    check(vkCreateFramebuffer(dev, &fb, nullptr, &s.framebuffer),
          "vkCreateFramebuffer(dev,&fb,nullptr,&decodeFramebuffer)", kDrawLine);
}

void createPipeline(App& app, VkExtent2D size, DecodeScratch& s) {
    const VkDevice dev = app.gpu.dev;
    s.vertex = app.createShaderModule("cross.vert.spv");
    s.fragment = app.createShaderModule("sky.frag.spv");
    // The full-screen triangle's shaders name the push constants of the other pipelines.
    createPipelineLayout(dev, app.descriptors.atlasSetLayout,
                         "vkCreatePipelineLayout(dev,&pl,nullptr,&decodeLayout)", kDrawLine, s.layout);

    VkPipelineShaderStageCreateInfo stages[2]{};
    for (VkPipelineShaderStageCreateInfo& stage : stages) {
        stage.sType = VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO;
        stage.pName = "main";
    }
    stages[0].stage = VK_SHADER_STAGE_VERTEX_BIT;
    stages[0].module = s.vertex;
    stages[1].stage = VK_SHADER_STAGE_FRAGMENT_BIT;
    stages[1].module = s.fragment;
    const VkBool32 decode = VK_TRUE;
    const VkSpecializationMapEntry decodeEntry{kDecodeAtlasConstant, 0, sizeof decode};
    const VkSpecializationInfo decodeConstants{1, &decodeEntry, sizeof decode, &decode};
    stages[1].pSpecializationInfo = &decodeConstants;
    VkPipelineVertexInputStateCreateInfo input{};
    input.sType = VK_STRUCTURE_TYPE_PIPELINE_VERTEX_INPUT_STATE_CREATE_INFO;
    VkPipelineInputAssemblyStateCreateInfo assembly{};
    assembly.sType = VK_STRUCTURE_TYPE_PIPELINE_INPUT_ASSEMBLY_STATE_CREATE_INFO;
    assembly.topology = VK_PRIMITIVE_TOPOLOGY_TRIANGLE_LIST;
    const VkViewport viewport{0.0f, 0.0f, float(size.width), float(size.height), 0.0f, 1.0f};
    const VkRect2D scissor{{0, 0}, size};
    VkPipelineViewportStateCreateInfo view{};
    view.sType = VK_STRUCTURE_TYPE_PIPELINE_VIEWPORT_STATE_CREATE_INFO;
    view.viewportCount = 1;
    view.pViewports = &viewport;
    view.scissorCount = 1;
    view.pScissors = &scissor;
    VkPipelineRasterizationStateCreateInfo raster{};
    raster.sType = VK_STRUCTURE_TYPE_PIPELINE_RASTERIZATION_STATE_CREATE_INFO;
    raster.polygonMode = VK_POLYGON_MODE_FILL;
    raster.cullMode = VK_CULL_MODE_NONE;
    raster.lineWidth = 1.0f;
    VkPipelineMultisampleStateCreateInfo multisample{};
    multisample.sType = VK_STRUCTURE_TYPE_PIPELINE_MULTISAMPLE_STATE_CREATE_INFO;
    multisample.rasterizationSamples = VK_SAMPLE_COUNT_1_BIT;
    VkPipelineColorBlendAttachmentState attachment{};
    attachment.colorWriteMask = VK_COLOR_COMPONENT_R_BIT | VK_COLOR_COMPONENT_G_BIT |
                                VK_COLOR_COMPONENT_B_BIT | VK_COLOR_COMPONENT_A_BIT;
    VkPipelineColorBlendStateCreateInfo blend{};
    blend.sType = VK_STRUCTURE_TYPE_PIPELINE_COLOR_BLEND_STATE_CREATE_INFO;
    blend.attachmentCount = 1;
    blend.pAttachments = &attachment;
    VkGraphicsPipelineCreateInfo info{};
    info.sType = VK_STRUCTURE_TYPE_GRAPHICS_PIPELINE_CREATE_INFO;
    info.stageCount = 2;
    info.pStages = stages;
    info.pVertexInputState = &input;
    info.pInputAssemblyState = &assembly;
    info.pViewportState = &view;
    info.pRasterizationState = &raster;
    info.pMultisampleState = &multisample;
    info.pColorBlendState = &blend;
    info.layout = s.layout;
    info.renderPass = s.pass;
    check(vkCreateGraphicsPipelines(dev, VK_NULL_HANDLE, 1, &info, nullptr, &s.pipeline),
          "vkCreateGraphicsPipelines(dev,VK_NULL_HANDLE,1,&info,nullptr,&decodePipeline)", kDrawLine);
}

void drawCopy(App& app, VkExtent2D size, DecodeScratch& s) {
    submitOneTime(app.gpu, kLinearAtlasSites, s.commands, [&](VkCommandBuffer cmd) {
        VkRenderPassBeginInfo pass{};
        pass.sType = VK_STRUCTURE_TYPE_RENDER_PASS_BEGIN_INFO;
        pass.renderPass = s.pass;
        pass.framebuffer = s.framebuffer;
        pass.renderArea.extent = size;
        vkCmdBeginRenderPass(cmd, &pass, VK_SUBPASS_CONTENTS_INLINE);
        vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, s.pipeline);
        vkCmdBindDescriptorSets(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, s.layout, 0, 1, &app.atlases.decodeSet, 0,
                                nullptr);
        const std::array<uint8_t, kPushConstantBytes> zeros{};
        vkCmdPushConstants(cmd, s.layout, kPushStages, 0, kPushConstantBytes, zeros.data());
        vkCmdDraw(cmd, 3, 1, 0, 0);
        vkCmdEndRenderPass(cmd);
    });
}

}  // namespace

GpuImage decodeBlockAtlas(App& app) {
    const VkExtent2D size{app.atlases.atlasWidth, app.atlases.atlasHeight};
    VkPhysicalDeviceProperties properties{};
    vkGetPhysicalDeviceProperties(app.gpu.physical, &properties);
    if (size.width > properties.limits.maxFramebufferWidth ||
        size.height > properties.limits.maxFramebufferHeight)
        throw std::runtime_error("The block atlas (" + std::to_string(size.width) + "x" +
                                 std::to_string(size.height) +
                                 ") is larger than the graphics device can draw into");
    GpuImage made;
    try {
        createTarget(app, size, made);
        DecodeScratch scratch(app.gpu);
        createPass(app.gpu.dev, scratch);
        createFramebuffer(app.gpu.dev, size, made.view, scratch);
        createPipeline(app, size, scratch);
        drawCopy(app, size, scratch);
    } catch (...) {
        destroyImage(app.gpu.dev, made);
        throw;
    }
    return made;
}

}  // namespace render
