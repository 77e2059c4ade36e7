// Drawing the world particles: camera-facing quads, farthest first, blended over the world.
#include <algorithm>

#include "app/app.h"
#include "render/figures/particle_geometry.h"
#include "render/vulkan/buffers.h"
#include "render/vulkan/vulkan_check.h"

namespace {

void replaceParticleBuffer(App& app, uint64_t bytes) {
    FunctionalState& f = app.functional;
    if (f.particleBuffer.buffer) vkDestroyBuffer(app.gpu.dev, f.particleBuffer.buffer, nullptr);
    if (f.particleBuffer.memory) vkFreeMemory(app.gpu.dev, f.particleBuffer.memory, nullptr);
    // At least the bytes written: a fixed size alone could be smaller than a list past the cap.
    f.particleBuffer.capacity = render::particleBufferCapacity(bytes);
    std::vector<uint8_t> block(f.particleBuffer.capacity, 0);
    std::copy_n(reinterpret_cast<const uint8_t*>(f.particleVertices.data()), bytes, block.begin());
    vk::createBuffer(app, f.particleBuffer.capacity, VK_BUFFER_USAGE_VERTEX_BUFFER_BIT, f.particleBuffer.buffer,
                     f.particleBuffer.memory, block.data());
}

void uploadParticles(App& app) {
    FunctionalState& f = app.functional;
    const uint64_t bytes = f.particleVertices.size() * sizeof(render::MeshVertex);
    if (bytes > f.particleBuffer.capacity) return replaceParticleBuffer(app, bytes);
    void* data = nullptr;
    render::check(vkMapMemory(app.gpu.dev, f.particleBuffer.memory, 0, bytes, 0, &data),
                  "vkMapMemory(dev,worldParticleMemory,0,bytes,0,&data)", 465);
    std::copy(f.particleVertices.begin(), f.particleVertices.end(), static_cast<render::MeshVertex*>(data));
    vkUnmapMemory(app.gpu.dev, f.particleBuffer.memory);
}

}  // namespace

void App::buildParticleGeometry(std::vector<render::MeshVertex>& list) const {
    render::ParticleView view;
    view.yaw = player.yaw;
    view.pitch = player.pitch;
    view.player = {player.x, player.y, player.z};
    view.alpha = tickAlpha();
    render::appendParticleQuads(list, entities.particles, view);
}

void App::drawParticles(VkCommandBuffer cmd) {
    functional.particleVertexCount = 0;
    if (settings.particles() == 0 || entities.particles.empty() || !files.worldOpen) return;
    functional.particleVertices.clear();
    functional.particleVertices.reserve(entities.particles.size() * render::kParticleVertices);
    buildParticleGeometry(functional.particleVertices);
    uploadParticles(*this);
    functional.particleVertexCount = static_cast<uint32_t>(functional.particleVertices.size());
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, swapchain.waterPipeline);
    const VkDeviceSize offset = 0;
    vkCmdBindVertexBuffers(cmd, 0, 1, &functional.particleBuffer.buffer, &offset);
    vkCmdDraw(cmd, functional.particleVertexCount, 1, 0, 0);
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, swapchain.voxelPipeline);
}
