// The item in the player's hand: its model posed by the display settings, held clips and swing,
// a drawn bow bent with an arrow on the string, or a plain block as a small turned cube.
#include <cmath>

#include "app/app.h"
#include "game/hand_rules.h"
#include "models/display_settings.h"
#include "render/figures/dynamic_geometry.h"
#include "render/figures/held_item.h"
#include "render/vulkan/vulkan_check.h"

namespace {

constexpr double kBowCant = 0.7;
constexpr double kBowGripDepth = 0.63125;
constexpr float kToolGrip = 0.18f;

// Where the model's points go this frame; one per drawn item.
struct HeldPlacement {
    bool thirdPerson = false;
    bool bends = false;       // the limbs bend with the pull
    bool bendingBow = false;
    render::HeldModelFrame frame;
    float pull = 0.0f;
    double swing = 0.0;
    render::ViewBasis basis;
    render::Double3 base{};    // the hand in third person, the eye in first
    render::Double3 offset{};  // ox, oy, oz
    render::Double3 hand{};    // first-person hand offset
};

render::Double3 place(const HeldPlacement& h, double x, double y, double z) {
    render::Double3 world{};
    for (int k = 0; k < 3; ++k)
        world[k] = h.base[k] + h.basis.right[k] * x + h.basis.up[k] * y + h.basis.forward[k] * z;
    return world;
}

bool drawnInThirdPerson(const App& app, const voxel::BlockDef& def) {
    return app.isHoldingBow() || app.isHoldingShield() || !def.tool.empty() || def.thirdPersonDisplay.authored;
}

render::Double3 handOffsets(const App& app, const voxel::BlockDef& def, const HeldPlacement& h) {
    if (!h.thirdPerson) {
        if (!app.isHoldingShield()) return {0.3, -0.2, 0.72};
        const double raise = app.actions.shieldRaise;
        return {0.4 - raise * 0.13, raise * 0.15 - 0.28, 0.95 - raise * 0.1 + app.actions.blockTimer * 0.008};
    }
    const render::HeldModelFrame& f = h.frame;
    if (h.bendingBow) {
        const double g = (f.midZ - kBowGripDepth) * f.scale;
        return {-std::sin(kBowCant) * g, 0.0, std::cos(kBowCant) * g};
    }
    if (!def.tool.empty()) return {0.04, (f.midY - (f.minY + f.dy * kToolGrip)) * f.scale, 0.03};
    return {0.0, 0.0, 0.0};
}

HeldPlacement heldPlacement(App& app, const voxel::BlockDef& def) {
    HeldPlacement h;
    h.thirdPerson = app.player.thirdPerson;
    const bool usable = game::isUsableBlock(app.selectedSlot().id);
    h.frame = render::heldModelFrame(def, render::heldBaseSize(def, usable, app.isHoldingShield(), h.thirdPerson));
    h.pull = std::max(app.actions.bowRelease * 0.25f, std::min(app.bowDrawProgress(), 1.0f));
    h.bendingBow = render::isBendingBow(def);
    h.bends = render::bendsWhenDrawn(def);
    h.swing = app.swingAmount();
    const bool drawing = app.actions.bowDrawing && app.isHoldingBow();
    h.basis = render::viewBasis(app.player.yaw, h.thirdPerson && !drawing ? 0.0f : app.player.pitch);
    h.base = h.thirdPerson ? app.handWorldPosition() : render::Double3{app.player.x, app.player.y, app.player.z};
    h.offset = handOffsets(app, def, h);
    if (!h.thirdPerson) h.hand = app.firstPersonHandOffset();
    return h;
}

// Third person without an authored display: turned by the swing (tools) or canted (bows), then
// scaled about the model's centre.
render::Double3 placeBare(const HeldPlacement& h, const voxel::BlockDef& def, content::Float3 p, int face) {
    const render::HeldModelFrame& f = h.frame;
    if (!def.tool.empty()) p = render::turnXY(p, f.cx, f.minY + f.dy * kToolGrip, h.swing * 0.95);
    if (h.bendingBow) {
        if (h.bends && face >= 0) p = render::bendBowPoint(p, static_cast<uint32_t>(face), f, h.pull);
        p = render::cantBow(p, f);
    }
    return place(h, (p[0] - f.cx) * f.scale + h.offset[0], (p[1] - f.midY) * f.scale + h.offset[1],
                 h.offset[2] - (p[2] - f.cz) * f.scale);
}

render::Double3 placeAuthored(App& app, const HeldPlacement& h, uint8_t id, const voxel::BlockDef& def,
                              const content::Float3& p) {
    content::Float3 q = content::thirdPersonPoint(def, p);
    if (app.armPose()) {
        q = app.heldItemAnchor(q, id, true);
    } else if (!def.tool.empty()) {
        const render::HeldModelFrame& f = h.frame;
        const content::Float3 grip = content::thirdPersonPoint(def, {f.cx, f.minY + f.dy * kToolGrip, f.cz});
        q = render::turnXY(q, grip[0], grip[1], h.swing * 0.95);
    }
    return place(h, q[0], q[1], -q[2]);
}

// A model point in the world; face -1 marks a point that is not a model vertex (the nock).
render::Double3 placePoint(App& app, const HeldPlacement& h, uint8_t id, const voxel::BlockDef& def,
                           const content::Float3& p, int face) {
    if (h.thirdPerson)
        return def.thirdPersonDisplay.authored ? placeAuthored(app, h, id, def, p) : placeBare(h, def, p, face);
    content::Float3 bent = p;
    if (h.bends && face >= 0) bent = render::bendBowPoint(p, static_cast<uint32_t>(face), h.frame, h.pull);
    const render::Double3 q = app.heldModelPoint(bent, id);
    return place(h, h.hand[0] + q[0], h.hand[1] + q[1], h.hand[2] + q[2]);
}

// The arrow lies along the view from the string forwards, while drawing with arrows to shoot.
void appendNockedArrow(App& app, const HeldPlacement& h, uint8_t id, const voxel::BlockDef& def) {
    const uint8_t arrowId = app.arrowResourceId();
    if (!app.actions.bowDrawing || def.behavior != "bow" || arrowId == 0 || app.countItem(arrowId) < 1) return;
    const render::HeldModelFrame& f = h.frame;
    const render::Double3 nock = placePoint(app, h, id, def, {f.cx, f.midY, f.midZ - 0.125f + h.pull * 0.5f}, -1);
    const double length = h.thirdPerson ? 0.75 : 0.55;
    const render::Double3& d = h.basis.forward;
    render::emitArrowVertices(app.body.heldVertices, voxel::blockDef(arrowId).modelVertices, arrowId,
                              {nock[0] + d[0] * length, nock[1] + d[1] * length, nock[2] + d[2] * length}, d, length);
}

void appendHeldModel(App& app, uint8_t id, const voxel::BlockDef& def) {
    const HeldPlacement h = heldPlacement(app, def);
    for (const ModelVertex& m : def.modelVertices) {
        const render::Double3 world = placePoint(app, h, id, def, {m.x, m.y, m.z}, m.texture);
        app.body.heldVertices.push_back(render::heldVertex(m, id, world));
    }
    appendNockedArrow(app, h, id, def);
}

}  // namespace

void App::buildHeldItem() {
    body.heldVertices.clear();
    if (ui.menuOpen || ui.inventoryOpen) return;
    const InventorySlot& slot = selectedSlot();
    if (slot.id == 0 || slot.count <= 0 || !voxel::isValidBlockId(slot.id)) return;
    const voxel::BlockDef& def = voxel::blockDef(slot.id);
    if (player.thirdPerson && !drawnInThirdPerson(*this, def)) return;
    if (!def.modelVertices.empty()) {
        appendHeldModel(*this, slot.id, def);
    } else if (!player.thirdPerson && def.available) {
        // The dropped item's mesh: whole, so a door without a model shows its leaf.
        render::appendHeldBlock(body.heldVertices, render::cachedItemMesh(dynamicPass, slot.id),
                                firstPersonHandOffset(), render::viewBasis(player.yaw, player.pitch),
                                {player.x, player.y, player.z});
    }
}

void App::drawPlayerModel(VkCommandBuffer cmd) {
    buildHeldItem();
    if (!body.heldVertices.empty()) uploadHeldContent(cmd, body.heldVertices);
}

void App::uploadHeldContent(VkCommandBuffer cmd, std::vector<render::MeshVertex>& vertices) {
    stampVertexLight(vertices);
    if (vertices.empty()) return;
    const uint64_t bytes = vertices.size() * sizeof(render::MeshVertex);
    BufferSlot& slot = body.heldContent;
    if (bytes <= slot.capacity) {
        render::writeBufferMemory(gpu.dev, slot.memory, bytes, vertices.data(),
                                  "vkMapMemory(dev,heldContentMemory,0,bytes,0,&dst)", 753);
    } else {
        render::destroyBufferSlot(gpu.dev, slot);
        slot.capacity = bytes;
        vk::createBuffer(*this, bytes, VK_BUFFER_USAGE_VERTEX_BUFFER_BIT, slot.buffer, slot.memory, vertices.data());
    }
    vkCmdBindPipeline(cmd, VK_PIPELINE_BIND_POINT_GRAPHICS,
                      player.thirdPerson ? swapchain.voxelPipeline : swapchain.handPipeline);
    const VkDeviceSize offset = 0;
    vkCmdBindVertexBuffers(cmd, 0, 1, &slot.buffer, &offset);
    vkCmdDraw(cmd, static_cast<uint32_t>(vertices.size()), 1, 0, 0);
}
