#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include <GLFW/glfw3.h>

#include <algorithm>

#include "gpu_fixture.h"
#include "render/chunks/mesh_vertex.h"
#include "ui/screen_slots.h"

namespace {

VxmVertex vertex(float x, float y, float z, uint32_t part) {
    return VxmVertex{x, y, z, 0.0f, 0.0f, 0, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, part};
}

// Two triangles: the body (part 0) and the holding arm (part 2).
std::vector<VxmVertex> twoTriangles() {
    return {vertex(0, 0, 0, 0), vertex(0.5f, 1, 0, 0), vertex(0, 1, 0, 0),
            vertex(0.3f, 0.6f, 0, 2), vertex(0.5f, 1.4f, 0, 2), vertex(0.3f, 1.4f, 0.1f, 2)};
}

class BodyDeviceTest : public rendertest::GpuTest {
protected:
    void SetUp() override {
        app.createWindowAndDevice();
        app.createFrameSync();
        app.playerMesh = twoTriangles();
    }

    std::vector<render::MeshVertex> vertices(VkDeviceMemory memory, uint32_t count) {
        const std::vector<uint8_t> bytes = mappedBytes(memory, count * sizeof(render::MeshVertex));
        std::vector<render::MeshVertex> out(count);
        std::memcpy(out.data(), bytes.data(), bytes.size());
        return out;
    }
};

TEST_F(BodyDeviceTest, RemotePlayersOnlyInAReadySessionWithAWorldExtraPoseFirst) {
    app.lan.remotePoses[7].values = {10.0f, 71.62f, 20.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    struct Row {
        bool ready, worldOpen, extra;
        uint32_t expected;
    };
    const Row rows[] = {{false, true, true, 0}, {true, false, true, 0}, {true, true, false, 6}, {true, true, true, 12}};
    app.lan.extraPose.values = {-5.0f, 71.62f, 3.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    for (const Row& row : rows) {
        app.lan.ready = row.ready;
        app.files.worldOpen = row.worldOpen;
        app.lan.hasExtraPose = row.extra;
        app.buildRemotePlayers();
        EXPECT_EQ(app.body.remoteIndexCount, row.expected) << row.ready << row.worldOpen << row.extra;
    }
    EXPECT_FLOAT_EQ(vertices(app.body.remoteVertexBuffer.memory, 12)[0].x, -5.0f) << "the extra pose comes first";
    app.lan.remotePoses[9].values = {NAN, 0, 0, 0, 0, 0, 0};
    app.buildRemotePlayers();
    EXPECT_EQ(app.body.remoteIndexCount, 12u) << "a pose that is not finite is skipped";
}

TEST_F(BodyDeviceTest, PlayerModelIsTheArmInFirstPersonAndTheBodyInThirdPerson) {
    app.inventory.selected = 8;  // empty hand
    app.uploadPlayerModel();
    EXPECT_EQ(app.body.playerIndexCount, 3u);
    const std::vector<uint8_t> indices = mappedBytes(app.body.playerIndexBuffer.memory, 12);
    uint32_t last = 0;
    std::memcpy(&last, indices.data() + 8, 4);
    EXPECT_EQ(last, 2u);
    app.player.thirdPerson = true;
    app.uploadPlayerModel();
    EXPECT_EQ(app.body.playerIndexCount, 6u);
    EXPECT_EQ(app.body.playerIndexBuffer.capacity, 24u) << "grown to the exact size";
    app.playerMesh.clear();
    app.uploadPlayerModel();
    EXPECT_EQ(app.body.playerIndexCount, 0u);
}

TEST_F(BodyDeviceTest, PortraitRebuildsOnlyWhenItsKeyChanges) {
    app.gpu.swapchainWidth = 1280;
    app.gpu.swapchainHeight = 720;
    app.renderPlayerPortrait();
    EXPECT_EQ(app.body.portraitVertexCount, 0u) << "closed inventory";
    app.ui.inventoryOpen = true;
    app.renderPlayerPortrait();
    ASSERT_EQ(app.body.portraitVertexCount, 6u);
    const auto poison = [this] {
        void* mapped = nullptr;
        ASSERT_EQ(vkMapMemory(app.gpu.dev, app.body.portrait.memory, 0, VK_WHOLE_SIZE, 0, &mapped), VK_SUCCESS);
        std::memset(mapped, 0, app.body.portrait.capacity);
        vkUnmapMemory(app.gpu.dev, app.body.portrait.memory);
    };
    struct Step {
        const char* what;
        void (*change)(App&);
        bool rebuilt;
    };
    const Step steps[] = {
        {"nothing changed", [](App&) {}, false},
        {"an ordinary slot hovered", [](App& a) { a.ui.hoveredSlot = 39; }, false},
        {"an armour slot hovered", [](App& a) { a.ui.hoveredSlot = 40; }, true},
        {"armour put on", [](App& a) { a.player.armor[2] = {3, 1, 0}; }, true},
        {"the window resized", [](App& a) { a.gpu.swapchainWidth = 1000; }, true},
    };
    for (const Step& step : steps) {
        poison();
        step.change(app);
        app.renderPlayerPortrait();
        const float x = vertices(app.body.portrait.memory, 1)[0].x;
        EXPECT_EQ(x != 0.0f, step.rebuilt) << step.what;
    }
}

// The inventory screen stores the slot under the cursor each frame; over an armour slot the portrait
// brightens that piece, over any other slot it stays as it is.
TEST_F(BodyDeviceTest, HoveringAnArmourSlotBrightensItsPieceOnThePortrait) {
    int width = 0, height = 0, windowWidth = 0, windowHeight = 0;
    glfwGetFramebufferSize(app.gpu.win, &width, &height);
    glfwGetWindowSize(app.gpu.win, &windowWidth, &windowHeight);
    ASSERT_TRUE(width > 0 && height > 0 && windowWidth > 0 && windowHeight > 0);
    app.gpu.swapchainWidth = static_cast<uint32_t>(width);
    app.gpu.swapchainHeight = static_cast<uint32_t>(height);
    // Closing the inventory saves it: into a folder of the test's own.
    testsupport::TempDir world;
    app.useBaseDirectory(world.path());
    app.files.worldOpen = true;
    app.setScreen(0);
    app.ui.inventoryOpen = true;
    // The pointer moves only into a window that has the input focus.
    glfwShowWindow(app.gpu.win);
    glfwFocusWindow(app.gpu.win);
    glfwPollEvents();
    const std::vector<ui::ScreenSlot> slots = ui::screenSlots(0, static_cast<float>(width), static_cast<float>(height));
    for (const uint32_t code : {40u, 41u, 42u, 43u, 0u, 35u}) {
        const auto slot = std::find_if(slots.begin(), slots.end(), [code](const ui::ScreenSlot& s) { return s.code == code; });
        ASSERT_NE(slot, slots.end()) << code;
        const double fx = slot->rect.x + slot->rect.w * 0.5, fy = slot->rect.y + slot->rect.h * 0.5;
        glfwSetCursorPos(app.gpu.win, fx * windowWidth / width, fy * windowHeight / height);
        app.handleInventoryInput();
        EXPECT_EQ(app.ui.hoveredSlot, code);
        app.renderPlayerPortrait();
        EXPECT_EQ(app.body.portraitKey.hovered, code >= 40 ? static_cast<int32_t>(code) : -1) << code;
    }
    app.closeScreen();
    EXPECT_EQ(app.ui.hoveredSlot, ui::kNoSlot) << "a closed inventory hovers nothing";
}

}  // namespace
