// The other players of a LAN session, posed from their pose records into one indexed mesh.
#include "app/app.h"
#include "render/figures/held_item.h"
#include "render/figures/player_body.h"

void App::buildRemotePlayers() {
    body.remoteIndexCount = 0;
    if ((!lan.hasExtraPose && lan.remotePoses.empty()) || !lan.ready || !files.worldOpen) return;
    std::vector<render::MeshVertex>& vertices = body.remoteVertices;
    vertices.clear();
    if (lan.hasExtraPose) render::appendRemotePlayer(vertices, playerMesh, lan.extraPose.values);
    for (const auto& [id, pose] : lan.remotePoses) render::appendRemotePlayer(vertices, playerMesh, pose.values);
    if (vertices.empty()) return;
    stampVertexLight(vertices);
    std::vector<uint32_t>& indices = body.remoteIndices;
    const std::size_t before = indices.size();
    indices.resize(vertices.size());
    for (std::size_t i = before; i < indices.size(); ++i) indices[i] = static_cast<uint32_t>(i);
    uploadBuffer(body.remoteVertexBuffer, vertices.size() * sizeof(render::MeshVertex), VK_BUFFER_USAGE_VERTEX_BUFFER_BIT,
                 vertices.data());
    uploadBuffer(body.remoteIndexBuffer, indices.size() * sizeof(uint32_t), VK_BUFFER_USAGE_INDEX_BUFFER_BIT,
                 indices.data());
    body.remoteIndexCount = static_cast<uint32_t>(indices.size());
}

void App::drawRemotePlayers(VkCommandBuffer cmd) {
    if (body.remoteIndexCount == 0 || ui.menuOpen) return;
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, swapchain.voxelPipeline);
    const VkDeviceSize offset = 0;
    vkCmdBindVertexBuffers(cmd, 0, 1, &body.remoteVertexBuffer.buffer, &offset);
    vkCmdBindIndexBuffer(cmd, body.remoteIndexBuffer.buffer, 0, VK_INDEX_TYPE_UINT32);
    vkCmdDrawIndexed(cmd, body.remoteIndexCount, 1, 0, 0, 0);
}
