#pragma once
// The one application object: all game state, grouped by the subsystem that owns it, and most of
// the game's logic as member functions defined in that subsystem's folder.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/game_root.h"
#include "audio/mixer.h"
#include "content/content_state.h"
#include "game/player_state.h"
#include "models/vxm.h"
#include "net/session.h"
#include "render/buffers.h"
#include "render/device.h"
#include "save/settings.h"
#include "ui/ui_state.h"

struct GLFWwindow;

struct App {
    App();
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // --- Application core (app/) ---
    void startUp();
    void run();
    // Runs before the App is built in the modes that take an output folder: base, world and saves
    // move there and the chunk window shrinks.
    void useRenderTestBase(const std::filesystem::path& folder);
    std::vector<uint32_t> loadShaderCode(const std::string& fileName) const;
    void handleEscape(bool pressed);
    void runWorldSteps(double now);
    void updateSleepFade(double now);
    void easeHandTimers();

    // --- Window and device (render/) ---
    void createWindowAndDevice();
    void createFrameSync();
    uint32_t findMemoryType(uint32_t typeBits, VkMemoryPropertyFlags properties) const;
    void uploadBuffer(BufferSlot& slot, uint64_t bytes, VkBufferUsageFlags usage, const void* data);
    void uploadBufferData(BufferSlot& slot, uint64_t bytes, VkBufferUsageFlags usage, const void* data);
    void shutdown();

    // --- Content (content/) ---
    // Block and item resources with their stable numeric ids (start-up stage 2).
    void loadContentResources();
    // The rule and catalog loaders in their start-up order (stage 3).
    void loadContentRules();

    // --- Models (models/) ---
    void splitPlayerModel();

    // --- Gameplay (game/) ---
    void updatePlayer();
    void tickWorld();
    void updatePlayerChunk();
    bool useBlock(int32_t x, int32_t y, int32_t z);

    // --- Persistence (save/) ---
    void loadSettings();
    void saveSettings() const;
    void listWorlds();
    void loadWorld();
    void saveWorld();
    // The periodic save: the writers run in snapshot mode, so the background writer replaces the files.
    void autosave();

    // --- Interface (ui/) ---
    void throwIfLoadCancelled(LoadingWindow& window, int progress, const std::string& stage);
    void setScreen(int32_t screen);
    void closeScreen();
    void resetTextEntry();
    void handleScreenInput();
    void showToast(const std::u32string& text);
    void releaseHeldActions();
    // Keeps held buttons and keys from acting again after a screen change.
    void rearmInputLatches();
    void onKey(GLFWwindow* window, int key, int scanCode, int action, int modifiers);
    void onChar(GLFWwindow* window, unsigned int codePoint);
    void onScroll(GLFWwindow* window, double xOffset, double yOffset);

    // --- LAN (net/) ---
    void startSession(bool host, const std::string& address, uint16_t port, const std::string& roomCode);
    void updateNetwork();

    // State, in construction order (the destructor stops the workers in reverse).
    LanSession lan;
    GameFiles files;
    std::vector<VxmVertex> playerMesh;
    bool playerMeshSplit = false;
    GpuState gpu;
    PlayerState player;
    Inventory inventory;
    ContentState rules;
    WorldClock clock;
    std::string dimension = "core:overworld";
    std::string travelDimension = "core:overworld";
    int32_t chunkRadius = 6;
    int32_t lastUnloadRadius = 3;  // differs from the radius so the first streaming pass runs
    int32_t generationStage = 4;
    audio::Mixer mixer;
    VolumeSettings volumes;
    SettingsBlock settings;
    UiState ui;
    int32_t environmentProgressStart = 10;
    int32_t environmentProgressEnd = 50;
    // Sleep fade.
    double sleepStart = -1.0;
    bool woken = false;
    bool hasBed = false;
    int32_t bedX = 0, bedY = 0, bedZ = 0;
};
