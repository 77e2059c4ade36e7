// The inventory's portrait of the player: rebuilt only when its key changes, drawn inside the
// left column of the inventory panel.
#include <GLFW/glfw3.h>

#include <algorithm>

#include "app/app.h"
#include "render/interface/player_portrait.h"
#include "render/vulkan/vulkan_check.h"

namespace {

constexpr VkShaderStageFlags kPushStages = VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT;
constexpr double kFadeSeconds = 0.18;

render::PortraitKey portraitKey(const App& app) {
    render::PortraitKey key;
    key.bodyVertices = app.playerMesh.size();
    for (std::size_t k = 0; k < key.armourIds.size(); ++k)
        key.armourIds[k] = app.player.armor[k].count > 0 ? app.player.armor[k].id : 0;
    key.hovered = render::portraitHover(app.ui.hoveredSlot);
    key.width = app.gpu.swapchainWidth;
    key.height = app.gpu.swapchainHeight;
    return key;
}

render::ArmourWorn portraitArmour(const render::PortraitKey& key) {
    render::ArmourWorn worn{};
    for (std::size_t k = 0; k < worn.size(); ++k)
        worn[k] = key.armourIds[k] != 0 && voxel::isValidBlockId(key.armourIds[k]) &&
                  voxel::blockDef(key.armourIds[k]).behavior != "glider";
    return worn;
}

ui::InventoryLayout layoutOf(const App& app) {
    return ui::inventoryLayout(static_cast<float>(app.gpu.swapchainWidth), static_cast<float>(app.gpu.swapchainHeight));
}

}  // namespace

void App::renderPlayerPortrait() {
    if (!ui.inventoryOpen) return;
    const render::PortraitKey key = portraitKey(*this);
    if (key == body.portraitKey && body.portraitVertexCount != 0) return;
    const std::vector<render::MeshVertex> vertices =
        render::buildPortrait(playerMesh, layoutOf(*this), portraitArmour(key), key.hovered);
    const uint64_t bytes = vertices.size() * sizeof(render::MeshVertex);
    BufferSlot& slot = body.portrait;
    if (bytes <= slot.capacity) {
        if (bytes > 0)
            render::writeBufferMemory(gpu.dev, slot.memory, bytes, vertices.data(),
                                      "vkMapMemory(dev,portraitMemory142,0,bytes,0,&mapped)", 13);
    } else {
        render::destroyBufferSlot(gpu.dev, slot);
        slot.capacity = bytes;
        vk::createBuffer(*this, bytes, VK_BUFFER_USAGE_VERTEX_BUFFER_BIT, slot.buffer, slot.memory, vertices.data());
    }
    body.portraitVertexCount = static_cast<uint32_t>(vertices.size());
    body.portraitKey = key;
}

void App::drawPortrait(VkCommandBuffer cmd) {
    if (!ui.inventoryOpen || body.portraitVertexCount == 0) return;
    const float width = static_cast<float>(gpu.swapchainWidth), height = static_cast<float>(gpu.swapchainHeight);
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, swapchain.portraitPipeline142);
    const VkDeviceSize offset = 0;
    vkCmdBindVertexBuffers(cmd, 0, 1, &body.portrait.buffer, &offset);
    const std::array<float, 16> toClip = render::pixelToClip(width, height);
    vkCmdPushConstants(cmd, swapchain.layout, kPushStages, 0, sizeof toClip, toClip.data());
    const float fade = static_cast<float>(std::clamp((glfwGetTime() - ui.panelOpenedAt) / kFadeSeconds, 0.0, 1.0));
    vkCmdPushConstants(cmd, swapchain.layout, kPushStages, sizeof toClip, sizeof fade, &fade);
    const render::PixelRect r = render::portraitScissor(layoutOf(*this));
    const VkRect2D scissor{{r.x, r.y}, {r.width, r.height}};
    vkCmdSetScissor(cmd, 0, 1, &scissor);
    vkCmdDraw(cmd, body.portraitVertexCount, 1, 0, 0);
    const VkRect2D whole{{0, 0}, {gpu.swapchainWidth, gpu.swapchainHeight}};
    vkCmdSetScissor(cmd, 0, 1, &whole);
}
