// The hands driven through the window: mouse buttons arrive as X events at the game's hidden window
// and reach the App through its GLFW callbacks; the test then runs the hand and world steps.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>
#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <thread>

#include "render/gpu_fixture.h"
#include "world/chunk.h"

namespace {

constexpr uint8_t kStone = 3;

class HandsThroughTheWindow : public rendertest::GpuTest {
   protected:
    void SetUp() override {
        testing::internal::CaptureStdout();
        app.createWindowAndDevice();
        testing::internal::GetCapturedStdout();
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        voxel::Chunk chunk(0, 0);
        for (int32_t y = 0; y < 64; ++y)
            for (uint32_t i = 0; i < 256; ++i) chunk.cells[voxel::cellIndex(i % 16, y, i / 16)] = kStone;
        app.world.chunks.push_back(std::move(chunk));
        app.reindexChunks();
        app.setBlock(6, 65, 4, kStone);  // a wall ahead
        app.setBlock(5, 65, 8, kStone);  // a wall to the side
        app.player.x = 2.5f, app.player.y = 65.62f, app.player.z = 4.5f;
        app.player.yaw = 0.0f, app.player.pitch = 0.0f;
        app.ui.menuOpen = false;
    }
    void TearDown() override {
        if (display) XCloseDisplay(display);
        GpuTest::TearDown();
    }

    // Sends a press or release of an X button (1 left, 3 right) to the window and polls until the
    // callback has seen it.
    void sendButton(unsigned int button, bool press, const std::function<bool()>& arrived) {
        XEvent event{};
        event.xbutton.type = press ? ButtonPress : ButtonRelease;
        event.xbutton.display = display;
        event.xbutton.window = glfwGetX11Window(app.gpu.win);
        event.xbutton.root = DefaultRootWindow(display);
        event.xbutton.time = CurrentTime;
        event.xbutton.x = event.xbutton.y = 10;
        event.xbutton.same_screen = True;
        event.xbutton.button = button;
        event.xbutton.state = press ? 0 : (button == Button1 ? Button1Mask : Button3Mask);
        XSendEvent(display, event.xbutton.window, True, press ? ButtonPressMask : ButtonReleaseMask, &event);
        XFlush(display);
        pollUntil(arrived);
    }
    void pollUntil(const std::function<bool()>& arrived) {
        for (int i = 0; i < 200 && !arrived(); ++i) {
            glfwPollEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(arrived());
    }
    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            glfwPollEvents();
            app.player.frameDelta = 0.25f;
            app.handleUseInput();
            app.stepDroppedItems();
        }
    }

    Display* display = nullptr;
};

TEST_F(HandsThroughTheWindow, BreaksABlockPicksItUpAndPlacesItElsewhere) {
    sendButton(Button1, true, [&] { return app.hands.leftHeld; });
    frames(5);  // 1.25 s of the 1.5 s that stone takes by hand
    EXPECT_EQ(app.blockAt(6, 65, 4), kStone);
    frames(1);
    EXPECT_EQ(app.blockAt(6, 65, 4), voxel::airId);
    sendButton(Button1, false, [&] { return !app.hands.leftHeld; });
    ASSERT_EQ(app.entities.droppedItems.size(), 1u);

    app.player.x = 5.5f;  // walks up to the dropped stone
    frames(12);
    EXPECT_TRUE(app.entities.droppedItems.empty());
    ASSERT_EQ(app.inventory.hotbar[5].id, kStone) << "the full stack of stone stays full";
    EXPECT_EQ(app.inventory.hotbar[2].count, 64);

    app.inventory.selected = 5;
    app.player.yaw = 1.5707964f;  // facing +z, at the side wall
    sendButton(Button3, true, [&] { return app.hands.rightHeld; });
    frames(1);
    sendButton(Button3, false, [&] { return !app.hands.rightHeld; });
    frames(1);
    EXPECT_EQ(app.blockAt(5, 65, 7), kStone);
    EXPECT_EQ(app.inventory.hotbar[5].count, 0);
}

// The first mouse move after a window over play closes turns the view, though it comes before the
// frame that next reads the mouse. GLFW captures the mouse only for the window with the focus.
TEST_F(HandsThroughTheWindow, TheFirstMouseMoveAfterClosingAWindowTurnsTheView) {
    glfwShowWindow(app.gpu.win);
    glfwFocusWindow(app.gpu.win);
    pollUntil([&] { return glfwGetWindowAttrib(app.gpu.win, GLFW_FOCUSED) != 0; });
    app.openInventory();
    app.closeScreen();
    double before = 0.0, after = 0.0, y = 0.0;
    glfwGetCursorPos(app.gpu.win, &before, &y);
    XEvent event{};
    event.xmotion.type = MotionNotify, event.xmotion.display = display;
    event.xmotion.window = glfwGetX11Window(app.gpu.win), event.xmotion.root = DefaultRootWindow(display);
    event.xmotion.x = 700, event.xmotion.y = 300, event.xmotion.same_screen = True;
    XSendEvent(display, event.xmotion.window, True, PointerMotionMask, &event);
    XFlush(display);
    pollUntil([&] { return glfwGetCursorPos(app.gpu.win, &after, &y), after != before; });
    app.updatePlayer();
    EXPECT_NEAR(app.player.yaw, (after - before) * 0.0025, 1e-5);
}

}  // namespace
