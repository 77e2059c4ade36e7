#pragma once
// The player, the inventory and the world clock as the App holds them.
#include <array>
#include <climits>
#include <cstdint>

struct InventorySlot {
    uint8_t id = 0;
    int32_t count = 0;
    int32_t wear = 0;
};

struct PlayerState {
    float x = 8.0f, y = 83.0f, z = 29.0f;  // eye position, blocks
    float yaw = -1.57079625f;              // one float step nearer 0 than -pi/2
    float pitch = -0.24f;
    float velocityX = 0.0f, velocityY = 0.0f, velocityZ = 0.0f;
    bool resetMouseLook = true;
    bool thirdPerson = false;
    float lightFade = 0.28f;
    double inputClock = 0.0;  // GLFW seconds from which the next frame delta is measured
    float frameDelta = 0.0f;  // seconds, written by the player and screen steps
    float spawnX = 8.0f, spawnY = 83.0f, spawnZ = 29.0f;
    int32_t health = 20;
    std::array<int32_t, 4> food{20, 0, 0, 0};
    int32_t air = 300;
    double stamina = 100.0;
    std::array<InventorySlot, 4> armor{};  // head, body, legs, feet
    double scrollAccumulator = 0.0;
    // Last-seen chunk coordinates, unset at the lowest value.
    int32_t chunkX = INT32_MIN, chunkZ = INT32_MIN;
    int32_t streamChunkX = INT32_MIN, streamChunkZ = INT32_MIN;
    // Hand and combat timers the main loop eases each frame.
    float decayTimer = 0.0f;
    float blend = 0.0f;
    bool blendTarget = false;
    float swingPhase = 0.0f;
    int32_t swingHold = 0;
    bool swingSlow = false;
    double lastMouseX = 0.0, lastMouseY = 0.0;
};

// A timed use action (eating, drinking): which slot it uses and the world tick it began.
struct TimedUse {
    bool active = false;
    int32_t slot = 0;
    uint64_t startTick = 0;
};

// What the player's hands are doing, as the renderer reads it to pose the arm and the held item.
// The swing progress itself is PlayerState::swingPhase, eased by the main loop.
struct PlayerActions {
    int32_t chargeRemaining = 0;  // ticks of a charged attack still winding up
    int32_t chargeLength = 0;     // ticks
    bool chargeHeavy = false;
    bool combatSwing = false;
    float walkPhase = 0.0f;  // radians
    float walkSpeed = 0.0f;
    bool bowDrawing = false;
    uint64_t bowDrawStartTick = 0;
    float bowRelease = 0.0f;  // eases back to 0 after a shot
    bool blocking = false;
    float shieldRaise = 0.0f;  // 0..1
    int32_t blockTimer = 0;
    std::array<TimedUse, 2> uses{};
    bool gliderSpread = false;  // the glider drawn at full width
};

struct Inventory {
    std::array<InventorySlot, 9> hotbar{
        InventorySlot{1, 64, 0}, InventorySlot{2, 64, 0}, InventorySlot{3, 64, 0},
        InventorySlot{4, 64, 0}, InventorySlot{7, 64, 0}, InventorySlot{}, InventorySlot{},
        InventorySlot{}, InventorySlot{}};
    std::array<InventorySlot, 27> main{};
    InventorySlot cursor{};
    int32_t selected = 1;
    uint8_t heldBlock = 2;
};

struct WorldClock {
    static constexpr double kStep = 0.05;          // seconds per world step
    static constexpr double kAccumulatorCap = 0.25;  // at most five steps a frame
    static constexpr double kSlack = 1e-9;
    static constexpr int32_t kDayTicks = 48000;

    uint64_t tick = 0;
    int32_t timeOfDay = 13440;
    double accumulator = 0.0;
    uint32_t ticksThisFrame = 0;
    double lastFrameTime = 0.0;
};
