// The dynamic entity pass: everything that moves and is not a chunk, built on the CPU each frame
// and drawn in one non-indexed draw after the chunk meshes.
#include <GLFW/glfw3.h>

#include <cstring>
#include <vector>

#include "app/app.h"
#include "render/figures/dynamic_geometry.h"
#include "render/vulkan/vulkan_check.h"
#include "world/chunk.h"

namespace {

constexpr int kMapLine = 705;
constexpr std::size_t kVerticesPerItem = 36;

bool lanGuest(const App& app) { return app.lan.entitiesFromHost(); }

render::DynamicPassGate passGate(const App& app) {
    const EntityState& e = app.entities;
    const bool any = !e.droppedItems.empty() || !e.arrows.empty() || !e.mobs.empty() || !e.sparks.empty() ||
                     !app.adventureState.npcPositions.empty();
    return {app.ui.menuOpen, app.ui.screen, any, app.showHitboxes};
}

void emitDroppedItems(App& app, std::vector<render::MeshVertex>& list) {
    list.reserve(app.entities.droppedItems.size() * kVerticesPerItem);
    const double alpha = render::droppedItemAlpha(lanGuest(app), glfwGetTime(), app.entities.lastDroppedItemMessage,
                                                  app.clock.accumulator);
    for (const DroppedItem& item : app.entities.droppedItems) {
        const int32_t cx = voxel::floorDiv(render::floorCell(item.x), 16);
        const int32_t cz = voxel::floorDiv(render::floorCell(item.z), 16);
        if (!app.findChunk(cx, cz)) continue;
        // An id the registry does not know (from a peer with other content) would fail the whole frame.
        if (!voxel::isValidBlockId(item.id)) continue;
        render::emitDroppedItem(list, render::cachedItemMesh(app.dynamicPass, item.id),
                                render::droppedItemPose(item, alpha));
    }
}

void emitArrows(App& app, std::vector<render::MeshVertex>& list) {
    const double a = app.tickAlpha();
    for (const Arrow& arrow : app.entities.arrows) {
        const render::Double3 position{a * arrow.x + (1.0 - a) * arrow.prevX, a * arrow.y + (1.0 - a) * arrow.prevY,
                                       a * arrow.z + (1.0 - a) * arrow.prevZ};
        app.emitArrowModel(list, position, arrow.facing, render::kArrowScale);
    }
}

void destroyDropped(VkDevice dev, BufferSlot& slot) {
    if (slot.buffer) vkDestroyBuffer(dev, slot.buffer, nullptr);
    if (slot.memory) vkFreeMemory(dev, slot.memory, nullptr);
    slot = BufferSlot{};
}

// A new buffer is written whole, the list then zeros; otherwise only the list's bytes are mapped.
void uploadDynamicVertices(App& app, const std::vector<render::MeshVertex>& list) {
    BufferSlot& slot = app.dynamicPass.dropped;
    const uint64_t bytes = list.size() * sizeof(render::MeshVertex);
    uint64_t mapped = bytes;
    if (bytes > slot.capacity) {
        const uint64_t capacity = render::dynamicBufferCapacity(slot.capacity, bytes);
        destroyDropped(app.gpu.dev, slot);
        vk::createBuffer(app, capacity, VK_BUFFER_USAGE_VERTEX_BUFFER_BIT, slot.buffer, slot.memory, nullptr);
        slot.capacity = capacity;
        mapped = capacity;
    }
    void* dst = nullptr;
    render::check(vkMapMemory(app.gpu.dev, slot.memory, 0, mapped, 0, &dst),
                  "vkMapMemory(dev,droppedMemory,0,bytes,0,&dst)", kMapLine);
    std::memcpy(dst, list.data(), bytes);
    std::memset(static_cast<uint8_t*>(dst) + bytes, 0, mapped - bytes);
    vkUnmapMemory(app.gpu.dev, slot.memory);
}

}  // namespace

namespace render {

const BlockFaces& cachedItemMesh(DynamicPassState& pass, uint8_t id) {
    if (!pass.itemMeshBuilt[id]) {
        pass.itemMeshes[id] = itemMesh(id);
        pass.itemMeshBuilt[id] = true;
    }
    return pass.itemMeshes[id];
}

}  // namespace render

void App::drawDynamicEntities(VkCommandBuffer cmd) {
    if (!render::dynamicPassRuns(passGate(*this))) return;
    std::vector<render::MeshVertex>& list = dynamicPass.vertices;
    list.clear();
    buildDynamicGeometry(list);
    if (list.empty()) return;
    uploadDynamicVertices(*this, list);
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS, swapchain.voxelPipeline);
    const VkDeviceSize offset = 0;
    vkCmdBindVertexBuffers(cmd, 0, 1, &dynamicPass.dropped.buffer, &offset);
    vkCmdDraw(cmd, static_cast<uint32_t>(list.size()), 1, 0, 0);
}

void App::buildDynamicGeometry(std::vector<render::MeshVertex>& list) {
    emitDroppedItems(*this, list);
    emitArrows(*this, list);
    buildActorGeometry(list);
    buildNpcFigures(list);
    emitSparkCubes(list);
    stampVertexLight(list);
}

void App::emitArrowModel(std::vector<render::MeshVertex>& list, const render::Double3& position,
                         const render::Double3& facing, double scale) {
    const uint8_t id = arrowResourceId();
    if (id == 0) return;
    render::emitArrowVertices(list, voxel::blockDef(id).modelVertices, id, position, facing, scale);
}

void App::emitSparkCubes(std::vector<render::MeshVertex>& list) {
    render::emitSparkCubes(list, entities.sparks, tickAlpha());
}

void App::stampVertexLight(std::vector<render::MeshVertex>& list) {
    render::stampVertexLight(list, dynamicPass.lightCache, [this](int32_t x, int32_t y, int32_t z) {
        const Light light = lightAt(x, y, z);
        return render::CellLight{light.sky, light.block};
    });
}
