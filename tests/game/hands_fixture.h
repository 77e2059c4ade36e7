#pragma once
// The player's hands in a loaded world of stone: ground up to y 63, the player standing at
// (2.5, 64, 4.5) looking along +x at a stone wall at x 6, so the aimed cell is (6, 65, 4) and a
// placed block goes to (5, 65, 4). Input arrives as the window's callbacks would bring it.
#include <GLFW/glfw3.h>

#include <cstdint>

#include "world/loaded_world.h"

namespace gametest {

constexpr uint8_t pickaxe = 20, apple = 21, chest = 22;
constexpr float kEye = 1.62f;

class Hands : public worldtest::LoadedWorld {
   protected:
    void SetUp() override {
        LoadedWorld::SetUp();
        voxel::BlockDef tool;
        tool.isBlock = false, tool.max_stack = 1, tool.durability = 2, tool.tool = "pickaxe";
        voxel::registerBlock(pickaxe, tool);
        voxel::BlockDef food;
        food.isBlock = false;
        voxel::registerBlock(apple, food);
        worldtest::addBlock(chest, "chest", true, false);
        app.world.shaped = voxel::shapedFlags();
        app.rules.food[apple] = 4;
        load(0, 0);
        app.setBlock(6, 65, 4, worldtest::stone);
        standAt(2.5f, 4.5f);
        app.player.yaw = 0.0f, app.player.pitch = 0.0f;
        app.ui.menuOpen = false;
    }
    void standAt(float x, float z) { app.player.x = x, app.player.y = 64.0f + kEye, app.player.z = z; }
    void hold(uint8_t item, int32_t count = 1) {
        app.inventory.selected = 5;
        app.inventory.hotbar[5] = InventorySlot{item, count, 0};
    }
    void button(int which, int action) { app.onMouseButton(nullptr, which, action, 0); }
    // One frame of the hands with a fixed frame time.
    void frame(float seconds = 0.125f) {
        app.player.frameDelta = seconds;
        app.handleUseInput();
    }
    void rightClick() {
        button(GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS);
        frame();
        button(GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE);
        frame();
    }
};

}  // namespace gametest
