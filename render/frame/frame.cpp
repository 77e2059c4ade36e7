// One frame: wait for the previous one, prepare the camera and the per-frame data, acquire an image,
// record the sky, the chunk meshes, the moving blocks, the water, the particles and the interface
// into it, submit, capture when asked and present.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <vector>

#include "app/app.h"
#include "render/frame/animation_clock.h"
#include "render/frame/daylight.h"
#include "render/frame/world_block.h"
#include "render/interface/interface_block.h"
#include "render/view/buried_groups.h"
#include "render/view/camera.h"
#include "render/view/draw_order.h"
#include "render/view/shown_faces.h"
#include "render/view/view_planes.h"
#include "render/vulkan/vulkan_check.h"

namespace {

// The frame's sites share the line value of the frame fence wait.
constexpr int kFrameLine = 1124;
constexpr VkShaderStageFlags kPushStages = VK_SHADER_STAGE_VERTEX_BIT | VK_SHADER_STAGE_FRAGMENT_BIT;

double now() { return glfwGetTime(); }

void pushCamera(const App& app, VkCommandBuffer cmd, const render::Matrix4& camera) {
    render::CameraLightBlock block{};
    std::memcpy(block.camera, camera.data(), sizeof block.camera);
    block.daylight = render::daylight(render::dayFraction(app.clock.timeOfDay));
    block.player[0] = app.player.x;
    block.player[1] = app.player.y;
    block.player[2] = app.player.z;
    vkCmdPushConstants(cmd, app.swapchain.layout, kPushStages, render::kCameraLightOffset, sizeof block,
                       &block);
}

// Once a frame: every world pass and the sky read these, and the interface block is pushed over them
// only after the last of those passes.
void pushFrameValues(const App& app, VkCommandBuffer cmd) {
    const render::FrameValuesBlock values{render::wrappedAnimationSeconds(app.frame.animationSeconds),
                                          render::dayFraction(app.clock.timeOfDay),
                                          app.frame.interface.worldCovered ? 1u : 0u, 0u};
    vkCmdPushConstants(cmd, app.swapchain.layout, kPushStages, render::kFrameValuesOffset, sizeof values,
                       &values);
}

// The mining progress the chunk meshes show at the aimed cell: 0 while nothing is being mined.
float shownMiningProgress(const App& app) {
    const MiningTarget& mined = app.hands.target;
    return mined.aimed && mined.mining ? mined.progress : 0.0f;
}

// The aimed cell and its mining progress for the chunk meshes; zero for every other pass.
void pushTarget(const App& app, VkCommandBuffer cmd, bool aimed) {
    render::TargetBlock target{};
    const MiningTarget& mined = app.hands.target;
    if (aimed && mined.aimed) target = {{float(mined.x), float(mined.y), float(mined.z)}, shownMiningProgress(app)};
    vkCmdPushConstants(cmd, app.swapchain.layout, kPushStages, render::kTargetOffset, sizeof target, &target);
}

// Where the camera stands: at the player, or pulled back behind them in third person.
render::Vec3 cameraEye(const App& app) {
    const render::Vec3 position{app.player.x, app.player.y, app.player.z};
    if (!app.player.thirdPerson) return position;
    const auto solidAt = [&app](int32_t x, int32_t y, int32_t z) {
        return voxel::blockDef(app.blockAt(x, y, z)).solid;
    };
    const float distance = render::thirdPersonDistance(position, app.player.yaw, app.player.pitch, solidAt);
    return render::pulledBackEye(position, app.player.yaw, app.player.pitch, distance);
}

float frameAspect(const App& app) {
    const float width = static_cast<float>(app.gpu.swapchainWidth);
    return app.gpu.swapchainHeight == 0 ? 1.0f : width / static_cast<float>(app.gpu.swapchainHeight);
}

// Whether this frame leaves out the face groups that face away from the eye. Not from inside an
// opaque block, where the faces around are seen from behind: the third-person eye can stop in a
// ceiling, and when it stops just short of a wall the near plane can reach into the stone.
bool leavesOutHiddenGroups(const App& app, const render::Vec3& eye) {
    if (!app.frame.cullFaceGroups) return false;
    const float fov = render::fieldOfViewAngle(app.frame.head.fieldOfView);
    const auto opaqueAt = [&app](int32_t x, int32_t y, int32_t z) {
        return voxel::blockDef(app.blockAt(x, y, z)).opaque;
    };
    const PlayerState& p = app.player;
    const auto corners = render::nearPlaneCorners(eye, p.yaw, p.pitch, fov, frameAspect(app));
    return !render::nearPlaneMayBeInOpaque(eye, corners, opaqueAt);
}

// The opaque cells of every meshed chunk, for the buried-group test.
render::OpaqueCover meshCover(const App& app) {
    std::vector<render::OpaqueCover::Entry> entries;
    entries.reserve(app.world.meshes.size());
    for (const auto& [key, mesh] : app.world.meshes)
        entries.push_back({voxel::chunkKeyX(key), voxel::chunkKeyZ(key), &mesh.opaque});
    return render::OpaqueCover(entries);
}

// The one view test of each mesh this frame, and of each of its plain face groups against the view
// and the eye; the passes draw from the lists it leaves, in key order. The counts are of what the
// passes draw.
void collectVisibleMeshes(App& app, const render::Vec3& eye) {
    std::vector<VisibleMesh>& visible = app.frame.visibleMeshes;
    std::vector<render::IndexRange>& ranges = app.frame.plainRanges;
    visible.clear();
    ranges.clear();
    uint32_t triangles = 0, draws = 0;
    const bool cull = leavesOutHiddenGroups(app, eye);
    const render::OpaqueCover cover = meshCover(app);
    render::GroupHidden buried;
    if (app.frame.cullBuriedGroups)
        buried = [&](const render::FaceGroup& group) { return render::groupBuried(group, eye, cover); };
    for (const auto& [key, mesh] : app.world.meshes) {
        if ((mesh.solidIndexCount == 0 && mesh.waterIndexCount == 0) || !app.isChunkMeshInView(key)) continue;
        VisibleMesh entry{key, &mesh, static_cast<uint32_t>(ranges.size()), 0};
        if (cull) {
            entry.rangeCount = static_cast<uint32_t>(
                render::appendShownGroups(mesh.plainGroups, app.frame.planes, eye, ranges, buried));
        } else if (mesh.plainIndexCount > 0) {
            ranges.push_back({0, mesh.plainIndexCount});
            entry.rangeCount = 1;
        }
        const uint32_t rest = mesh.solidIndexCount - mesh.plainIndexCount;
        if (entry.rangeCount == 0 && rest == 0 && mesh.waterIndexCount == 0) continue;
        for (std::size_t r = entry.firstRange; r < ranges.size(); ++r) triangles += ranges[r].count / 3;
        triangles += (rest + mesh.waterIndexCount) / 3;
        draws += entry.rangeCount + (rest > 0 ? 1 : 0) + (mesh.waterIndexCount > 0 ? 1 : 0);
        visible.push_back(entry);
    }
    app.frame.stats.visibleChunks = static_cast<uint32_t>(visible.size());
    app.frame.stats.visibleTriangles = triangles;
    app.frame.stats.chunkDraws = draws;
}

void animate(App& app) {
    const double t = now();
    const double previousNpc = app.npcDrawing.previousAnimation;
    app.animateNpcs(previousNpc < 0.0 ? 0.0f : static_cast<float>(t - previousNpc));
    app.npcDrawing.previousAnimation = t;
    const double previous = app.frame.previousDoorAnimation;
    app.animateChestLids(static_cast<float>(previous < 0.0 ? 0.0 : t - previous));
    app.frame.previousDoorAnimation = t;
    app.buildFunctionalMeshes();
    app.frame.animationSeconds = render::animationSeconds(app.frame.fixedAnimationSeconds, t);
    app.updateOverlay();
}

// False when the swapchain was out of date and has been re-created: the frame is skipped.
bool acquireImage(App& app, uint32_t& imageIndex) {
    const VkResult r =
        vkAcquireNextImageKHR(app.gpu.dev, app.swapchain.swap, UINT64_MAX, app.gpu.available, VK_NULL_HANDLE, &imageIndex);
    if (r == VK_ERROR_OUT_OF_DATE_KHR) {
        app.createSwapchain();
        return false;
    }
    if (r != VK_SUBOPTIMAL_KHR) render::check(r, "r", kFrameLine);
    return true;
}

void beginFrame(App& app, VkCommandBuffer cmd, uint32_t imageIndex) {
    render::check(vkResetCommandBuffer(cmd, 0), "vkResetCommandBuffer(cmds[i],0)", kFrameLine);
    VkCommandBufferBeginInfo begin{};
    begin.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO;
    render::check(vkBeginCommandBuffer(cmd, &begin), "vkBeginCommandBuffer(cmds[i],&begin)", kFrameLine);
    const std::array<float, 4> sky = render::clearColour(render::dayFraction(app.clock.timeOfDay));
    VkClearValue clears[2]{};
    std::memcpy(clears[0].color.float32, sky.data(), sizeof clears[0].color.float32);
    clears[1].depthStencil = {1.0f, 0};
    VkRenderPassBeginInfo pass{};
    pass.sType = VK_STRUCTURE_TYPE_RENDER_PASS_BEGIN_INFO;
    pass.renderPass = app.swapchain.pass;
    pass.framebuffer = app.swapchain.framebuffers[imageIndex];
    pass.renderArea.extent = {app.gpu.swapchainWidth, app.gpu.swapchainHeight};
    pass.clearValueCount = 2;
    pass.pClearValues = clears;
    vkCmdBeginRenderPass(cmd, &pass, VK_SUBPASS_CONTENTS_INLINE);
}

void bindWorldState(App& app, VkCommandBuffer cmd) {
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, app.swapchain.voxelPipeline);
    vkCmdBindDescriptorSets(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, app.swapchain.layout, 0, 1, &app.atlases.atlasSet, 0,
                            nullptr);
    const float width = static_cast<float>(app.gpu.swapchainWidth), height = static_cast<float>(app.gpu.swapchainHeight);
    const VkViewport viewport{0.0f, 0.0f, width, height, 0.0f, 1.0f};
    vkCmdSetViewport(cmd, 0, 1, &viewport);
    const VkRect2D scissor{{0, 0}, {app.gpu.swapchainWidth, app.gpu.swapchainHeight}};
    vkCmdSetScissor(cmd, 0, 1, &scissor);
}

void drawSky(App& app, VkCommandBuffer cmd, const render::Matrix4& camera) {
    pushCamera(app, cmd, camera);
    pushFrameValues(app, cmd);
    const bool stars = !render::starsHidden(render::daylight(render::dayFraction(app.clock.timeOfDay)));
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS,
                      stars ? app.swapchain.skyPipeline : app.swapchain.daySkyPipeline);
    vkCmdDraw(cmd, 3, 1, 0, 0);
}

void bindMesh(VkCommandBuffer cmd, const ChunkMesh& mesh, const BufferSlot& indices) {
    const VkDeviceSize offset = 0;
    vkCmdBindVertexBuffers(cmd, 0, 1, &mesh.vertices.buffer, &offset);
    vkCmdBindIndexBuffer(cmd, indices.buffer, 0, VK_INDEX_TYPE_UINT32);
}

void drawIndexed(VkCommandBuffer cmd, const ChunkMesh& mesh, const BufferSlot& indices, uint32_t count,
                 uint32_t first = 0) {
    bindMesh(cmd, mesh, indices);
    vkCmdDrawIndexed(cmd, count, 1, first, 0, 0);
}

// Every chunk's plain triangles first, nearest chunk first, then every chunk's others in key order: the
// plain ones go without a discard, so the driver tests their depth before shading, and what they hide
// is not shaded afterwards. No other solid triangle lies on a plain one, so neither moving them ahead
// nor their order changes a pixel; of them only the face groups that can show are drawn. While a
// cell is mined both groups draw with the general pipeline.
void drawSolidMeshes(App& app, VkCommandBuffer cmd) {
    const bool mined = shownMiningProgress(app) > 0.0f;
    const SwapchainState& sc = app.swapchain;
    pushTarget(app, cmd, true);
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, mined ? sc.voxelPipeline : sc.chunkPlainPipeline);
    std::vector<VisibleMesh>& nearestFirst = app.frame.nearestFirst;
    nearestFirst = app.frame.visibleMeshes;
    render::sortNearestFirst(nearestFirst, app.player.x, app.player.z,
                             [](const VisibleMesh& entry) { return entry.key; });
    const std::vector<render::IndexRange>& ranges = app.frame.plainRanges;
    for (const VisibleMesh& visible : nearestFirst) {
        if (visible.rangeCount == 0) continue;
        bindMesh(cmd, *visible.mesh, visible.mesh->solidIndices);
        for (uint32_t r = visible.firstRange; r < visible.firstRange + visible.rangeCount; ++r)
            vkCmdDrawIndexed(cmd, ranges[r].count, 1, ranges[r].first, 0, 0);
    }
    if (!mined) vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, sc.chunkSolidPipeline);
    for (const VisibleMesh& visible : app.frame.visibleMeshes) {
        const ChunkMesh& mesh = *visible.mesh;
        if (mesh.solidIndexCount > mesh.plainIndexCount)
            drawIndexed(cmd, mesh, mesh.solidIndices, mesh.solidIndexCount - mesh.plainIndexCount,
                        mesh.plainIndexCount);
    }
    pushTarget(app, cmd, false);
    // The functional blocks after this draw with the general pipeline: their fires are colour boxes,
    // which the chunks' pipelines do not shade.
    if (!mined) vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, sc.voxelPipeline);
}

// The hand is drawn over everything in first person, so the world's depth is cleared first.
void beginHandPass(App& app, VkCommandBuffer cmd) {
    VkClearAttachment depth{};
    depth.aspectMask = VK_IMAGE_ASPECT_DEPTH_BIT;
    depth.clearValue.depthStencil = {1.0f, 0};
    VkClearRect rect{};
    rect.rect.extent = {app.gpu.swapchainWidth, app.gpu.swapchainHeight};
    rect.layerCount = 1;
    vkCmdClearAttachments(cmd, 1, &depth, 1, &rect);
    render::Matrix4 hand{};
    app.computeCamera(hand.data(), render::kHandFieldOfView);
    pushCamera(app, cmd, hand);
}

// The player meshes are rebuilt after the fence wait; in third person the body and the held
// item stand in the world and share its depth.
void drawPlayerBodies(App& app, VkCommandBuffer cmd) {
    app.uploadPlayerModel();
    app.renderPlayerPortrait();
    app.buildRemotePlayers();
    app.drawRemotePlayers(cmd);
    if (!app.player.thirdPerson) return;
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, app.swapchain.voxelPipeline);
    app.recordMeshDraw(cmd);
    app.drawPlayerModel(cmd);
}

// The interface triangle covers the screen; the scissor keeps the driver from shading the pixels
// that no element of the pass covers.
void drawInterfaceTriangle(App& app, VkCommandBuffer cmd, const render::PixelRect& bounds) {
    const VkRect2D scissor{{bounds.x, bounds.y}, {bounds.width, bounds.height}};
    vkCmdSetScissor(cmd, 0, 1, &scissor);
    vkCmdDraw(cmd, 3, 1, 0, 0);
    const VkRect2D whole{{0, 0}, {app.gpu.swapchainWidth, app.gpu.swapchainHeight}};
    vkCmdSetScissor(cmd, 0, 1, &whole);
}

// The overlay writer has laid the interface out; the frame pushes its block and draws its passes.
void drawInterface(App& app, VkCommandBuffer cmd) {
    const render::InterfaceDraw& draw = app.frame.interface;
    const VkPipeline iconless = app.swapchain.iconlessInterfacePipeline;
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS,
                      draw.icons || !iconless ? app.swapchain.crosshairPipeline : iconless);
    vkCmdPushConstants(cmd, app.swapchain.layout, kPushStages, 0, sizeof draw.block, &draw.block);
    drawInterfaceTriangle(app, cmd, draw.bounds[0]);
    app.drawPortrait(cmd);
    // The stack under the cursor is drawn last, over the portrait.
    if (!draw.stackPass) return;
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, app.swapchain.crosshairPipeline);
    render::InterfaceBlock stack = draw.block;
    stack.screen = render::kCursorStackPass;
    vkCmdPushConstants(cmd, app.swapchain.layout, kPushStages, 0, sizeof stack, &stack);
    drawInterfaceTriangle(app, cmd, draw.bounds[1]);
}

void recordFrame(App& app, VkCommandBuffer cmd, uint32_t imageIndex, const render::Matrix4& camera) {
    beginFrame(app, cmd, imageIndex);
    bindWorldState(app, cmd);
    drawSky(app, cmd, camera);
    drawSolidMeshes(app, cmd);
    app.drawFunctionalBlocks(cmd);
    app.drawDynamicEntities(cmd);
    drawPlayerBodies(app, cmd);
    app.drawMeshMap(cmd);
    app.drawParticles(cmd);
    if (!app.player.thirdPerson) {
        beginHandPass(app, cmd);
        app.recordMeshDraw(cmd);
        app.drawPlayerModel(cmd);
    }
    drawInterface(app, cmd);
    vkCmdEndRenderPass(cmd);
    render::check(vkEndCommandBuffer(cmd), "vkEndCommandBuffer(cmds[i])", kFrameLine);
}

void submitFrame(App& app, VkCommandBuffer cmd, uint32_t imageIndex) {
    render::check(vkResetFences(app.gpu.dev, 1, &app.gpu.fence), "vkResetFences(dev,1,&fence)", kFrameLine);
    const VkPipelineStageFlags waitStage = VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT;
    VkSubmitInfo submit{};
    submit.sType = VK_STRUCTURE_TYPE_SUBMIT_INFO;
    submit.waitSemaphoreCount = 1;
    submit.pWaitSemaphores = &app.gpu.available;
    submit.pWaitDstStageMask = &waitStage;
    submit.commandBufferCount = 1;
    submit.pCommandBuffers = &cmd;
    submit.signalSemaphoreCount = 1;
    submit.pSignalSemaphores = &app.swapchain.renderFinished[imageIndex];
    render::check(vkQueueSubmit(app.gpu.queue, 1, &submit, app.gpu.fence), "vkQueueSubmit(queue,1,&submit,fence)",
                  kFrameLine);
}

void presentFrame(App& app, uint32_t imageIndex) {
    VkPresentInfoKHR present{};
    present.sType = VK_STRUCTURE_TYPE_PRESENT_INFO_KHR;
    present.waitSemaphoreCount = 1;
    present.pWaitSemaphores = &app.swapchain.renderFinished[imageIndex];
    present.swapchainCount = 1;
    present.pSwapchains = &app.swapchain.swap;
    present.pImageIndices = &imageIndex;
    const VkResult r = vkQueuePresentKHR(app.gpu.queue, &present);
    if (r == VK_ERROR_OUT_OF_DATE_KHR || r == VK_SUBOPTIMAL_KHR) {
        app.createSwapchain();
        return;
    }
    render::check(r, "r", kFrameLine);
}

}  // namespace

void App::computeCamera(float out[16], float fov) {
    const render::Vec3 eye = cameraEye(*this);
    const float angle = fov > 0.0f ? fov : render::fieldOfViewAngle(frame.head.fieldOfView);
    const float aspect = frameAspect(*this);
    const render::Matrix4 m = render::viewProjection(eye, player.yaw, player.pitch, angle, aspect);
    std::memcpy(out, m.data(), sizeof(float) * m.size());
}

bool App::isChunkMeshInView(uint64_t key) const {
    if (!frame.planesValid) return true;
    const auto found = world.meshes.find(key);
    if (found == world.meshes.end()) return isChunkColumnInView(key);
    return render::boxInView(frame.planes, render::widenedBox(found->second.bounds, 0.01));
}

bool App::isChunkColumnInView(uint64_t key) const {
    if (!frame.planesValid) return true;
    return render::boxInView(frame.planes, render::chunkColumnBox(voxel::chunkKeyX(key), voxel::chunkKeyZ(key)));
}

// Water farthest first so that nearer water blends over it; the solid pass is done with the list's
// key order by now, so the list is sorted in place.
void App::drawMeshMap(VkCommandBuffer cmd) {
    std::vector<VisibleMesh>& visible = frame.visibleMeshes;
    render::sortFarthestFirst(visible, player.x, player.z, [](const VisibleMesh& entry) { return entry.key; });
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, swapchain.chunkWaterPipeline);
    for (const VisibleMesh& entry : visible) {
        const ChunkMesh& mesh = *entry.mesh;
        if (mesh.waterIndexCount > 0) drawIndexed(cmd, mesh, mesh.waterIndices, mesh.waterIndexCount);
    }
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, swapchain.voxelPipeline);
}

void App::drawFrame() {
    // Without a swapchain (the window closed before one was made) there is nothing to draw into.
    if (!swapchain.swap) return;
    // The world shaders' fog distances are constants of their pipelines.
    if (swapchain.fogRadius != chunkRadius) createSwapchain();
    render::recordFrameStart(frame.stats, now());
    const double waitStart = now();
    render::check(vkWaitForFences(gpu.dev, 1, &gpu.fence, VK_TRUE, UINT64_MAX),
                  "vkWaitForFences(dev,1,&fence,VK_TRUE,UINT64_MAX)", kFrameLine);
    const double waited = now();
    frame.stats.fenceWaitMs = (waited - waitStart) * 1000.0;

    render::Matrix4 camera{};
    computeCamera(camera.data(), 0.0f);
    frame.planes = render::extractViewPlanes(camera);
    frame.planesValid = true;
    collectVisibleMeshes(*this, cameraEye(*this));
    animate(*this);

    uint32_t imageIndex = 0;
    const double acquireStart = now();
    if (!acquireImage(*this, imageIndex)) return;
    const double acquireMs = (now() - acquireStart) * 1000.0;
    const VkCommandBuffer cmd = swapchain.cmds[imageIndex];
    recordFrame(*this, cmd, imageIndex, camera);
    frame.stats.recordMs = (now() - waited) * 1000.0 - acquireMs;
    submitFrame(*this, cmd, imageIndex);
    captureScreenshot(imageIndex);
    presentFrame(*this, imageIndex);
}
