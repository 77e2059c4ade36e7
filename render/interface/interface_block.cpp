#include "render/interface/interface_block.h"

#include <algorithm>

namespace render {

namespace {

constexpr uint32_t kBowDrawTicks = 20;
constexpr int32_t kMaxArrowCount = 4095;
// Screens whose words at offsets 52, 56 and 60 keep their own meaning: the furnace and the chest.
constexpr int32_t kCraftingScreen = 9;
constexpr int32_t kFurnaceScreen = 10;
constexpr int32_t kChestScreen = 11;
constexpr std::size_t kHeadWord = 9;

void packSlots(InterfaceBlock& block, const std::array<InventorySlot, kInterfaceSlots>& slots) {
    for (std::size_t k = 0; k < kInterfaceSlots / 2; ++k)
        block.slots[k] = packSlot(slots[2 * k]) | packSlot(slots[2 * k + 1]) << 16;
}

void packCraftingWords(InterfaceBlock& block, const std::array<uint32_t, 14>& words) {
    for (std::size_t k = 0; k < words.size(); ++k)
        if (k < kHeadWord || k > kHeadWord + 2) block.slots[k] = words[k];
}

void packHeadSettings(InterfaceBlock& block, const HeadSettings& head) {
    block.slots[kHeadWord] = static_cast<uint32_t>(head.mouse);
    block.slots[kHeadWord + 1] = static_cast<uint32_t>(head.fieldOfView);
    block.slots[kHeadWord + 2] = static_cast<uint32_t>(head.dayCycle);
}

bool showsWorldLabels(int32_t screen) {
    return screen == 5 || screen == 6 || screen == 12;
}

void packMenuLabels(InterfaceBlock& block, const InterfaceInputs& in) {
    std::copy(in.labelGlyphs.begin(), in.labelGlyphs.end(), block.slots + kLabelGlyphWord);
    std::copy(in.labelCounts.begin(), in.labelCounts.end(), block.slots + kLabelCountWord);
}

uint32_t cursorStackWord(const InterfaceInputs& in) {
    if (!in.menuOpen && !in.inventoryOpen && in.bow) return *in.bow;
    return static_cast<uint32_t>(in.cursorStack.count) << 8 | in.cursorStack.id;
}

}  // namespace

uint32_t packSlot(const InventorySlot& slot) {
    return static_cast<uint32_t>(std::clamp(slot.count, 0, 64)) << 8 | slot.id;
}

uint32_t statusWord(int32_t health, uint32_t firstSkill, int32_t food, float useFraction) {
    const int64_t maximum = 20 + 2 * int64_t{firstSkill};
    // Rounded up, so that any health left shows as one bar; none below zero, and health above the
    // maximum stays a full bar instead of wrapping in the five bits.
    const auto bars = static_cast<uint32_t>(std::clamp<int64_t>((20 * int64_t{health} + maximum - 1) / maximum, 0, 31));
    const auto use = static_cast<uint32_t>(100.0f * std::clamp(useFraction, 0.0f, 1.0f));
    return bars | (static_cast<uint32_t>(food) & 31u) << 5 | use << 10;
}

float bowDrawFraction(bool drawing, uint64_t tick, uint64_t drawStartTick) {
    if (!drawing) return 0.0f;
    return std::min(static_cast<float>(tick - drawStartTick) / kBowDrawTicks, 1.0f);
}

uint32_t bowField(float drawFraction, int32_t arrowCount, uint8_t arrowId) {
    const auto percent = static_cast<uint32_t>(100.0f * drawFraction);
    const auto arrows = static_cast<uint32_t>(std::clamp(arrowCount, 0, kMaxArrowCount));
    return (1 + percent) << 20 | arrows << 8 | arrowId;
}

std::array<float, 2> framebufferCursor(double x, double y, int32_t windowWidth, int32_t windowHeight,
                                       int32_t framebufferWidth, int32_t framebufferHeight) {
    const double width = std::max(windowWidth, 1), height = std::max(windowHeight, 1);
    return {static_cast<float>(x * framebufferWidth / width), static_cast<float>(y * framebufferHeight / height)};
}

InterfaceBlock packInterfaceBlock(const InterfaceInputs& in) {
    InterfaceBlock block{};
    block.framebuffer[0] = in.framebuffer[0];
    block.framebuffer[1] = in.framebuffer[1];
    block.selectedSlot = in.selectedSlot;
    block.inventoryOpen = in.inventoryOpen ? 1 : 0;
    packSlots(block, in.slots);
    if (in.menuOpen && in.screen == kCraftingScreen) packCraftingWords(block, in.craftingWords);
    if (in.menuOpen && in.screen != kFurnaceScreen && in.screen != kChestScreen) packHeadSettings(block, in.head);
    // The world menus read their counts where the settings words lie, so the labels go last.
    if (in.menuOpen && showsWorldLabels(in.screen)) packMenuLabels(block, in);
    block.screen = in.hideInterface ? kHiddenInterface : in.screen;
    block.hovered = in.hovered;
    block.status = in.menuOpen ? in.menuValue : statusWord(in.health, in.firstSkill, in.food, in.useFraction);
    block.cursor[0] = in.cursor[0];
    block.cursor[1] = in.cursor[1];
    block.cursorStack = cursorStackWord(in);
    if (in.menuOpen && in.screen == kFurnaceScreen) {
        block.selectedSlot = in.furnaceWords[0];
        block.inventoryOpen = in.furnaceWords[1];
        block.status = in.furnaceWords[2];
    }
    return block;
}

}  // namespace render
