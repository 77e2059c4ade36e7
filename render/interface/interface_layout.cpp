#include "render/interface/interface_layout.h"

#include <algorithm>
#include <cmath>

#include "ui/lan_screens.h"
#include "ui/map_panel.h"
#include "ui/menu_buttons.h"
#include "ui/panel_words.h"
#include "ui/screen_texts.h"
#include "ui/screen_slots.h"

namespace render {

namespace {

// Screens.
constexpr int32_t kCursorStackScreen = -142;
constexpr int32_t kPlayScreen = 0;
constexpr int32_t kMainMenuScreen = 1;
constexpr int32_t kPauseScreen = 2;
constexpr int32_t kWorldListScreen = 5;
constexpr int32_t kNewWorldScreen = 6;
constexpr int32_t kSecondValuesScreen = 8;
constexpr int32_t kCraftingScreen = 9;
constexpr int32_t kFurnaceScreen = 10;
constexpr int32_t kChestScreen = 11;
constexpr int32_t kDeleteWorldScreen = 12;

// Interface atlas.
constexpr uint32_t kPanelWindow = 0, kPanelTitle = 1, kPanelSlot = 2, kPanelSlotHover = 3, kPanelSlotSelected = 4,
                   kPanelTooltip = 5, kPanelButton = 6, kPanelButtonHover = 7;
constexpr float kMenuBackground[4] = {0.0f, 384.0f, 1920.0f, 1080.0f};
constexpr float kPreviewOrigin[2] = {0.0f, 1528.0f};
constexpr float kPreviewSize[2] = {320.0f, 180.0f};
constexpr float kSelectedPreview[4] = {960.0f, 1528.0f, 640.0f, 360.0f};

// The shader compiler folds 7.0 / 9.0 in double precision.
const float kGlyphAspect = static_cast<float>(7.0 / 9.0);

// Content meta words.
constexpr uint32_t kBlockNames = 0, kBiomeLabels = 2436, kGroup1 = 2900, kGroup2 = 3120, kGroup3 = 8096;
constexpr uint32_t kLabelWords = 8;
constexpr uint32_t kTextLines = 49424, kTextLineWords = 16, kTextLinesShown = 12;
constexpr uint32_t kLabelArmour = 5, kLabelInventory = 0, kLabelHotbar = 1, kLabelHintTake = 2,
                   kLabelCreateWorld = 12, kLabelDeleteWorld = 15, kLabelWorldDeleted = 17,
                   kLabelCopyInBackups = 18, kLabelSeed = 19,
                   kLabelGameTitle = 20, kLabelChooseWorld = 21, kLabelEscClose = 5, kLabelNoWorlds = 2;

struct Vec2 {
    float x, y;
};
Vec2 operator+(Vec2 p, Vec2 q) { return {p.x + q.x, p.y + q.y}; }
Vec2 operator-(Vec2 p, Vec2 q) { return {p.x - q.x, p.y - q.y}; }
Vec2 operator*(Vec2 p, float s) { return {p.x * s, p.y * s}; }
Vec2 operator*(Vec2 p, Vec2 q) { return {p.x * q.x, p.y * q.y}; }

struct Rect {
    float x, y, w, h;
    Vec2 xy() const { return {x, y}; }
    Vec2 zw() const { return {w, h}; }
};
Rect rectOf(Vec2 at, Vec2 size) { return {at.x, at.y, size.x, size.y}; }

struct Colour {
    float r, g, b;
};
constexpr Colour kWhite{1.0f, 1.0f, 1.0f};
constexpr Colour kPale{0.93f, 0.89f, 0.8f};
constexpr Colour kBlack{0.0f, 0.0f, 0.0f};

// The layout of one frame: the interface block, the meta words and the list being built.
struct Builder {
    const InterfaceBlock& ui;
    std::span<const uint32_t> meta;
    Vec2 size;
    float unit;
    std::vector<InterfaceElement> out;

    uint32_t word(uint32_t index) const { return index < meta.size() ? meta[index] : 0u; }
    uint32_t labelCount(uint32_t record) const { return std::min(word(record), 28u); }
    uint32_t slotValue(uint32_t slot) const { return (ui.slots[slot / 2u] >> (16u * (slot % 2u))) & 65535u; }
    uint32_t menuCount(uint32_t k) const { return ui.slots[9u + k]; }
    bool cursorIn(const Rect& r) const {
        const float cx = ui.cursor[0], cy = ui.cursor[1];
        return cx >= r.x && cy >= r.y && cx < r.x + r.w && cy < r.y + r.h;
    }

    void add(ElementKind kind, const Rect& r, const float (&a)[4], const uint32_t (&b)[4]) {
        InterfaceElement e;
        e.kind = kind;
        e.rect[0] = r.x, e.rect[1] = r.y, e.rect[2] = r.w, e.rect[3] = r.h;
        std::copy(a, a + 4, e.a);
        std::copy(b, b + 4, e.b);
        out.push_back(e);
    }
    void shade(const Rect& r, Colour c, float alpha) { add(ElementKind::Fill, r, {c.r, c.g, c.b, alpha}, {}); }
    void dim(Colour c, float alpha) { shade({0.0f, 0.0f, size.x, size.y}, c, alpha); }
    void panel(uint32_t index, const Rect& r, float border) {
        add(ElementKind::Panel, r, {static_cast<float>(index), border, 0.0f, 0.0f}, {});
    }
    void picture(const float (&source)[4], const Rect& r) { add(ElementKind::Picture, r, source, {}); }
    void itemIcon(uint32_t id, const Rect& r) {
        if (id != 0u) add(ElementKind::Icon, r, {}, {id, 0u, 0u, 0u});
    }
    static float glyphWidth(float height) { return height * kGlyphAspect; }
    static float shadowStep(float height) { return std::max(1.0f, std::floor(height / 14.0f)); }
    void text(TextSource source, uint32_t first, uint32_t count, uint32_t value, Vec2 origin, float height,
              Colour c) {
        Rect r{origin.x, origin.y, static_cast<float>(count) * glyphWidth(height), height};
        const float step = shadowStep(height);
        r.w += step;
        r.h += step;
        add(ElementKind::Text, r, {c.r, c.g, c.b, height}, {static_cast<uint32_t>(source), first, count, value});
    }
    float labelWidth(uint32_t record, float height) const {
        return static_cast<float>(labelCount(record)) * glyphWidth(height);
    }
    void label(uint32_t record, Vec2 origin, float height, Colour c) {
        text(TextSource::Meta, record + 1u, labelCount(record), 0u, origin, height, c);
    }
    void labelCentred(uint32_t record, Vec2 centreTop, float height, Colour c) {
        label(record, centreTop - Vec2{labelWidth(record, height) * 0.5f, 0.0f}, height, c);
    }
    void menuText(uint32_t first, uint32_t count, Vec2 origin, float height, Colour c) {
        text(TextSource::Menu, first, count, 0u, origin, height, c);
    }
    static uint32_t digitCount(uint32_t value) {
        uint32_t n = 1u;
        for (uint32_t v = value; v >= 10u; v /= 10u) ++n;
        return n;
    }
    void numberRight(uint32_t value, Vec2 rightBottom, float height, Colour c) {
        const uint32_t n = digitCount(value);
        const Vec2 origin = rightBottom - Vec2{static_cast<float>(n) * glyphWidth(height), height};
        text(TextSource::Number, 0u, n, value, origin, height, c);
    }

    static Rect centredRect(Vec2 centre, Vec2 extent) { return rectOf(centre - extent * 0.5f, extent); }

    void itemSlot(const Rect& r, uint32_t value, uint32_t frame) {
        panel(frame, r, r.h * 0.12f);
        const float inset = r.h * 0.14f;
        itemIcon(value & 255u, rectOf(r.xy() + Vec2{inset, inset}, r.zw() - Vec2{2.0f * inset, 2.0f * inset}));
        const uint32_t count = value >> 8;
        if ((value & 255u) != 0u && count > 1u) {
            const float corner = r.h * 0.08f;
            numberRight(count, r.xy() + r.zw() - Vec2{corner, corner}, r.h * 0.36f, kWhite);
        }
    }
    void button(const Rect& r, uint32_t record) {
        const bool hover = cursorIn(r);
        panel(hover ? kPanelButtonHover : kPanelButton, r, 8.0f * unit);
        const float h = r.h * 0.5f;
        labelCentred(record, {r.x + r.w * 0.5f, r.y + (r.h - h) * 0.5f}, h, hover ? kWhite : kPale);
    }
    void bar(const Rect& r, float fraction, Colour c) {
        shade(r, {0.05f, 0.05f, 0.05f}, 0.55f);
        const Rect fill{r.x + unit, r.y + unit, (r.w - 2.0f * unit) * std::clamp(fraction, 0.0f, 1.0f),
                        r.h - 2.0f * unit};
        shade(fill, c, 0.95f);
    }
    void menuBackground(float darken) {
        const float scale = std::max(size.x / kMenuBackground[2], size.y / kMenuBackground[3]);
        const Vec2 shown = Vec2{kMenuBackground[2], kMenuBackground[3]} * scale;
        picture(kMenuBackground, rectOf((size - shown) * 0.5f, shown));
        dim(kBlack, darken);
    }
};

uint32_t group1(uint32_t k) { return kGroup1 + kLabelWords * k; }
uint32_t group2(uint32_t k) { return kGroup2 + kLabelWords * k; }
uint32_t group3(uint32_t k) { return kGroup3 + kLabelWords * k; }

void crosshair(Builder& l) {
    const Vec2 centre{std::floor(l.size.x * 0.5f) + 0.5f, std::floor(l.size.y * 0.5f) + 0.5f};
    const float arm = 9.0f * l.unit, thick = std::max(1.0f, l.unit);
    l.shade(Builder::centredRect(centre, {2.0f * arm + 3.0f, 2.0f * thick + 3.0f}), kBlack, 0.5f);
    l.shade(Builder::centredRect(centre, {2.0f * thick + 3.0f, 2.0f * arm + 3.0f}), kBlack, 0.5f);
    l.shade(Builder::centredRect(centre, {2.0f * arm + 1.0f, 2.0f * thick + 1.0f}), kWhite, 0.9f);
    l.shade(Builder::centredRect(centre, {2.0f * thick + 1.0f, 2.0f * arm + 1.0f}), kWhite, 0.9f);
}

void hotbarBow(Builder& l, Vec2 origin, float s) {
    const uint32_t arrows = l.ui.cursorStack & 1048575u;
    const uint32_t count = arrows >> 8;
    const Rect quiver{origin.x + 9.0f * s + 8.0f * l.unit, origin.y, s, s};
    l.itemSlot(quiver, std::min(count, 64u) << 8 | (arrows & 255u), kPanelSlot);
    // More arrows than a stack shows: the whole count above the slot.
    if (count > 64u) l.numberRight(count, quiver.xy() + Vec2{s, -2.0f}, 14.0f * l.unit, kWhite);
}

void hotbar(Builder& l) {
    const float s = 44.0f * l.unit;
    const Vec2 origin{(l.size.x - 9.0f * s) * 0.5f, l.size.y - s - 10.0f * l.unit};
    const uint32_t health = l.ui.status & 31u, food = (l.ui.status >> 5) & 31u;
    const float barY = origin.y - 12.0f * l.unit;
    l.bar({origin.x, barY, 4.4f * s, 8.0f * l.unit}, static_cast<float>(health) / 20.0f, {0.86f, 0.16f, 0.13f});
    l.bar({origin.x + 4.6f * s, barY, 4.4f * s, 8.0f * l.unit}, static_cast<float>(food) / 20.0f,
          {0.87f, 0.56f, 0.16f});
    const uint32_t selected = std::min(l.ui.selectedSlot, 8u);
    const uint32_t selectedId = l.slotValue(selected) & 255u;
    if (selectedId != 0u)
        l.labelCentred(kBlockNames + kLabelWords * selectedId, {l.size.x * 0.5f, barY - 26.0f * l.unit},
                       20.0f * l.unit, kWhite);
    for (uint32_t k = 0; k < 9u; ++k)
        l.itemSlot({origin.x + static_cast<float>(k) * s, origin.y, s, s}, l.slotValue(k),
                   k == selected ? kPanelSlotSelected : kPanelSlot);
    const uint32_t bow = l.ui.cursorStack >> 20;
    if (bow != 0u) hotbarBow(l, origin, s);
    // The progress of using an item or drawing the bow, under the crosshair.
    const float progress = bow != 0u ? static_cast<float>(bow - 1u) / 100.0f
                                     : static_cast<float>(l.ui.status >> 10) / 100.0f;
    const Rect gauge = Builder::centredRect(l.size * 0.5f + Vec2{0.0f, 18.0f * l.unit}, Vec2{44.0f, 5.0f} * l.unit);
    if (progress > 0.0f) l.bar(gauge, progress, kWhite);
}

void biomeName(Builder& l) {
    if (l.ui.hovered < 1000u || l.ui.hovered >= 1032u) return;
    const uint32_t record = kBiomeLabels + kLabelWords * (l.ui.hovered - 1000u);
    l.labelCentred(record, {l.size.x * 0.5f, 12.0f * l.unit}, 22.0f * l.unit, kPale);
}

struct InventoryGeometry {
    Rect panel;
    float left, right, header, footer, slot;
};

InventoryGeometry inventoryGeometry(const Builder& l) {
    InventoryGeometry g;
    const float p = std::min(std::min(1640.0f, l.size.x * 0.96f), l.size.y * 0.9f * 1600.0f / 900.0f);
    const float h = p * 900.0f / 1600.0f;
    g.panel = {(l.size.x - p) * 0.5f, (l.size.y - h) * 0.5f, p, h};
    g.left = p * 0.302f;
    g.right = p * 0.238f;
    g.header = h * 0.1f;
    g.footer = h * 0.11f;
    g.slot = std::min((p - g.left - g.right - 30.0f) / 9.0f, 82.0f);
    return g;
}

// An inventory slot (0..35) from the interface block, a worn armour piece (40..43) from the overlay.
uint32_t inventorySlotValue(const Builder& l, uint32_t slot) {
    if (slot < 36u) return l.slotValue(slot);
    if (slot >= ui::kArmourSlotBase && slot < ui::kArmourSlotBase + ui::kPanelArmourWords)
        return l.word(ui::kPanelArmourWord + slot - ui::kArmourSlotBase) & 65535u;
    return 0u;
}

void slotRow(Builder& l, Vec2 origin, float s, uint32_t columns, uint32_t first) {
    for (uint32_t k = 0; k < columns; ++k) {
        const uint32_t slot = first + k;
        uint32_t frame = slot == l.ui.hovered ? kPanelSlotHover : kPanelSlot;
        if (slot < 9u && slot == l.ui.selectedSlot && frame == kPanelSlot) frame = kPanelSlotSelected;
        l.itemSlot({origin.x + static_cast<float>(k) * s, origin.y, s, s}, inventorySlotValue(l, slot), frame);
    }
}

void tooltip(Builder& l, uint32_t slot, float height) {
    const uint32_t id = inventorySlotValue(l, slot) & 255u;
    if (id == 0u) return;
    const uint32_t record = kBlockNames + kLabelWords * id;
    const Vec2 at = Vec2{l.ui.cursor[0], l.ui.cursor[1]} + Vec2{14.0f, 14.0f} * l.unit;
    Rect box{at.x, at.y, l.labelWidth(record, height) + 16.0f * l.unit, height + 12.0f * l.unit};
    // A long name near the right edge goes to the cursor's left rather than off the screen.
    if (box.x + box.w > l.size.x) box.x = std::max(0.0f, l.ui.cursor[0] - 14.0f * l.unit - box.w);
    l.panel(kPanelTooltip, box, 6.0f * l.unit);
    l.label(record, box.xy() + Vec2{8.0f, 6.0f} * l.unit, height, kWhite);
}

void inventory(Builder& l) {
    const InventoryGeometry g = inventoryGeometry(l);
    const Rect& p = g.panel;
    const float s = g.slot;
    l.dim(kBlack, 0.35f);
    l.panel(kPanelWindow, p, 14.0f * l.unit);
    const Vec2 heading = p.xy() + Vec2{p.w * 0.03f, g.header * 0.28f};
    l.label(group2(kLabelInventory), heading, g.header * 0.5f, kPale);
    // Armour down the left edge, beside the portrait.
    const Vec2 armour = p.xy() + Vec2{s * 0.1f, g.header + 32.0f};
    l.label(group1(kLabelArmour), armour - Vec2{0.0f, s * 0.45f}, s * 0.36f, kPale);
    for (uint32_t k = 0; k < 4u; ++k) slotRow(l, armour + Vec2{0.0f, static_cast<float>(k) * s}, s, 1u, 40u + k);
    const float middle = p.w - g.left - g.right;
    const Vec2 grid{p.x + g.left + (middle - 9.0f * s) * 0.5f, p.y + g.header + s * 0.35f};
    for (uint32_t r = 0; r < 3u; ++r) slotRow(l, grid + Vec2{0.0f, static_cast<float>(r) * s}, s, 9u, 9u + 9u * r);
    const Vec2 bottom{grid.x, p.y + p.h - g.footer - s * 1.2f};
    l.label(group2(kLabelHotbar), bottom - Vec2{0.0f, s * 0.5f}, s * 0.36f, kPale);
    slotRow(l, bottom, s, 9u, 0u);
    const float hintHeight = g.footer * 0.26f;
    for (uint32_t k = 0; k < 4u; ++k) {
        const Vec2 at{p.x + p.w * (0.03f + 0.24f * static_cast<float>(k)), p.y + p.h - g.footer * 0.66f};
        l.label(group2(kLabelHintTake + k), at, hintHeight, {0.78f, 0.74f, 0.66f});
    }
    tooltip(l, l.ui.hovered, s * 0.34f);
}

void cursorStack(Builder& l) {
    const float s = inventoryGeometry(l).slot;
    const uint32_t value = l.ui.cursorStack & 65535u;
    const Rect r = Builder::centredRect({l.ui.cursor[0], l.ui.cursor[1]}, {s * 0.8f, s * 0.8f});
    l.itemIcon(value & 255u, r);
    if ((value >> 8) > 1u) l.numberRight(value >> 8, r.xy() + r.zw(), s * 0.32f, kWhite);
}

Rect slotRect(const ui::SlotRect& r) { return {r.x, r.y, r.w, r.h}; }

uint32_t menuLabelRecord(const ui::MenuLabel& label) {
    // A text line starts like a label record: its count, then its glyphs.
    if (label.group == ui::kTextLineLabels) return kTextLines + kTextLineWords * label.record;
    if (label.group == 1u) return group1(label.record);
    return label.group == 2u ? group2(label.record) : group3(label.record);
}

// The screen's buttons, from the same rectangles the mouse is tested against.
void screenButtons(Builder& l, int32_t screen) {
    for (const ui::MenuButton& b : ui::menuButtons(screen, l.size.x, l.size.y))
        l.button(slotRect(b.rect), menuLabelRecord(b.label));
}

void mainMenu(Builder& l) {
    l.menuBackground(0.1f);
    const uint32_t title = group2(kLabelGameTitle);
    const float h = 60.0f * l.unit;
    const Vec2 top{l.size.x * 0.5f, l.size.y * 0.15f};
    const Vec2 plate{l.labelWidth(title, h) + 80.0f * l.unit, h + 40.0f * l.unit};
    l.panel(kPanelTitle, Builder::centredRect(top + Vec2{0.0f, h * 0.5f}, plate), 12.0f * l.unit);
    l.labelCentred(title, top, h, kWhite);
    screenButtons(l, kMainMenuScreen);
}

void pauseMenu(Builder& l) {
    l.dim(kBlack, 0.45f);
    const Rect window = slotRect(ui::pauseWindowRect(l.size.x, l.size.y));
    l.panel(kPanelWindow, window, 14.0f * l.unit);
    screenButtons(l, kPauseScreen);
    l.labelCentred(group2(kLabelEscClose), {window.x + window.w * 0.5f, window.y + 210.0f * l.unit}, 20.0f * l.unit,
                   kPale);
}

void worldTitle(Builder& l, uint32_t record) {
    l.labelCentred(group2(record), {l.size.x * 0.5f, 40.0f * l.unit}, 44.0f * l.unit, kWhite);
}

void worldPreviews(Builder& l, uint32_t worlds) {
    // Three rows of thumbnails on the left, the chosen world large on the right.
    const std::vector<ui::SlotRect> rows = ui::worldRowRects(l.size.x, l.size.y);
    for (uint32_t k = 0; k < std::min(worlds, 3u); ++k) {
        const Rect row = slotRect(rows[k]);
        const float pad = 6.0f * l.unit, grow = 12.0f * l.unit;
        l.panel(kPanelTooltip, {row.x - pad, row.y - pad, row.w + grow, row.h + grow}, 6.0f * l.unit);
        const float source[4] = {kPreviewOrigin[0] + kPreviewSize[0] * static_cast<float>(k), kPreviewOrigin[1] + 0.0f,
                                 kPreviewSize[0], kPreviewSize[1]};
        l.picture(source, row);
    }
    const Vec2 bigSize = Vec2{640.0f, 360.0f} * l.unit * 1.1f;
    const Rect big{l.size.x * 0.5f - 240.0f * l.unit, 120.0f * l.unit, bigSize.x, bigSize.y};
    const float pad = 6.0f * l.unit, grow = 12.0f * l.unit;
    l.panel(kPanelTooltip, {big.x - pad, big.y - pad, big.w + grow, big.h + grow}, 6.0f * l.unit);
    l.picture(kSelectedPreview, big);
    const float h = 30.0f * l.unit;
    const Vec2 text{big.x, big.y + big.h + 18.0f * l.unit};
    l.menuText(0u, 24u, text, h, kWhite);
    const uint32_t seed = group2(kLabelSeed);
    l.label(seed, text + Vec2{0.0f, h + 10.0f * l.unit}, h * 0.8f, kPale);
    const Vec2 digits = text + Vec2{l.labelWidth(seed, h * 0.8f) + Builder::glyphWidth(h), h + 10.0f * l.unit};
    l.menuText(24u, 10u, digits, h * 0.8f, kPale);
}

void centredLine(Builder& l, uint32_t line, float top, float height, Colour c, bool backed);

// Why the list is empty when its worlds were left out; false when none was.
bool worldNotice(Builder& l) {
    if (l.word(kTextLines + kTextLineWords * ui::kWorldNoticeTextLine) == 0u) return false;
    for (uint32_t row = 0; row < ui::kWorldNoticeRows; ++row)
        centredLine(l, ui::kWorldNoticeTextLine + row, ui::worldNoticeTop(row, l.size.x, l.size.y),
                    ui::kWorldNoticeTextHeight * l.unit, row == 0u ? kWhite : kPale, false);
    return true;
}

void worldList(Builder& l) {
    l.menuBackground(0.45f);
    worldTitle(l, kLabelChooseWorld);
    const uint32_t worlds = l.menuCount(4u);
    if (worlds != 0u)
        worldPreviews(l, worlds);
    else if (!worldNotice(l))
        l.labelCentred(group3(kLabelNoWorlds), l.size * 0.5f - Vec2{0.0f, 16.0f * l.unit}, 32.0f * l.unit, kPale);
    screenButtons(l, kWorldListScreen);
}

void textField(Builder& l, const Rect& r, bool focused, bool wrong) {
    l.panel(focused ? kPanelSlotHover : kPanelSlot, r, 8.0f * l.unit);
    if (wrong) l.shade(r, {0.8f, 0.1f, 0.08f}, 0.3f);
}

void newWorld(Builder& l) {
    l.menuBackground(0.45f);
    worldTitle(l, kLabelCreateWorld);
    // 24 characters of name fit the field with the margin of its left side.
    const float h = 28.0f * l.unit;
    const bool seedFocused = l.menuCount(2u) == 1u;
    const Rect name = slotRect(ui::newWorldFieldRect(0u, l.size.x, l.size.y));
    l.label(menuLabelRecord(ui::kWorldNameLabel), name.xy() - Vec2{0.0f, 30.0f * l.unit}, 24.0f * l.unit, kPale);
    textField(l, name, !seedFocused, false);
    l.menuText(0u, 24u, name.xy() + Vec2{16.0f * l.unit, (name.h - h) * 0.5f}, h, kWhite);
    const Rect seed = slotRect(ui::newWorldFieldRect(1u, l.size.x, l.size.y));
    l.label(group2(kLabelSeed), seed.xy() - Vec2{0.0f, 30.0f * l.unit}, 24.0f * l.unit, kPale);
    textField(l, seed, seedFocused, l.menuCount(3u) != 0u);
    l.menuText(24u, 10u, seed.xy() + Vec2{16.0f * l.unit, (seed.h - h) * 0.5f}, h, kWhite);
    screenButtons(l, kNewWorldScreen);
}

void deleteWorld(Builder& l) {
    l.menuBackground(0.6f);
    const Rect window = Builder::centredRect(l.size * 0.5f, Vec2{640.0f, 360.0f} * l.unit);
    l.panel(kPanelWindow, window, 14.0f * l.unit);
    const float x = l.size.x * 0.5f;
    const float top = window.y;
    l.labelCentred(group2(kLabelDeleteWorld), {x, top + 28.0f * l.unit}, 36.0f * l.unit, kWhite);
    const float h = 28.0f * l.unit;
    const uint32_t name = std::min(l.menuCount(0u), 24u);
    if (name != 0u)
        l.menuText(0u, name, {x - 0.5f * static_cast<float>(name) * Builder::glyphWidth(h), window.y + 90.0f * l.unit},
                   h, {1.0f, 0.85f, 0.55f});
    l.labelCentred(group2(kLabelWorldDeleted), {x, top + 150.0f * l.unit}, 24.0f * l.unit, kPale);
    l.labelCentred(group2(kLabelCopyInBackups), {x, top + 186.0f * l.unit}, 24.0f * l.unit, kPale);
    screenButtons(l, kDeleteWorldScreen);
}

// Screens drawn elsewhere in full get a dimmed world and an empty window.
void otherScreen(Builder& l) {
    l.dim(kBlack, 0.4f);
    l.panel(kPanelWindow, Builder::centredRect(l.size * 0.5f, l.size * Vec2{0.6f, 0.6f}), 14.0f * l.unit);
}

// Numbered text lines of the overlay (the chat), down the top left corner, each on a dark band so
// that it reads over a bright sky. An empty line covers no pixel.
void textLines(Builder& l) {
    const float h = 18.0f * l.unit;
    const float pitch = h + 4.0f * l.unit;
    for (uint32_t row = 0; row < kTextLinesShown; ++row) {
        const uint32_t word = kTextLines + kTextLineWords * row;
        const uint32_t count = std::min(l.word(word), 60u);
        if (count == 0) continue;
        const Vec2 origin{8.0f * l.unit, 8.0f * l.unit + static_cast<float>(row) * pitch};
        const float width = static_cast<float>(count) * Builder::glyphWidth(h);
        l.shade(rectOf(origin - Vec2{4.0f, 2.0f} * l.unit, Vec2{width, h} + Vec2{8.0f, 4.0f} * l.unit), kBlack, 0.45f);
        l.text(TextSource::Meta, word + 1u, count, 0u, origin, h, kWhite);
    }
}

// A text line of the overlay, centred at the top; nothing when the line is empty.
void centredLine(Builder& l, uint32_t line, float top, float height, Colour c, bool backed) {
    const uint32_t word = kTextLines + kTextLineWords * line;
    const uint32_t count = std::min(l.word(word), 60u);
    if (count == 0) return;
    const float width = static_cast<float>(count) * Builder::glyphWidth(height);
    const Vec2 origin{(l.size.x - width) * 0.5f, top};
    if (backed)
        l.panel(kPanelTooltip, rectOf(origin - Vec2{12.0f, 8.0f} * l.unit, Vec2{width, height} + Vec2{24.0f, 16.0f} * l.unit),
                6.0f * l.unit);
    l.text(TextSource::Meta, word + 1u, count, 0u, origin, height, c);
}

uint32_t slotFrame(const Builder& l, uint32_t code) { return code == l.ui.hovered ? kPanelSlotHover : kPanelSlot; }

// The window behind a container screen, with its title and hint lines.
void containerWindow(Builder& l) {
    const InventoryGeometry g = inventoryGeometry(l);
    l.dim(kBlack, 0.35f);
    l.panel(kPanelWindow, g.panel, 14.0f * l.unit);
    centredLine(l, ui::kTitleTextLine, g.panel.y + g.header * 0.28f, g.header * 0.5f, kPale, false);
    centredLine(l, ui::kTitleTextLine + 1u, g.panel.y + g.panel.h - g.footer * 0.66f, g.footer * 0.26f,
                {0.78f, 0.74f, 0.66f}, false);
}

void furnaceScreen(Builder& l) {
    containerWindow(l);
    const uint32_t words[3] = {l.ui.selectedSlot, l.ui.inventoryOpen, l.ui.status};
    for (const ui::ScreenSlot& slot : ui::screenSlots(kFurnaceScreen, l.size.x, l.size.y)) {
        const bool own = slot.code >= ui::kFurnaceSlotBase;
        const uint32_t value = own ? words[slot.code - ui::kFurnaceSlotBase] & 65535u : l.slotValue(slot.code);
        l.itemSlot(slotRect(slot.rect), value, slotFrame(l, slot.code));
        if (slot.code == ui::kFurnaceSlotBase) {
            // Smelting progress towards the output, the fuel's burn left between input and fuel.
            const Rect r = slotRect(slot.rect);
            l.bar({r.x + r.w * 1.15f, r.y + r.h * 1.35f, r.w * 0.7f, r.h * 0.3f},
                  static_cast<float>(words[0] >> 16) / 200.0f, kWhite);
            l.bar({r.x + r.w * 0.3f, r.y + r.h * 1.1f, r.w * 0.4f, r.h * 0.8f},
                  static_cast<float>(words[1] >> 16) / 200.0f, {0.95f, 0.55f, 0.12f});
        }
    }
}

void chestScreen(Builder& l) {
    containerWindow(l);
    for (const ui::ScreenSlot& slot : ui::screenSlots(kChestScreen, l.size.x, l.size.y)) {
        const uint32_t value = slot.code >= ui::kChestSlotBase
                                   ? l.word(ui::kPanelChestWord + slot.code - ui::kChestSlotBase) & 65535u
                                   : l.slotValue(slot.code);
        l.itemSlot(slotRect(slot.rect), value, slotFrame(l, slot.code));
    }
}

void recipeRow(Builder& l, const ui::ScreenSlot& slot) {
    const uint32_t row = slot.code - ui::kRecipeRowBase;
    if (row >= std::min(l.word(ui::kPanelListCountWord), ui::kRecipeRowsShown)) return;
    const Rect r = slotRect(slot.rect);
    const bool chosen = row == l.word(ui::kPanelListSelectedWord);
    l.panel(chosen ? kPanelSlotSelected : slotFrame(l, slot.code), r, r.h * 0.12f);
    const uint32_t id = l.word(ui::kPanelListIdsWord + row) & 255u;
    l.itemIcon(id, rectOf(r.xy() + Vec2{r.h * 0.1f, r.h * 0.1f}, Vec2{r.h * 0.8f, r.h * 0.8f}));
    l.label(kBlockNames + kLabelWords * id, r.xy() + Vec2{r.h * 1.1f, r.h * 0.3f}, r.h * 0.4f, chosen ? kWhite : kPale);
}

void ingredientCell(Builder& l, const ui::ScreenSlot& slot) {
    const uint32_t k = slot.code - ui::kIngredientCellBase;
    if (k >= std::min(l.ui.slots[ui::kCraftIngredientCountWord], 6u)) return;
    const uint32_t id = (l.ui.slots[ui::kCraftIngredientIdsWord + k / 4u] >> (8u * (k % 4u))) & 255u;
    const uint32_t need = l.ui.slots[k] & 65535u, held = l.ui.slots[k] >> 16;
    const Rect r = slotRect(slot.rect);
    l.itemSlot(r, std::min(need, 255u) << 8 | id, slotFrame(l, slot.code));
    // Short of this ingredient: the cell turns red.
    if (held < need) l.shade(r, {0.8f, 0.1f, 0.08f}, 0.3f);
}

void craftingScreen(Builder& l) {
    containerWindow(l);
    for (const ui::ScreenSlot& slot : ui::screenSlots(kCraftingScreen, l.size.x, l.size.y)) {
        if (slot.code >= ui::kRecipeRowBase) {
            recipeRow(l, slot);
        } else if (slot.code == ui::kResultCell) {
            const Rect r = slotRect(slot.rect);
            l.itemSlot(r, l.ui.slots[ui::kCraftResultWord] & 65535u, slotFrame(l, slot.code));
            if (l.ui.slots[ui::kCraftValueWord] == 0u) l.shade(r, kBlack, 0.45f);
        } else {
            ingredientCell(l, slot);
        }
    }
}

// --- LAN and character screens: the connection form, death, character and skills, the NPC window,
// the journal, territories and the pause screen's player list. Their texts are overlay lines and
// their state a slot of raw words, both written by the App each frame (ui/lan_screens.h).

Rect rectOf(const ui::ScreenRect& r) { return {r.x, r.y, r.w, r.h}; }

uint32_t screenState(const Builder& l, uint32_t k) { return l.word(kTextLines + kTextLineWords * ui::kScreenStateLine + k); }

uint32_t screenLineWord(uint32_t line) { return kTextLines + kTextLineWords * (ui::kScreenFirstLine + line); }

uint32_t screenLineCount(const Builder& l, uint32_t line) { return std::min(l.word(screenLineWord(line)), 60u); }

void screenLine(Builder& l, uint32_t line, Vec2 origin, float height, Colour c) {
    const uint32_t count = screenLineCount(l, line);
    if (count != 0) l.text(TextSource::Meta, screenLineWord(line) + 1u, count, 0u, origin, height, c);
}

void screenLineCentred(Builder& l, uint32_t line, Vec2 centreTop, float height, Colour c) {
    const float width = static_cast<float>(screenLineCount(l, line)) * Builder::glyphWidth(height);
    screenLine(l, line, centreTop - Vec2{width * 0.5f, 0.0f}, height, c);
}

constexpr Colour kDisabledText{0.55f, 0.53f, 0.5f};

void lineButton(Builder& l, const Rect& r, uint32_t line, bool enabled) {
    const bool hover = enabled && l.cursorIn(r);
    l.panel(hover ? kPanelButtonHover : kPanelButton, r, 8.0f * l.unit);
    if (!enabled) l.shade(r, kBlack, 0.5f);
    const float h = r.h * 0.45f;
    screenLineCentred(l, line, {r.x + r.w * 0.5f, r.y + (r.h - h) * 0.5f}, h, !enabled ? kDisabledText : hover ? kWhite : kPale);
}

void connectionForm(Builder& l) {
    l.menuBackground(0.45f);
    screenLineCentred(l, ui::kLineTitle, {l.size.x * 0.5f, 40.0f * l.unit}, 44.0f * l.unit, kWhite);
    const uint32_t focused = screenState(l, ui::kStateFocus);
    const float h = 30.0f * l.unit;
    for (uint32_t k = 0; k < ui::kFormFields; ++k) {
        const Rect field = rectOf(ui::formFieldRect(k, l.size.x, l.size.y));
        screenLine(l, ui::kLineFields + 2u * k, field.xy() - Vec2{0.0f, 30.0f * l.unit}, 22.0f * l.unit, kPale);
        textField(l, field, k == focused, false);
        const Vec2 at = field.xy() + Vec2{16.0f * l.unit, (field.h - h) * 0.5f};
        const uint32_t typed = screenLineCount(l, ui::kLineFields + 2u * k + 1u);
        // Ctrl+A: the whole text is marked, the next character replaces it.
        if (k == focused && screenState(l, ui::kStateSelection) != 0u && typed != 0u)
            l.shade(rectOf(at - Vec2{3.0f, 3.0f} * l.unit,
                           Vec2{static_cast<float>(typed) * Builder::glyphWidth(h), h} + Vec2{6.0f, 6.0f} * l.unit),
                    {0.2f, 0.42f, 0.95f}, 0.7f);
        screenLine(l, ui::kLineFields + 2u * k + 1u, at, h, kWhite);
    }
    screenLineCentred(l, ui::kLineFormStatus, {l.size.x * 0.5f, l.size.y * 0.73f}, 22.0f * l.unit, {1.0f, 0.8f, 0.55f});
    for (uint32_t k = 0; k < 2u; ++k)
        lineButton(l, rectOf(ui::formButtonRect(k, l.size.x, l.size.y)), ui::kLineButtons + k, true);
}

void deathScreen(Builder& l) {
    l.dim({0.75f, 0.02f, 0.02f}, 0.85f);
    screenLineCentred(l, ui::kLineTitle, {l.size.x * 0.5f, l.size.y * 0.3f}, 64.0f * l.unit, kWhite);
    screenLineCentred(l, ui::kLineRows, {l.size.x * 0.5f, l.size.y * 0.43f}, 24.0f * l.unit, kPale);
    lineButton(l, rectOf(ui::respawnButtonRect(l.size.x, l.size.y)), ui::kLineButtons, true);
}

Rect sheetWindow(Builder& l, bool tabs) {
    const Rect sheet = rectOf(ui::sheetRect(l.size.x, l.size.y));
    l.dim(kBlack, 0.45f);
    l.panel(kPanelWindow, sheet, 14.0f * l.unit);
    screenLineCentred(l, ui::kLineTitle, {l.size.x * 0.5f, sheet.y + 24.0f * l.unit}, 40.0f * l.unit, kWhite);
    for (uint32_t k = 0; tabs && k < 2u; ++k) {
        const Rect tab = rectOf(ui::sheetTabRect(k, l.size.x, l.size.y));
        const bool open = screenState(l, ui::kStateFocus) == k;
        l.panel(open ? kPanelSlotSelected : l.cursorIn(tab) ? kPanelButtonHover : kPanelButton, tab, 8.0f * l.unit);
        const float h = tab.h * 0.45f;
        screenLineCentred(l, ui::kLineTabs + k, {tab.x + tab.w * 0.5f, tab.y + (tab.h - h) * 0.5f}, h,
                          open ? kWhite : kPale);
    }
    return sheet;
}

void characterScreen(Builder& l) {
    const Rect sheet = sheetWindow(l, true);
    const bool skills = screenState(l, ui::kStateFocus) == 0u;
    const Colour skillColour{0.95f, 0.75f, 0.2f};
    const Colour statColours[3] = {{0.86f, 0.16f, 0.13f}, {0.87f, 0.56f, 0.16f}, {0.6f, 0.65f, 0.75f}};
    const uint32_t rows = std::min(screenState(l, ui::kStateRows), 4u);
    for (uint32_t k = 0; k < rows; ++k) {
        const Vec2 at{sheet.x + 50.0f * l.unit, sheet.y + 160.0f * l.unit + static_cast<float>(k) * 84.0f * l.unit};
        screenLine(l, ui::kLineRows + k, at, 26.0f * l.unit, kWhite);
        if (!skills && k == 3u) continue;
        const float fill = static_cast<float>(screenState(l, ui::kStateBars + k)) / 1000.0f;
        l.bar({at.x, at.y + 34.0f * l.unit, sheet.w - 100.0f * l.unit, 18.0f * l.unit}, fill,
              skills ? skillColour : statColours[k]);
    }
}

Colour questColour(uint32_t state) {
    constexpr Colour kStateColours[4] = {kWhite, {0.5f, 0.48f, 0.45f}, {0.6f, 0.8f, 1.0f}, {0.55f, 0.9f, 0.5f}};
    return kStateColours[state & 3u];
}

void npcQuests(Builder& l, const Rect& sheet) {
    const uint32_t rows = std::min(screenState(l, ui::kStateRows), ui::kNpcRowsShown);
    const uint32_t chosen = screenState(l, ui::kStateSelection);
    const uint32_t states = screenState(l, ui::kStateRowStates);
    for (uint32_t k = 0; k < rows; ++k) {
        const Rect row = rectOf(ui::sheetRowRect(k, l.size.x, l.size.y));
        l.panel(k == chosen ? kPanelSlotSelected : l.cursorIn(row) ? kPanelSlotHover : kPanelSlot, row, 6.0f * l.unit);
        screenLine(l, ui::kLineRows + k, row.xy() + Vec2{12.0f * l.unit, row.h * 0.25f}, row.h * 0.5f,
                   questColour(states >> (2u * k)));
    }
    const Vec2 detail{sheet.x + 490.0f * l.unit, sheet.y + 150.0f * l.unit};
    const float h = 20.0f * l.unit;
    for (uint32_t k = 0; k < ui::kDescriptionLines; ++k)
        screenLine(l, ui::kLineDetail + 3u + k, detail + Vec2{0.0f, static_cast<float>(k) * 28.0f * l.unit}, h, kPale);
    const float below = detail.y + 160.0f * l.unit;
    screenLine(l, ui::kLineDetail, {detail.x, below}, h, kWhite);
    if (rows > 0u)
        l.bar({detail.x, below + 30.0f * l.unit, 300.0f * l.unit, 14.0f * l.unit},
              static_cast<float>(screenState(l, ui::kStateBars)) / 1000.0f, {0.55f, 0.9f, 0.5f});
    screenLine(l, ui::kLineDetail + 1u, {detail.x, below + 60.0f * l.unit}, h,
               rows > 0u ? questColour(states >> (2u * chosen)) : kPale);
    if (rows > 0u)
        lineButton(l, rectOf(ui::npcAcceptRect(l.size.x, l.size.y)), ui::kLineDetail + 2u,
                   screenState(l, ui::kStateAccept) != 0u);
}

void npcTrade(Builder& l, const Rect& sheet) {
    const float s = 96.0f * l.unit;
    const float top = sheet.y + 220.0f * l.unit;
    if (screenState(l, ui::kStateTrade) == 0u)
        return screenLineCentred(l, ui::kLineRows, {l.size.x * 0.5f, top}, 26.0f * l.unit, kPale);
    const float xs[2] = {l.size.x * 0.5f - 260.0f * l.unit, l.size.x * 0.5f + 260.0f * l.unit - s};
    for (uint32_t k = 0; k < 2u; ++k) {
        const uint32_t value = screenState(l, ui::kStateTradeWants + k);
        const Rect slot{xs[k], top, s, s};
        screenLine(l, ui::kLineRows + k, slot.xy() - Vec2{0.0f, 34.0f * l.unit}, 24.0f * l.unit, kPale);
        l.itemSlot(slot, value, kPanelSlot);
        l.label(kBlockNames + kLabelWords * (value & 255u), slot.xy() + Vec2{0.0f, s + 12.0f * l.unit}, 20.0f * l.unit,
                kWhite);
    }
    // The arrow from what the NPC wants to what it gives.
    const float y = top + s * 0.5f;
    l.shade({xs[0] + s + 40.0f * l.unit, y - 6.0f * l.unit, xs[1] - xs[0] - s - 100.0f * l.unit, 12.0f * l.unit},
            kPale, 0.9f);
    for (float step = 0.0f; step < 3.0f; step += 1.0f)
        l.shade({xs[1] - (60.0f - 10.0f * step) * l.unit, y - (20.0f - 6.0f * step) * l.unit, 10.0f * l.unit,
                 (40.0f - 12.0f * step) * l.unit},
                kPale, 0.9f);
}

void npcScreen(Builder& l) {
    const Rect sheet = sheetWindow(l, true);
    if (screenState(l, ui::kStateFocus) == 0u)
        npcQuests(l, sheet);
    else
        npcTrade(l, sheet);
}

void listScreen(Builder& l) {
    const Rect sheet = sheetWindow(l, false);
    const uint32_t rows = std::min(screenState(l, ui::kStateRows), ui::kRowsShown);
    for (uint32_t k = 0; k < rows; ++k) {
        const Rect row{sheet.x + 30.0f * l.unit, sheet.y + 90.0f * l.unit + static_cast<float>(k) * 44.0f * l.unit,
                       sheet.w - 60.0f * l.unit, 38.0f * l.unit};
        l.panel(kPanelSlot, row, 6.0f * l.unit);
        screenLine(l, ui::kLineRows + k, row.xy() + Vec2{14.0f * l.unit, row.h * 0.22f}, row.h * 0.56f, kWhite);
    }
}

// The players of a LAN session beside the pause window.
void pausePlayerList(Builder& l) {
    if (screenLineCount(l, ui::kLinePlayers) == 0u) return;
    const Rect list = rectOf(ui::pauseListRect(l.size.x, l.size.y));
    l.panel(kPanelWindow, list, 12.0f * l.unit);
    screenLine(l, ui::kLinePlayers, list.xy() + Vec2{20.0f, 18.0f} * l.unit, 24.0f * l.unit, kWhite);
    const uint32_t names = std::min(screenState(l, ui::kStatePlayers), ui::kPausePlayersShown);
    for (uint32_t k = 0; k < names; ++k)
        screenLine(l, ui::kLinePlayers + 1u + k,
                   list.xy() + Vec2{28.0f * l.unit, (60.0f + 30.0f * static_cast<float>(k)) * l.unit}, 20.0f * l.unit,
                   kPale);
}

uint32_t lineWord(uint32_t line) { return kTextLines + kTextLineWords * line; }

Colour markerColour(uint32_t kind) {
    constexpr Colour kKinds[4] = {{0.72f, 0.35f, 1.0f}, {1.0f, 0.8f, 0.2f}, {0.3f, 0.85f, 0.9f}, kWhite};
    return kKinds[kind & 3u];
}

// A square of `side` pixels with a dark rim, centred on a grid cell.
void mapDot(Builder& l, const Rect& grid, uint32_t place, float side, Colour c) {
    const float cell = grid.w / static_cast<float>(ui::kMapColumns);
    const Vec2 centre{grid.x + (static_cast<float>(place & 0xFFFu) + 0.5f) * cell,
                      grid.y + (static_cast<float>((place >> 12) & 0xFFFu) + 0.5f) * cell};
    l.shade(Builder::centredRect(centre, Vec2{side, side} + Vec2{4.0f, 4.0f} * l.unit), kBlack, 0.8f);
    l.shade(Builder::centredRect(centre, {side, side}), c, 1.0f);
}

void mapScreen(Builder& l) {
    const Rect grid = rectOf(ui::mapGridRect(l.size.x, l.size.y));
    const Rect list = rectOf(ui::mapListRect(l.size.x, l.size.y));
    const float pad = 14.0f * l.unit;
    l.dim(kBlack, 0.55f);
    l.panel(kPanelWindow, {grid.x - pad, grid.y - 56.0f * l.unit, list.x + list.w - grid.x + 2.0f * pad,
                           grid.h + 56.0f * l.unit + 44.0f * l.unit}, 14.0f * l.unit);
    const float titleHeight = 26.0f * l.unit;
    const uint32_t title = std::min(l.word(lineWord(ui::kMapTitleLine)), 60u);
    if (title != 0u)
        l.text(TextSource::Meta, lineWord(ui::kMapTitleLine) + 1u, title, 0u, {grid.x, grid.y - 42.0f * l.unit},
           titleHeight, kWhite);
    const uint32_t cells = ui::kMapColumns * ui::kMapRows;
    l.add(ElementKind::Map, grid, {static_cast<float>(ui::kMapColumns), static_cast<float>(ui::kMapRows), 0.0f, 0.0f},
          {0u, lineWord(ui::kMapCellsLine), cells, 0u});
    const uint32_t state = lineWord(ui::kMapStateLine);
    const uint32_t listed = std::min(l.word(state + ui::kMapStateListed), ui::kMapMarkersListed);
    const uint32_t selected = l.word(state + ui::kMapStateSelected);
    const float rowPitch = 30.0f * l.unit, rowHeight = 18.0f * l.unit;
    for (uint32_t k = 0; k < listed; ++k) {
        const uint32_t marker = l.word(state + ui::kMapStateMarkers + k);
        const Rect row{list.x, list.y + static_cast<float>(k) * rowPitch, list.w, rowPitch - 4.0f * l.unit};
        if (selected == k + 1u) l.shade(row, {0.25f, 0.4f, 0.85f}, 0.6f);
        l.shade({row.x + 6.0f * l.unit, row.y + 8.0f * l.unit, 10.0f * l.unit, 10.0f * l.unit},
                markerColour(marker >> 24), 1.0f);
        const uint32_t count = std::min(l.word(lineWord(ui::kMapFirstMarkerLine + k)), 60u);
        if (count != 0u)
            l.text(TextSource::Meta, lineWord(ui::kMapFirstMarkerLine + k) + 1u, count, 0u,
               {row.x + 24.0f * l.unit, row.y + 4.0f * l.unit}, rowHeight, kWhite);
        if ((marker & ui::kMarkerOffGrid) != ui::kMarkerOffGrid)
            mapDot(l, grid, marker, (selected == k + 1u ? 12.0f : 8.0f) * l.unit, markerColour(marker >> 24));
    }
    const uint32_t player = l.word(state + ui::kMapStatePlayer);
    if (player != ui::kMapOffGrid) mapDot(l, grid, (player >> 16) << 12 | (player & 0xFFFu), 8.0f * l.unit, kWhite);
    const float hintHeight = 18.0f * l.unit;
    const uint32_t hint = std::min(l.word(lineWord(ui::kMapHintLine)), 60u);
    if (hint != 0u)
        l.text(TextSource::Meta, lineWord(ui::kMapHintLine) + 1u, hint, 0u, {grid.x, grid.y + grid.h + 14.0f * l.unit},
           hintHeight, {0.78f, 0.74f, 0.66f});
}

struct OwnScreen {
    int32_t screen;
    void (*draw)(Builder&);
};

const OwnScreen* lanScreen(int32_t screen) {
    static const OwnScreen kScreens[] = {{ui::kConnectionScreen, connectionForm}, {ui::kDeathScreen, deathScreen},
                                         {ui::kCharacterScreen, characterScreen}, {ui::kNpcScreen, npcScreen},
                                         {ui::kJournalScreen, listScreen},        {ui::kTerritoryScreen, listScreen},
                                         {ui::kMapScreen, mapScreen}};
    for (const OwnScreen& own : kScreens)
        if (own.screen == screen) return &own;
    return nullptr;
}

void toast(Builder& l) {
    centredLine(l, ui::kToastTextLine, ui::toastTop(l.ui.screen, l.size.x, l.size.y), ui::kToastTextHeight * l.unit,
                kWhite, true);
}

void layoutScreen(Builder& l) {
    const int32_t screen = l.ui.screen;
    if (screen == kCursorStackScreen) return cursorStack(l);
    const bool inventoryShown = l.ui.inventoryOpen == 1u && screen != kSecondValuesScreen && screen != kFurnaceScreen;
    if (screen == kPlayScreen && !inventoryShown) {
        crosshair(l);
        hotbar(l);
        biomeName(l);
    } else if (screen == kMainMenuScreen) {
        mainMenu(l);
    } else if (screen == kPauseScreen) {
        pauseMenu(l);
        pausePlayerList(l);
    } else if (screen == kWorldListScreen) {
        worldList(l);
    } else if (screen == kNewWorldScreen) {
        newWorld(l);
    } else if (screen == kDeleteWorldScreen) {
        deleteWorld(l);
    } else if (screen == kFurnaceScreen) {
        furnaceScreen(l);
    } else if (screen == kChestScreen) {
        chestScreen(l);
    } else if (screen == kCraftingScreen) {
        craftingScreen(l);
    } else if (const OwnScreen* own = lanScreen(screen)) {
        own->draw(l);
    } else if (screen != kPlayScreen && !inventoryShown) {
        otherScreen(l);
    }
    if (inventoryShown) inventory(l);
    textLines(l);
    toast(l);
    // The container windows hold the stack under the cursor over all they show. The inventory draws
    // it in a pass of its own instead, since it lies over the inventory's portrait.
    const bool containerShown = screen >= kCraftingScreen && screen <= kChestScreen;
    if (containerShown && (l.ui.cursorStack >> 8) > 0u) cursorStack(l);
}

}  // namespace

std::vector<InterfaceElement> layoutInterface(const InterfaceBlock& block, std::span<const uint32_t> meta) {
    const Vec2 size{std::max(block.framebuffer[0], 1.0f), std::max(block.framebuffer[1], 1.0f)};
    const float unit = std::clamp(std::min(size.x / 1280.0f, size.y / 720.0f), 0.75f, 3.0f);
    Builder builder{block, meta, size, unit, {}};
    if (block.screen != kHiddenInterface) layoutScreen(builder);
    return std::move(builder.out);
}

}  // namespace render
