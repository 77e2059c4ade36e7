// The render tests of the player's body and hands: items in the first-person hand, the
// third-person body with armour and glider, and the inventory portrait. Each capture is checked at
// pixels where the drawn geometry projects, against a capture of the same view without it.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/image.h"
#include "render/figures/player_body.h"
#include "render/interface/player_portrait.h"
#include "render/view/camera.h"
#include "selftest/capture_checks.h"
#include "selftest/scenario_log.h"
#include "selftest/scenarios.h"
#include "selftest/terrain_checks.h"
#include "ui/screen_slots.h"

namespace selftest {

namespace {

// Mean colour difference of a 5 x 5 patch that counts as "something is drawn here".
constexpr double kDrawnDistance = 30.0;
constexpr std::size_t kThinPixels = 20;

struct Shot {
    platform::Image image;
    std::vector<render::MeshVertex> held;    // the held-item vertices of the frame
    std::vector<render::MeshVertex> player;  // the player-model vertices of the frame
};

Shot shoot(App& app, const std::string& file) {
    const Path png = app.files.base / file;
    if (!captureFrame(app, png)) throw std::runtime_error("Render capture was not written: " + png.string());
    Shot shot{platform::decodePng(png), app.body.heldVertices, app.body.playerVertices};
    requireNotFlat(shot.image, file);
    return shot;
}

template <typename Keep>
std::array<double, 3> centroid(const std::vector<render::MeshVertex>& vertices, Keep keep, const std::string& what) {
    std::array<double, 3> sum{};
    std::size_t count = 0;
    for (const render::MeshVertex& v : vertices) {
        if (!keep(v)) continue;
        sum[0] += v.x, sum[1] += v.y, sum[2] += v.z;
        ++count;
    }
    if (count == 0) throw std::runtime_error("Nothing to check in the capture: " + what);
    return {sum[0] / count, sum[1] / count, sum[2] / count};
}

// Pixel of a world point under the camera matrix (column-major).
std::array<double, 2> pixelOf(App& app, float fov, const std::array<double, 3>& p) {
    float m[16];
    app.computeCamera(m, fov);
    const double x = m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12];
    const double y = m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13];
    const double w = m[3] * p[0] + m[7] * p[1] + m[11] * p[2] + m[15];
    if (w <= 0.0) throw std::runtime_error("Checked point lies behind the camera");
    return {(x / w + 1.0) / 2.0 * app.gpu.swapchainWidth, (y / w + 1.0) / 2.0 * app.gpu.swapchainHeight};
}

Region patchAt(const platform::Image& image, const std::array<double, 2>& at, const std::string& what) {
    const auto x = static_cast<int64_t>(at[0]), y = static_cast<int64_t>(at[1]);
    if (x < 2 || y < 2 || x + 3 > image.width || y + 3 > image.height)
        throw std::runtime_error("Checked point lies outside the capture: " + what);
    return {static_cast<uint32_t>(x - 2), static_cast<uint32_t>(y - 2), static_cast<uint32_t>(x + 3),
            static_cast<uint32_t>(y + 3)};
}

void requireDrawnAt(const platform::Image& shown, const platform::Image& without, const std::array<double, 2>& at,
                    const std::string& what) {
    const Region patch = patchAt(shown, at, what);
    if (colourDistance(meanColour(shown, patch), meanColour(without, patch)) < kDrawnDistance)
        throw std::runtime_error("Not drawn where it belongs: " + what);
}

// A thin thing seen end-on covers few pixels: enough of those inside the box of its projected
// vertices must change.
void requireChangedInBox(App& app, float fov, const platform::Image& shown, const platform::Image& without,
                         const std::vector<render::MeshVertex>& vertices, const std::string& what) {
    double x0 = shown.width, y0 = shown.height, x1 = 0.0, y1 = 0.0;
    for (const render::MeshVertex& v : vertices) {
        const std::array<double, 2> p = pixelOf(app, fov, {v.x, v.y, v.z});
        x0 = std::min(x0, p[0]), y0 = std::min(y0, p[1]), x1 = std::max(x1, p[0]), y1 = std::max(y1, p[1]);
    }
    const auto clampTo = [](double v, uint32_t limit) { return static_cast<uint32_t>(std::clamp(v, 0.0, double(limit))); };
    std::size_t changed = 0;
    for (uint32_t y = clampTo(y0, shown.height); y < clampTo(y1 + 1.0, shown.height); ++y)
        for (uint32_t x = clampTo(x0, shown.width); x < clampTo(x1 + 1.0, shown.width); ++x)
            if (colourDistance(meanColour(shown, {x, y, x + 1, y + 1}), meanColour(without, {x, y, x + 1, y + 1})) >
                kDrawnDistance)
                ++changed;
    if (changed < kThinPixels) throw std::runtime_error("Not drawn where it belongs: " + what);
}

bool any(const render::MeshVertex&) { return true; }

void enterPlay(App& app) {
    app.files.worldOpen = true;
    app.setScreen(UiState::kPlaying);
    const int32_t top = topBlock(app.world.chunks, static_cast<int32_t>(std::floor(app.player.x)),
                                 static_cast<int32_t>(std::floor(app.player.z)));
    app.player.y = static_cast<float>(top) + 3.0f;
    app.clock.tick = 200;
}

struct BodyItems {
    uint8_t sword, bow, arrow, helmet, glider, leggings, boots;
};

std::string missingItems(const BodyItems& items) {
    const std::pair<uint8_t, const char*> named[] = {
        {items.sword, "core:iron_sword"}, {items.bow, "core:bow"},         {items.arrow, "core:arrow"},
        {items.helmet, "core:iron_helmet"}, {items.glider, "core:glider"}, {items.leggings, "core:iron_leggings"},
        {items.boots, "core:iron_boots"}};
    std::string missing;
    for (const auto& [id, name] : named)
        if (id == 0) missing += (missing.empty() ? "the items " : ", ") + std::string(name);
    return missing;
}

BodyItems bodyItems(const App& app) {
    return {app.customResourceId("core:iron_sword"), app.customResourceId("core:bow"), app.arrowResourceId(),
            app.customResourceId("core:iron_helmet"), app.customResourceId("core:glider"),
            app.customResourceId("core:iron_leggings"), app.customResourceId("core:iron_boots")};
}

void hold(App& app, int32_t slot, uint8_t id) {
    app.inventory.hotbar[static_cast<std::size_t>(slot)] = {id, id == 0 ? 0 : 1, 0};
    app.inventory.selected = slot;
}

// A sword, a fully drawn bow with and without arrows, and a plain block, each against the empty hand.
void checkFirstPerson(App& app, const BodyItems& items) {
    constexpr int32_t kSlot = 8;
    hold(app, kSlot, 0);
    const Shot empty = shoot(app, "held-render-empty.png");
    hold(app, kSlot, items.sword);
    const Shot sword = shoot(app, "held-render-sword.png");
    requireDrawnAt(sword.image, empty.image, pixelOf(app, render::kHandFieldOfView, centroid(sword.held, any, "sword")),
                   "the sword");

    hold(app, kSlot, items.bow);
    app.actions.bowDrawing = true;
    app.actions.bowDrawStartTick = app.clock.tick - 20;
    const Shot unarmed = shoot(app, "held-render-bow-no-arrows.png");
    app.inventory.main[0] = {items.arrow, 16, 0};
    const Shot bow = shoot(app, "held-render-bow.png");
    const std::size_t bowVertices = voxel::blockDef(items.bow).modelVertices.size();
    if (unarmed.held.size() != bowVertices || bow.held.size() <= bowVertices)
        throw std::runtime_error("The drawn bow shows no arrow on its string");
    const std::vector<render::MeshVertex> arrow(bow.held.begin() + static_cast<std::ptrdiff_t>(bowVertices),
                                                bow.held.end());
    requireChangedInBox(app, render::kHandFieldOfView, bow.image, unarmed.image, arrow, "the arrow on the string");
    app.actions.bowDrawing = false;
    app.inventory.main[0] = {};

    hold(app, kSlot, 1);
    const Shot block = shoot(app, "held-render-block.png");
    requireDrawnAt(block.image, empty.image, pixelOf(app, render::kHandFieldOfView, centroid(block.held, any, "block")),
                   "the block in hand");
}

// The body from behind: helmet, glider and sword against the bare body with an empty hand.
void checkThirdPerson(App& app, const BodyItems& items) {
    app.player.thirdPerson = true;
    app.player.pitch = -0.2f;
    hold(app, 8, 0);
    const Shot bare = shoot(app, "held-render-third-bare.png");
    app.player.armor = {InventorySlot{items.helmet, 1, 0}, InventorySlot{items.glider, 1, 0},
                        InventorySlot{items.leggings, 1, 0}, InventorySlot{items.boots, 1, 0}};
    hold(app, 8, items.sword);
    const Shot dressed = shoot(app, "held-render-third.png");
    const float feet = app.player.y - 1.62f;
    const auto helmet = [feet](const render::MeshVertex& v) {
        return v.layer == render::kArmourMaterial && v.y - feet > 1.5f;
    };
    const auto glider = [](const render::MeshVertex& v) { return v.layer < render::kSkinMaterial; };
    requireDrawnAt(dressed.image, bare.image, pixelOf(app, 0.0f, centroid(dressed.player, helmet, "helmet")),
                   "the helmet");
    requireDrawnAt(dressed.image, bare.image, pixelOf(app, 0.0f, centroid(dressed.player, glider, "glider")),
                   "the glider");
    requireChangedInBox(app, 0.0f, dressed.image, bare.image, dressed.held, "the sword in third person");
    app.player.thirdPerson = false;
}

Path logOf(const App& app, const std::string& name) { return app.files.base / (name + ".log"); }

// The inner square of an armour slot of the inventory panel, where its item's icon lies.
Region armourSlotIcon(const App& app, uint32_t k) {
    for (const ui::ScreenSlot& slot : ui::screenSlots(0, static_cast<float>(app.gpu.swapchainWidth),
                                                      static_cast<float>(app.gpu.swapchainHeight))) {
        if (slot.code != ui::kArmourSlotBase + k) continue;
        const ui::SlotRect& r = slot.rect;
        const float inset = r.h * 0.3f;
        return {static_cast<uint32_t>(r.x + inset), static_cast<uint32_t>(r.y + inset),
                static_cast<uint32_t>(r.x + r.w - inset), static_cast<uint32_t>(r.y + r.h - inset)};
    }
    throw std::runtime_error("The inventory has no armour slot " + std::to_string(k));
}

// The panel shows what the portrait wears: each worn piece's slot differs from an empty one.
void requireWornInSlots(const App& app, const platform::Image& image, const std::array<bool, 4>& worn) {
    const auto empty = std::find(worn.begin(), worn.end(), false);
    if (empty == worn.end()) throw std::runtime_error("No empty armour slot to compare with");
    const Colour bare = meanColour(image, armourSlotIcon(app, static_cast<uint32_t>(empty - worn.begin())));
    for (uint32_t k = 0; k < worn.size(); ++k) {
        if (worn[k] && colourDistance(meanColour(image, armourSlotIcon(app, k)), bare) < kDrawnDistance)
            throw std::runtime_error("The armour slot shows nothing of the piece worn: " + std::to_string(k));
    }
}

}  // namespace

int heldRender(App& app) {
    const BodyItems items = bodyItems(app);
    if (const std::string missing = missingItems(items); !missing.empty())
        return unavailable(logOf(app, "held-render"), "held-render", missing);
    enterPlay(app);
    app.frame.keepInterface = false;
    checkFirstPerson(app, items);
    checkThirdPerson(app, items);
    writeResult(logOf(app, "held-render"),
                "HELD_RENDER_OK: sword, drawn bow with arrow, block in hand and third-person body with armour and "
                "glider captured and checked");
    return 0;
}

// The portrait with helmet and boots, against the same screen drawn without a body mesh; the
// panel's armour slots show the same two pieces.
int inventoryRender(App& app) {
    const BodyItems items = bodyItems(app);
    if (items.helmet == 0 || items.boots == 0)
        return unavailable(logOf(app, "inventory-render"), "inventory-render", "the items core:iron_helmet, core:iron_boots");
    enterPlay(app);
    app.frame.keepInterface = true;
    app.ui.inventoryOpen = true;
    app.ui.panelOpenedAt = glfwGetTime() - 1.0;
    app.player.armor[0] = {items.helmet, 1, 0};
    app.player.armor[3] = {items.boots, 1, 0};
    std::vector<VxmVertex> mesh;
    mesh.swap(app.playerMesh);
    const Shot without = shoot(app, "inventory-render-empty.png");
    mesh.swap(app.playerMesh);
    const Shot portrait = shoot(app, "inventory-render.png");
    if (app.body.portraitVertexCount == 0) throw std::runtime_error("The inventory shows no portrait");
    // The figure's middle and its helmet, as the portrait builder placed them.
    const ui::InventoryLayout layout = ui::inventoryLayout(static_cast<float>(app.gpu.swapchainWidth),
                                                           static_cast<float>(app.gpu.swapchainHeight));
    const render::ArmourWorn worn{true, false, false, true};
    requireWornInSlots(app, portrait.image, worn);
    const std::vector<render::MeshVertex> figure = render::buildPortrait(app.playerMesh, layout, worn, -1);
    const auto pixel = [](const std::array<double, 3>& p) { return std::array<double, 2>{p[0], p[1]}; };
    const std::array<double, 3> middle = centroid(figure, any, "portrait");
    const auto helmet = [&middle](const render::MeshVertex& v) {
        return v.layer == render::kArmourMaterial && v.y < middle[1];
    };
    requireDrawnAt(portrait.image, without.image, pixel(middle), "the portrait");
    requireDrawnAt(portrait.image, without.image, pixel(centroid(figure, helmet, "helmet")), "the portrait's helmet");
    writeResult(logOf(app, "inventory-render"),
                "INVENTORY_RENDER_OK: inventory portrait with armour captured and checked");
    return 0;
}

}  // namespace selftest
