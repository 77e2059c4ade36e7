#pragma once
// Screens, text entry and the messages of the interface as the App holds them.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/container_view.h"
#include "ui/input_latch.h"
#include "ui/loading_window.h"
#include "ui/screen_slots.h"

struct WorldEntry {
    std::u32string name;
    uint32_t seed = 0;
    std::filesystem::path directory;
};

struct Toast {
    std::u32string text;
    double until = 0.0;  // GLFW seconds
};

// The new-world screen's two fields as typed; field 1 is the seed.
struct NewWorldForm {
    std::u32string name;
    std::u32string seed;
    uint32_t focusedField = 0;
    bool seedError = false;
};

struct UiState {
    static constexpr int32_t kPlaying = 0;
    static constexpr int32_t kMainMenu = 1;
    static constexpr int32_t kPause = 2;

    bool menuOpen = true;
    int32_t screen = kMainMenu;
    int32_t returnScreen = kMainMenu;
    bool inGameWindow = false;   // a window opened over play, such as a container
    bool textEntryActive = false;
    bool subDialog = false;      // of screen 18
    std::u32string textField;    // the field that screens 6 and 12 edit
    int32_t textViewLine = 0;    // scroll line of the active text view
    int32_t textViewLineCount = 0;
    std::vector<std::u32string> chatLines;
    int32_t chatIndex = -1;
    std::u32string chatEntry;      // the chat line being typed
    bool chatSkipChar = false;     // the letter key that opened the entry types nothing
    double chatShownUntil = 0.0;   // GLFW seconds: the newest lines stay in sight until then
    // Latches that keep a held key or button from acting again after a screen change.
    bool mouseLeftLatched = false;
    bool mouseRightLatched = false;
    bool keysLatched = false;
    // Presses the callbacks saw since the frame steps last took them.
    ui::PressLatch keyPresses;
    ui::PressLatch buttonPresses;
    double eventsPolledAt = 0.0;     // GLFW seconds: the events of the next poll came after this
    uint64_t framePressesAfter = 0;  // the presses of this frame's poll have higher order numbers
    double panelOpenedAt = 0.0;
    Toast toast;
    LoadingWindow loading;
    // World list.
    std::vector<WorldEntry> worlds;
    int32_t worldScroll = 0;
    int32_t selectedWorld = 0;
    NewWorldForm newWorld;
    bool inventoryOpen = false;
    ContainerView container;  // of screens 9..11
    // The slot code under the cursor as the open screen last saw it (ui::kNoSlot for none); the
    // inventory portrait brightens the armour piece of a hovered armour slot (40..43).
    uint32_t hoveredSlot = ui::kNoSlot;
};

namespace ui {

// UTF-8 to UTF-32 as the game's texts need it: two- and three-byte sequences decode, every other
// byte stands for itself. Never fails.
std::u32string utf8ToUtf32(const std::string& text);
std::string utf32ToUtf8(const std::u32string& text);

struct InventoryLayout {
    float panelWidth, panelHeight, panelLeft, panelTop;
    float leftColumnWidth, rightColumnWidth, headerHeight, footerHeight, slotSize;
};
InventoryLayout inventoryLayout(float width, float height);

// The screen Escape leads to from `screen` (the same screen when it stays), and whether it empties
// the text field first. Text entry and in-game windows are handled before this table.
struct EscapeStep {
    int32_t target;
    bool clearTextField;
    bool clearSubDialog;
};
EscapeStep escapeTarget(int32_t screen, int32_t returnScreen, bool subDialog);

// The hotbar slot (0..8) after the wheel moved the selection by steps, wrapping at both ends.
int32_t hotbarSlotAfter(int32_t selected, int32_t wheelSteps);

// The text view's scroll line after a wheel step while text entry is active.
int32_t scrolledTextLine(int32_t line, int32_t lineCount, double yOffset);

}  // namespace ui
