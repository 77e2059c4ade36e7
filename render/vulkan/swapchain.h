#pragma once
// Everything that depends on the window's surface: the swapchain and its images, views, semaphores,
// framebuffers and command buffers, the depth buffer, the render pass, the pipeline layout and the
// six pipelines. App::createSwapchain rebuilds all of it from nothing.
#include <vulkan/vulkan.h>

#include <cstdint>
#include <vector>

struct SwapchainState {
    VkSwapchainKHR swap = VK_NULL_HANDLE;
    VkFormat format = VK_FORMAT_UNDEFINED;  // also the colour attachment's format
    std::vector<VkImage> images;
    std::vector<VkImageView> views;
    std::vector<VkSemaphore> renderFinished;  // one per image: the submit signals, the present waits
    std::vector<VkFramebuffer> framebuffers;
    std::vector<VkCommandBuffer> cmds;  // one per image, from the App's command pool
    VkImage depth = VK_NULL_HANDLE;
    VkDeviceMemory depthMem = VK_NULL_HANDLE;
    VkImageView depthView = VK_NULL_HANDLE;
    VkRenderPass pass = VK_NULL_HANDLE;
    VkPipelineLayout layout = VK_NULL_HANDLE;  // shared by all six pipelines
    VkPipeline voxelPipeline = VK_NULL_HANDLE;
    VkPipeline waterPipeline = VK_NULL_HANDLE;
    VkPipeline handPipeline = VK_NULL_HANDLE;
    VkPipeline portraitPipeline142 = VK_NULL_HANDLE;
    VkPipeline crosshairPipeline = VK_NULL_HANDLE;
    // The interface shader for frames without item icons: the software driver samples every texture
    // the shader names at every pixel, so this one leaves out the block atlas.
    VkPipeline iconlessInterfacePipeline = VK_NULL_HANDLE;
    VkPipeline skyPipeline = VK_NULL_HANDLE;
    // The sky without the stars, for daylight too bright for them (render::starsHidden).
    VkPipeline daySkyPipeline = VK_NULL_HANDLE;
    // The voxel pipeline's state and shaders specialised to the chunk meshes' solid faces while no
    // cell is being mined: textured faces only, without the mining speckles. The software driver runs
    // every instruction of a shader at every pixel, so the other surfaces' code would cost there too.
    VkPipeline chunkSolidPipeline = VK_NULL_HANDLE;
    // The same for the plain triangles that the solid pass draws first (ChunkMesh::plainIndexCount):
    // no texel cut out, so the driver tests depth before shading, and no sway.
    VkPipeline chunkPlainPipeline = VK_NULL_HANDLE;
    // The water pipeline's state, specialised to water faces, for the chunk meshes' water pass;
    // `waterPipeline` itself stays general, since particles are drawn with it too.
    VkPipeline chunkWaterPipeline = VK_NULL_HANDLE;
    // The images allow TRANSFER_SRC, so screenshots and world previews can be copied from them.
    bool copyable = false;
    // The chunk radius whose fog distances the world pipelines were specialised to; the frame
    // rebuilds them when the radius changes.
    int32_t fogRadius = 0;
    // Shader modules made by the pipeline build and not yet destroyed; zero between builds.
    uint32_t liveShaderModules = 0;
};

namespace render {

// Bytes of the push-constant range that every pipeline shares (vertex and fragment stages).
inline constexpr uint32_t kPushConstantBytes = 112;
// Stride of the vertex buffers of the world and portrait pipelines.
inline constexpr uint32_t kVertexStride = 48;

// B8G8R8A8_SRGB with the sRGB colour space when listed, else the first listed format.
VkSurfaceFormatKHR chooseSurfaceFormat(const std::vector<VkSurfaceFormatKHR>& formats);
// The current extent when the surface fixes one, else the framebuffer size within the limits.
VkExtent2D chooseExtent(const VkSurfaceCapabilitiesKHR& caps, uint32_t framebufferWidth,
                        uint32_t framebufferHeight);
// One more than the minimum, within a maximum of which 0 means none.
uint32_t chooseImageCount(const VkSurfaceCapabilitiesKHR& caps);
// FIFO with vertical sync; without, MAILBOX, then IMMEDIATE, then FIFO.
VkPresentModeKHR choosePresentMode(bool verticalSync, const std::vector<VkPresentModeKHR>& modes);
// Colour attachment, plus TRANSFER_SRC when the surface allows it. Throws "Surface cannot render
// color attachments" when colour attachments are not supported.
VkImageUsageFlags chooseImageUsage(VkImageUsageFlags supported);
VkCompositeAlphaFlagBitsKHR chooseCompositeAlpha(VkCompositeAlphaFlagsKHR supported);
// A layout of the one descriptor set and the push-constant range every pipeline shares; a failure
// reports `call` and `line`.
void createPipelineLayout(VkDevice dev, VkDescriptorSetLayout setLayout, const char* call, int line,
                          VkPipelineLayout& layout);

}  // namespace render
