#include <cstddef>
#include <iostream>
#include <stdexcept>
#include <string>

#include "app/app.h"
#include "render/frame/fog.h"
#include "render/vulkan/swapchain.h"
#include "render/vulkan/vulkan_check.h"

namespace {

// What sets the six pipelines apart; everything else they share.
struct PipelineLook {
    bool vertices;  // takes 48-byte mesh vertices
    bool depthTest;
    bool depthWrite;
    bool blend;
    VkBlendFactor destinationAlpha;  // of the alpha blend; unused without blending
};

const PipelineLook kSolid{true, true, true, false, VK_BLEND_FACTOR_ZERO};
const PipelineLook kWater{true, true, false, true, VK_BLEND_FACTOR_ZERO};
const PipelineLook kPortrait{true, false, false, true, VK_BLEND_FACTOR_ONE_MINUS_SRC_ALPHA};
const PipelineLook kOverlay{false, false, false, true, VK_BLEND_FACTOR_ONE_MINUS_SRC_ALPHA};

// Locations 0..4 of the mesh vertex: position, brightness, (u, v, layer), (sky, block), motion.
const VkVertexInputAttributeDescription kVertexAttributes[5] = {{0, 0, VK_FORMAT_R32G32B32_SFLOAT, 0},
                                                                {1, 0, VK_FORMAT_R32G32B32_SFLOAT, 12},
                                                                {2, 0, VK_FORMAT_R32G32B32_SFLOAT, 24},
                                                                {3, 0, VK_FORMAT_R32G32_SFLOAT, 36},
                                                                {4, 0, VK_FORMAT_R32_SFLOAT, 44}};
const VkVertexInputBindingDescription kVertexBinding{0, render::kVertexStride, VK_VERTEX_INPUT_RATE_VERTEX};
const VkDynamicState kDynamicStates[2] = {VK_DYNAMIC_STATE_VIEWPORT, VK_DYNAMIC_STATE_SCISSOR};

// A shader module that is destroyed however the pipeline build ends.
class ShaderModule {
   public:
    ShaderModule(App& app, const std::string& name) : app_(app), module_(app.createShaderModule(name)) {
        ++app_.swapchain.liveShaderModules;
    }
    ~ShaderModule() {
        vkDestroyShaderModule(app_.gpu.dev, module_, nullptr);
        --app_.swapchain.liveShaderModules;
    }
    ShaderModule(const ShaderModule&) = delete;
    ShaderModule& operator=(const ShaderModule&) = delete;
    VkShaderModule get() const { return module_; }

   private:
    App& app_;
    VkShaderModule module_;
};

// The creation info of one pipeline with every state it points to.
class PipelineRecipe {
   public:
    explicit PipelineRecipe(VkRenderPass pass) {
        stages_[0] = stage(VK_SHADER_STAGE_VERTEX_BIT);
        stages_[1] = stage(VK_SHADER_STAGE_FRAGMENT_BIT);
        assembly_.sType = VK_STRUCTURE_TYPE_PIPELINE_INPUT_ASSEMBLY_STATE_CREATE_INFO;
        assembly_.topology = VK_PRIMITIVE_TOPOLOGY_TRIANGLE_LIST;
        viewport_.sType = VK_STRUCTURE_TYPE_PIPELINE_VIEWPORT_STATE_CREATE_INFO;
        viewport_.viewportCount = 1;
        viewport_.scissorCount = 1;
        raster_.sType = VK_STRUCTURE_TYPE_PIPELINE_RASTERIZATION_STATE_CREATE_INFO;
        raster_.polygonMode = VK_POLYGON_MODE_FILL;
        raster_.cullMode = VK_CULL_MODE_NONE;
        raster_.frontFace = VK_FRONT_FACE_COUNTER_CLOCKWISE;
        raster_.lineWidth = 1.0f;
        multisample_.sType = VK_STRUCTURE_TYPE_PIPELINE_MULTISAMPLE_STATE_CREATE_INFO;
        multisample_.rasterizationSamples = VK_SAMPLE_COUNT_1_BIT;
        depth_.sType = VK_STRUCTURE_TYPE_PIPELINE_DEPTH_STENCIL_STATE_CREATE_INFO;
        depth_.depthCompareOp = VK_COMPARE_OP_LESS;
        blend_.sType = VK_STRUCTURE_TYPE_PIPELINE_COLOR_BLEND_STATE_CREATE_INFO;
        blend_.attachmentCount = 1;
        blend_.pAttachments = &attachment_;
        dynamic_.sType = VK_STRUCTURE_TYPE_PIPELINE_DYNAMIC_STATE_CREATE_INFO;
        dynamic_.dynamicStateCount = 2;
        dynamic_.pDynamicStates = kDynamicStates;
        info_.sType = VK_STRUCTURE_TYPE_GRAPHICS_PIPELINE_CREATE_INFO;
        info_.stageCount = 2;
        info_.pStages = stages_;
        info_.pVertexInputState = &input_;
        info_.pInputAssemblyState = &assembly_;
        info_.pViewportState = &viewport_;
        info_.pRasterizationState = &raster_;
        info_.pMultisampleState = &multisample_;
        info_.pDepthStencilState = &depth_;
        info_.pColorBlendState = &blend_;
        info_.pDynamicState = &dynamic_;
        info_.renderPass = pass;
        info_.subpass = 0;
    }
    PipelineRecipe(const PipelineRecipe&) = delete;
    PipelineRecipe& operator=(const PipelineRecipe&) = delete;

    void setLayout(VkPipelineLayout layout) { info_.layout = layout; }

    void setShaders(VkShaderModule vertex, VkShaderModule fragment) {
        stages_[0].module = vertex;
        stages_[1].module = fragment;
    }

    void setFragmentConstants(const VkSpecializationInfo* constants) { stages_[1].pSpecializationInfo = constants; }
    void setVertexConstants(const VkSpecializationInfo* constants) { stages_[0].pSpecializationInfo = constants; }
    void setConstants(const VkSpecializationInfo* constants) {
        stages_[0].pSpecializationInfo = constants;
        stages_[1].pSpecializationInfo = constants;
    }

    void setLook(const PipelineLook& look) {
        input_ = {};
        input_.sType = VK_STRUCTURE_TYPE_PIPELINE_VERTEX_INPUT_STATE_CREATE_INFO;
        if (look.vertices) {
            input_.vertexBindingDescriptionCount = 1;
            input_.pVertexBindingDescriptions = &kVertexBinding;
            input_.vertexAttributeDescriptionCount = 5;
            input_.pVertexAttributeDescriptions = kVertexAttributes;
        }
        depth_.depthTestEnable = look.depthTest ? VK_TRUE : VK_FALSE;
        depth_.depthWriteEnable = look.depthWrite ? VK_TRUE : VK_FALSE;
        attachment_ = {};
        attachment_.colorWriteMask = VK_COLOR_COMPONENT_R_BIT | VK_COLOR_COMPONENT_G_BIT |
                                     VK_COLOR_COMPONENT_B_BIT | VK_COLOR_COMPONENT_A_BIT;
        if (look.blend) {
            attachment_.blendEnable = VK_TRUE;
            attachment_.srcColorBlendFactor = VK_BLEND_FACTOR_SRC_ALPHA;
            attachment_.dstColorBlendFactor = VK_BLEND_FACTOR_ONE_MINUS_SRC_ALPHA;
            attachment_.colorBlendOp = VK_BLEND_OP_ADD;
            attachment_.srcAlphaBlendFactor = VK_BLEND_FACTOR_ONE;
            attachment_.dstAlphaBlendFactor = look.destinationAlpha;
            attachment_.alphaBlendOp = VK_BLEND_OP_ADD;
        }
    }

    VkResult build(VkDevice dev, VkPipeline& pipeline) const {
        return vkCreateGraphicsPipelines(dev, VK_NULL_HANDLE, 1, &info_, nullptr, &pipeline);
    }

   private:
    static VkPipelineShaderStageCreateInfo stage(VkShaderStageFlagBits bit) {
        VkPipelineShaderStageCreateInfo s{};
        s.sType = VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO;
        s.stage = bit;
        s.pName = "main";
        return s;
    }

    VkPipelineShaderStageCreateInfo stages_[2]{};
    VkPipelineVertexInputStateCreateInfo input_{};
    VkPipelineInputAssemblyStateCreateInfo assembly_{};
    VkPipelineViewportStateCreateInfo viewport_{};
    VkPipelineRasterizationStateCreateInfo raster_{};
    VkPipelineMultisampleStateCreateInfo multisample_{};
    VkPipelineDepthStencilStateCreateInfo depth_{};
    VkPipelineColorBlendAttachmentState attachment_{};
    VkPipelineColorBlendStateCreateInfo blend_{};
    VkPipelineDynamicStateCreateInfo dynamic_{};
    VkGraphicsPipelineCreateInfo info_{};
};

void failWith(const std::string& words, VkResult result) {
    throw std::runtime_error(words + std::to_string(static_cast<int32_t>(result)));
}

}  // namespace

void render::createPipelineLayout(VkDevice dev, VkDescriptorSetLayout setLayout, const char* call, int line,
                                  VkPipelineLayout& layout) {
    VkPushConstantRange range{};
    range.stageFlags = VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT;
    range.offset = 0;
    range.size = kPushConstantBytes;
    VkPipelineLayoutCreateInfo pl{};
    pl.sType = VK_STRUCTURE_TYPE_PIPELINE_LAYOUT_CREATE_INFO;
    pl.setLayoutCount = 1;
    pl.pSetLayouts = &setLayout;
    pl.pushConstantRangeCount = 1;
    pl.pPushConstantRanges = &range;
    check(vkCreatePipelineLayout(dev, &pl, nullptr, &layout), call, line);
}

VkShaderModule App::createShaderModule(const std::string& fileName) {
    std::vector<uint32_t> code = loadShaderCode(fileName);
    VkShaderModuleCreateInfo ci{};
    ci.sType = VK_STRUCTURE_TYPE_SHADER_MODULE_CREATE_INFO;
    ci.codeSize = code.size() * sizeof(uint32_t);
    ci.pCode = code.data();
    VkShaderModule s = VK_NULL_HANDLE;
    render::check(vkCreateShaderModule(gpu.dev, &ci, nullptr, &s), "vkCreateShaderModule(dev,&ci,nullptr,&s)",
                  862);
    return s;
}

namespace {

// Specialisation constants of the world shaders: which surfaces a pipeline draws, whether it shows
// the mined cell's speckles, whether it takes the chunks' narrower interface (CHUNK_PASSES), and the
// fog distances of the chunk radius: constants, since the driver reads a buffer at every pixel.
constexpr uint32_t kSurfacesTextured = 1;
constexpr uint32_t kSurfacesWater = 2;

struct WorldSurfaces {
    uint32_t surfaces;
    VkBool32 miningShown;
    VkBool32 plain;  // no texel cut out, no sway
    VkBool32 chunkPasses;
    render::FogRange fog;
};

const VkSpecializationMapEntry kWorldSurfaceEntries[] = {
    {0, offsetof(WorldSurfaces, surfaces), sizeof(uint32_t)},
    {1, offsetof(WorldSurfaces, miningShown), sizeof(VkBool32)},
    {2, offsetof(WorldSurfaces, plain), sizeof(VkBool32)},
    {3, offsetof(WorldSurfaces, chunkPasses), sizeof(VkBool32)},
    {4, offsetof(WorldSurfaces, fog) + offsetof(render::FogRange, start), sizeof(float)},
    {5, offsetof(WorldSurfaces, fog) + offsetof(render::FogRange, end), sizeof(float)},
};

VkSpecializationInfo worldSurfaceConstants(const WorldSurfaces& values) {
    return {6, kWorldSurfaceEntries, sizeof values, &values};
}

// `general` specialises the voxel, water and hand pipelines: every surface, with the speckles.
void createWorldPipelines(App& app, PipelineRecipe& recipe, const VkSpecializationInfo& general) {
    SwapchainState& sc = app.swapchain;
    const render::FogRange fog = render::fogRange(sc.fogRadius);
    ShaderModule vertex(app, "voxel.vert.spv"), fragment(app, "voxel.frag.spv");
    render::createPipelineLayout(app.gpu.dev, app.descriptors.atlasSetLayout,
                                 "vkCreatePipelineLayout(dev,&pl,nullptr,&layout)", 1073, sc.layout);
    recipe.setLayout(sc.layout);
    // One write: the loading window's thread prints at the same time.
    std::cout << "Creating graphics pipeline...\n" << std::flush;
    recipe.setShaders(vertex.get(), fragment.get());
    recipe.setConstants(&general);
    recipe.setLook(kSolid);
    const VkResult voxel = recipe.build(app.gpu.dev, sc.voxelPipeline);
    if (voxel == VK_SUCCESS) {
        recipe.setLook(kWater);
        render::check(recipe.build(app.gpu.dev, sc.waterPipeline),
                      "vkCreateGraphicsPipelines(dev,VK_NULL_HANDLE,1,&pi,nullptr,&waterPipeline)", 1073);
        // The chunks' water pass draws water only, their solid pass (while nothing is mined) textured
        // faces without the mining speckles, the plain ones also without cutting out or swaying: the
        // same shaders specialised to the chunks' narrower interface, with the other surfaces' code
        // left out.
        const WorldSurfaces water{kSurfacesWater, VK_FALSE, VK_FALSE, VK_TRUE, fog},
            chunkSolid{kSurfacesTextured, VK_FALSE, VK_FALSE, VK_TRUE, fog},
            chunkPlain{kSurfacesTextured, VK_FALSE, VK_TRUE, VK_TRUE, fog};
        const VkSpecializationInfo waterConstants = worldSurfaceConstants(water);
        const VkSpecializationInfo chunkSolidConstants = worldSurfaceConstants(chunkSolid);
        const VkSpecializationInfo chunkPlainConstants = worldSurfaceConstants(chunkPlain);
        recipe.setConstants(&waterConstants);
        render::check(recipe.build(app.gpu.dev, sc.chunkWaterPipeline),
                      "vkCreateGraphicsPipelines(dev,VK_NULL_HANDLE,1,&pi,nullptr,&chunkWaterPipeline)", 1073);
        recipe.setLook(kSolid);
        recipe.setConstants(&chunkSolidConstants);
        render::check(recipe.build(app.gpu.dev, sc.chunkSolidPipeline),
                      "vkCreateGraphicsPipelines(dev,VK_NULL_HANDLE,1,&pi,nullptr,&chunkSolidPipeline)", 1073);
        recipe.setConstants(&chunkPlainConstants);
        render::check(recipe.build(app.gpu.dev, sc.chunkPlainPipeline),
                      "vkCreateGraphicsPipelines(dev,VK_NULL_HANDLE,1,&pi,nullptr,&chunkPlainPipeline)",
                      1073);
        recipe.setConstants(&general);
    }
    if (voxel != VK_SUCCESS) failWith("vkCreateGraphicsPipelines failed. VkResult: ", voxel);
}

// The hand has the voxel pipeline's state in an object of its own, from freshly loaded modules.
void createHandPipeline(App& app, PipelineRecipe& recipe) {
    VkResult hand = VK_SUCCESS;
    {
        ShaderModule vertex(app, "voxel.vert.spv"), fragment(app, "voxel.frag.spv");
        recipe.setShaders(vertex.get(), fragment.get());
        hand = recipe.build(app.gpu.dev, app.swapchain.handPipeline);
    }
    if (hand != VK_SUCCESS) failWith("Hand pipeline failed: ", hand);
}

void createPortraitPipeline(App& app, PipelineRecipe& recipe) {
    ShaderModule vertex(app, "portrait142.vert.spv"), fragment(app, "portrait142.frag.spv");
    recipe.setShaders(vertex.get(), fragment.get());
    recipe.setLook(kPortrait);
    render::check(recipe.build(app.gpu.dev, app.swapchain.portraitPipeline142),
                  "vkCreateGraphicsPipelines(dev,VK_NULL_HANDLE,1,&pInfo142,nullptr,&portraitPipeline142)",
                  1088);
}

// A shader's one boolean specialisation constant (id 0).
struct SwitchConstant {
    explicit SwitchConstant(bool on) : value(on ? VK_TRUE : VK_FALSE) {}
    SwitchConstant(const SwitchConstant&) = delete;
    SwitchConstant& operator=(const SwitchConstant&) = delete;
    const VkBool32 value;
    const VkSpecializationMapEntry entry{0, 0, sizeof(VkBool32)};
    const VkSpecializationInfo info{1, &entry, sizeof value, &value};
};

// The sky reuses the crosshair's state with only its fragment shader swapped; the crosshair's own
// result is judged after all three modules are gone.
void createOverlayPipelines(App& app, PipelineRecipe& recipe) {
    VkResult crosshair = VK_SUCCESS;
    {
        ShaderModule vertex(app, "cross.vert.spv"), fragment(app, "cross.frag.spv");
        recipe.setShaders(vertex.get(), fragment.get());
        recipe.setLook(kOverlay);
        crosshair = recipe.build(app.gpu.dev, app.swapchain.crosshairPipeline);
        // The same shader without the block atlas sample, for the frames that show no item icon.
        const SwitchConstant iconsDrawn(false);
        recipe.setFragmentConstants(&iconsDrawn.info);
        if (crosshair == VK_SUCCESS) crosshair = recipe.build(app.gpu.dev, app.swapchain.iconlessInterfacePipeline);
        recipe.setFragmentConstants(nullptr);
        ShaderModule sky(app, "sky.frag.spv");
        recipe.setShaders(vertex.get(), sky.get());
        // The full-screen triangle's vertex stage knows it draws the sky, which it leaves out while the
        // world is hidden.
        const SwitchConstant isSky(true);
        recipe.setVertexConstants(&isSky.info);
        render::check(recipe.build(app.gpu.dev, app.swapchain.skyPipeline),
                      "vkCreateGraphicsPipelines(dev,VK_NULL_HANDLE,1,&crossPI,nullptr,&skyPipeline)", 1102);
        // By day the same without the stars' code.
        const SwitchConstant stars(false);
        recipe.setFragmentConstants(&stars.info);
        render::check(recipe.build(app.gpu.dev, app.swapchain.daySkyPipeline),
                      "vkCreateGraphicsPipelines(dev,VK_NULL_HANDLE,1,&crossPI,nullptr,&daySkyPipeline)",
                      1102);
        recipe.setFragmentConstants(nullptr);
        recipe.setVertexConstants(nullptr);
    }
    if (crosshair != VK_SUCCESS) failWith("Crosshair pipeline failed: ", crosshair);
}

}  // namespace

// Each group of shader modules lives in a scope of its own, so every way out of the build, a
// failure included, releases them.
void App::createPipelines() {
    PipelineRecipe recipe(swapchain.pass);
    swapchain.fogRadius = chunkRadius;
    const WorldSurfaces general{0, VK_TRUE, VK_FALSE, VK_FALSE, render::fogRange(chunkRadius)};
    const VkSpecializationInfo generalConstants = worldSurfaceConstants(general);
    createWorldPipelines(*this, recipe, generalConstants);
    createHandPipeline(*this, recipe);
    recipe.setConstants(nullptr);
    createPortraitPipeline(*this, recipe);
    createOverlayPipelines(*this, recipe);
}
