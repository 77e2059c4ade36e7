// The local player as the camera shows it: the holding arm in first person, the whole posed body
// with armour and glider in third person.
#include <cmath>

#include "app/app.h"
#include "render/figures/held_item.h"
#include "render/figures/player_body.h"
#include "render/vulkan/vulkan_check.h"

namespace {

constexpr double kHeldBlockDrop = 0.12;

// The hand follows the held item's grip, so the arm meets the item wherever the clip moves it.
render::Double3 armAnchor(App& app) {
    const render::Double3 hand = app.firstPersonHandOffset();
    const InventorySlot& slot = app.selectedSlot();
    if (slot.id == 0 || slot.count <= 0) return hand;
    const voxel::BlockDef& def = voxel::blockDef(slot.id);
    if (def.modelVertices.empty()) return hand;
    content::Float3 g{def.gripPoint[0], def.gripPoint[1], def.gripPoint[2]};
    if (app.armPose()) g = app.heldItemAnchor(g, slot.id, false);
    return {hand[0] + g[0], hand[1] + g[1] - (def.isBlock ? kHeldBlockDrop : 0.0), hand[2] - g[2]};
}

render::ArmourWorn armourWorn(const App& app) {
    render::ArmourWorn worn{};
    for (std::size_t k = 0; k < worn.size(); ++k) {
        const InventorySlot& slot = app.player.armor[k];
        worn[k] = slot.count > 0 && voxel::isValidBlockId(slot.id) && voxel::blockDef(slot.id).behavior != "glider";
    }
    return worn;
}

void appendThirdPerson(App& app, std::vector<render::MeshVertex>& out) {
    render::BodyPose pose;
    pose.eye = {app.player.x, app.player.y, app.player.z};
    pose.yaw = app.player.yaw;
    pose.pitch = app.player.pitch;
    pose.limb = std::sin(app.actions.walkPhase) * app.actions.walkSpeed * 0.55;
    pose.swing = app.swingAmount();
    pose.raised = (app.isHoldingBow() && app.actions.bowDrawing) || (app.isHoldingShield() && app.actions.blocking);
    render::appendThirdPersonBody(out, app.playerMesh, pose, armourWorn(app));
    if (const voxel::BlockDef* glider = app.hasGliderEquipped(); glider && !glider->modelVertices.empty())
        render::appendGlider(out, *glider, app.player.armor[1].id, pose.eye, pose.yaw, app.actions.gliderSpread);
}

}  // namespace

void App::uploadPlayerModel() {
    if (gpu.fence)
        render::check(vkWaitForFences(gpu.dev, 1, &gpu.fence, VK_TRUE, UINT64_MAX),
                      "vkWaitForFences(dev,1,&fence,VK_TRUE,UINT64_MAX)", 1019);
    std::vector<render::MeshVertex>& vertices = body.playerVertices;
    vertices.clear();
    if (player.thirdPerson)
        appendThirdPerson(*this, vertices);
    else
        render::appendFirstPersonArm(vertices, playerMesh, armAnchor(*this), render::viewBasis(player.yaw, player.pitch),
                                     {player.x, player.y, player.z});
    stampVertexLight(vertices);
    const auto count = static_cast<uint32_t>(vertices.size());
    if (count == 0) {
        body.playerIndexCount = 0;
        return;
    }
    uploadBufferData(body.playerVertexBuffer, count * sizeof(render::MeshVertex), VK_BUFFER_USAGE_VERTEX_BUFFER_BIT,
                     vertices.data());
    // The indices only run 0, 1, 2, ..., so they change with the count alone.
    if (count != body.playerIndices.size()) {
        body.playerIndices.resize(count);
        for (uint32_t i = 0; i < count; ++i) body.playerIndices[i] = i;
        uploadBufferData(body.playerIndexBuffer, count * sizeof(uint32_t), VK_BUFFER_USAGE_INDEX_BUFFER_BIT,
                         body.playerIndices.data());
    }
    body.playerIndexCount = count;
}

void App::recordMeshDraw(VkCommandBuffer cmd) {
    if (ui.menuOpen || ui.inventoryOpen || body.playerIndexCount == 0) return;
    if (!player.thirdPerson) vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, swapchain.handPipeline);
    const VkDeviceSize offset = 0;
    vkCmdBindVertexBuffers(cmd, 0, 1, &body.playerVertexBuffer.buffer, &offset);
    vkCmdBindIndexBuffer(cmd, body.playerIndexBuffer.buffer, 0, VK_INDEX_TYPE_UINT32);
    vkCmdDrawIndexed(cmd, body.playerIndexCount, 1, 0, 0, 0);
}
