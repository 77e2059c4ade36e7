#pragma once
// The interface block: the 112 bytes of push constants from which the interface shader draws the
// hotbar, the inventory, the menus and their panels in one full-screen pass.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "game/player_state.h"

namespace render {

struct InterfaceBlock {
    float framebuffer[2];
    uint32_t selectedSlot;
    uint32_t inventoryOpen;
    uint32_t slots[18];  // two inventory slots a word, slot 2k in the low half
    int32_t screen;
    uint32_t hovered;
    uint32_t status;
    float cursor[2];
    uint32_t cursorStack;
};
static_assert(sizeof(InterfaceBlock) == 112, "the push-constant range is 112 bytes");
static_assert(offsetof(InterfaceBlock, slots) == 16 && offsetof(InterfaceBlock, screen) == 88 &&
                  offsetof(InterfaceBlock, cursor) == 100 && offsetof(InterfaceBlock, cursorStack) == 108,
              "the interface shader reads every field at its offset");

// Screen values that are not screens: nothing drawn (a capture without interface), and the second
// pass that draws the stack under the cursor.
inline constexpr int32_t kHiddenInterface = -1;
inline constexpr int32_t kCursorStackPass = -142;
// The hovered value in play: the biome under the player, offset so that it is no slot.
inline constexpr uint32_t kBiomeHoverBase = 1000;
inline constexpr std::size_t kInterfaceSlots = 36;

// The head values of the settings file that menus show.
struct HeadSettings {
    int32_t mouse = 0;
    int32_t fieldOfView = 1;
    int32_t dayCycle = 1;
};

struct InterfaceInputs {
    std::array<float, 2> framebuffer{};
    int32_t screen = 0;
    bool menuOpen = false;
    bool inventoryOpen = false;
    bool hideInterface = false;  // a screenshot is pending and the render tests do not keep it
    uint32_t selectedSlot = 0;
    std::array<InventorySlot, kInterfaceSlots> slots{};  // hotbar 0..8, then the main inventory
    HeadSettings head;
    uint32_t hovered = 0;
    int32_t health = 20;
    uint32_t firstSkill = 0;
    int32_t food = 20;
    float useFraction = 0.0f;
    uint32_t menuValue = 0;
    std::array<float, 2> cursor{};
    InventorySlot cursorStack{};
    std::optional<uint32_t> bow;  // the bow field while a bow is held in play
    // The world menus' name and seed glyphs and their counts (screens 5, 6 and 12).
    std::array<uint32_t, 9> labelGlyphs{};
    std::array<uint32_t, 6> labelCounts{};
    // The furnace screen's input, fuel and output words, and the crafting screen's recipe words
    // (the settings words 9..11 among them are left to the settings).
    std::array<uint32_t, 3> furnaceWords{};
    std::array<uint32_t, 14> craftingWords{};
};

// Slot words of the world menu labels: glyphs from word 0, counts from word 9 (over the settings
// words, which those screens do not show).
inline constexpr std::size_t kLabelGlyphWord = 0;
inline constexpr std::size_t kLabelCountWord = 9;

// (count clamped to 0..64) << 8 | id.
uint32_t packSlot(const InventorySlot& slot);
// Bits 0..4 health in twentieths of the maximum 20 + 2 x the first skill (rounded up), bits 5..9
// the food level, bits 10 and up the use progress in percent.
uint32_t statusWord(int32_t health, uint32_t firstSkill, int32_t food, float useFraction);
// min(ticks drawn / 20, 1) while drawing, else 0.
float bowDrawFraction(bool drawing, uint64_t tick, uint64_t drawStartTick);
// (1 + draw percent) << 20 | min(arrows, 4095) << 8 | arrow id.
uint32_t bowField(float drawFraction, int32_t arrowCount, uint8_t arrowId);
// The cursor in framebuffer pixels; a window size below 1 counts as 1.
std::array<float, 2> framebufferCursor(double x, double y, int32_t windowWidth, int32_t windowHeight,
                                       int32_t framebufferWidth, int32_t framebufferHeight);

InterfaceBlock packInterfaceBlock(const InterfaceInputs& in);

}  // namespace render
