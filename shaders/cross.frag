#version 450
#extension GL_GOOGLE_include_directive : require
// The interface, drawn per pixel over the whole screen from the interface block: crosshair, hotbar
// with item icons, health and food, the inventory, the menus and their panels from the interface
// atlas, and text from glyph records of the bitmap font.
#include "meta.glsl"
#include "colour.glsl"

layout(set = 0, binding = 0) uniform sampler2D blockAtlas;
layout(set = 0, binding = 2) uniform sampler2D uiAtlas;

layout(push_constant) uniform InterfaceBlock {
    layout(offset = 0) vec2 framebuffer;
    layout(offset = 8) uint selectedSlot;
    layout(offset = 12) uint inventoryOpen;
    layout(offset = 16) uint slots[18];  // two inventory slots a word: count << 8 | id
    layout(offset = 88) int screen;
    layout(offset = 92) uint hovered;
    layout(offset = 96) uint status;
    layout(offset = 100) float cursorX;
    layout(offset = 104) float cursorY;
    layout(offset = 108) uint cursorStack;
} ui;

layout(location = 0) in vec2 inScreen;
layout(location = 1) in vec4 inNear;
layout(location = 2) in vec4 inFar;

layout(location = 0) out vec4 outColour;

// Screens.
const int SCREEN_HIDDEN = -1;  // a screenshot without interface
const int SCREEN_CURSOR_STACK = -142;
const int SCREEN_PLAY = 0;
const int SCREEN_MAIN_MENU = 1;
const int SCREEN_PAUSE = 2;
const int SCREEN_WORLD_LIST = 5;
const int SCREEN_NEW_WORLD = 6;
const int SCREEN_DEATH = 7;
const int SCREEN_FURNACE = 10;
const int SCREEN_DELETE_WORLD = 12;

// Interface atlas: the nine panels in a 3 x 3 grid of 128-pixel tiles, the menu background, the
// font strip and the world previews.
const vec2 UI_ATLAS_SIZE = vec2(1920.0, 1888.0);
const uint PANEL_WINDOW = 0u;
const uint PANEL_TITLE = 1u;
const uint PANEL_SLOT = 2u;
const uint PANEL_SLOT_HOVER = 3u;
const uint PANEL_SLOT_SELECTED = 4u;
const uint PANEL_TOOLTIP = 5u;
const uint PANEL_BUTTON = 6u;
const uint PANEL_BUTTON_HOVER = 7u;
const vec4 MENU_BACKGROUND = vec4(0.0, 384.0, 1920.0, 1080.0);
const vec4 FONT_STRIP = vec4(0.0, 1464.0, 1920.0, 64.0);
const vec2 PREVIEW_ORIGIN = vec2(0.0, 1528.0);
const vec2 PREVIEW_SIZE = vec2(320.0, 180.0);
const vec4 SELECTED_PREVIEW = vec4(960.0, 1528.0, 640.0, 360.0);

// Font: the strip is shared evenly by its glyphs, glyph 0 the space. Each glyph is a 5 x 7 shape
// on a 7 x 9 grid stretched over its share, so sampling grid centres keeps the letters crisp and a
// cell is shown 7 wide for 9 high.
const uint FONT_GLYPHS = 91u;
const vec2 FONT_GRID = vec2(7.0, 9.0);
const float GLYPH_ASPECT = 7.0 / 9.0;
const uint GLYPH_DIGIT_0 = 60u;

// Fixed labels: group 1, 2 and 3 records.
const uint LABEL_ARMOUR = 5u;
const uint LABEL_INVENTORY = 0u;
const uint LABEL_HOTBAR = 1u;
const uint LABEL_HINT_TAKE = 2u;  // then half, move, close
const uint LABEL_PLAY = 11u;
const uint LABEL_CREATE_WORLD = 12u;
const uint LABEL_DELETE = 13u;
const uint LABEL_BACK = 14u;
const uint LABEL_DELETE_WORLD = 15u;
const uint LABEL_CANCEL = 16u;
const uint LABEL_WORLD_DELETED = 17u;
const uint LABEL_COPY_IN_BACKUPS = 18u;
const uint LABEL_SEED = 19u;
const uint LABEL_GAME_TITLE = 20u;
const uint LABEL_CHOOSE_WORLD = 21u;
const uint LABEL_ESC_CLOSE = 5u;
const uint LABEL_NO_WORLDS = 2u;

const uint BUILTIN_BLOCKS = 13u;
const uint TEXT_LINES_SHOWN = 12u;

const vec3 WHITE = vec3(1.0);
const vec3 PALE = vec3(0.93, 0.89, 0.8);

vec2 P;       // this pixel, framebuffer pixels from the top left
vec2 SIZE;    // framebuffer size
float UNIT;   // interface scale: 1 at 1280 x 720
vec4 acc;     // what is drawn so far, premultiplied

// The screens below only list the elements that cover this pixel; one loop then draws them. Every
// drawing routine so exists once in the program, which keeps the shader small to compile.
const uint KIND_FILL = 0u;     // a: linear colour and alpha
const uint KIND_PANEL = 1u;    // a.x panel index, a.y border
const uint KIND_PICTURE = 2u;  // a: source rectangle in the interface atlas
const uint KIND_ICON = 3u;     // b.x item id
const uint KIND_TEXT = 4u;     // a: linear colour and glyph height; b: source, first, count, value

const uint TEXT_META = 0u;    // glyph bytes in the meta buffer from word b.y
const uint TEXT_MENU = 1u;    // the world menu's glyphs in the push constants from slot b.y
const uint TEXT_NUMBER = 2u;  // the decimal digits of b.w

struct Element {
    uint kind;
    vec4 rect;
    vec4 a;
    uvec4 b;
};

const uint MAX_ELEMENTS = 32u;
Element items[MAX_ELEMENTS];
uint itemCount;

bool inside(vec4 rect, vec2 q) {
    return q.x >= rect.x && q.y >= rect.y && q.x < rect.x + rect.z && q.y < rect.y + rect.w;
}

bool cursorIn(vec4 rect) { return inside(rect, vec2(ui.cursorX, ui.cursorY)); }

void add(uint kind, vec4 rect, vec4 a, uvec4 b) {
    if (!inside(rect, P) || itemCount >= MAX_ELEMENTS) return;
    items[itemCount] = Element(kind, rect, a, b);
    ++itemCount;
}

// --- elements -----------------------------------------------------------------------------

void shade(vec4 rect, vec3 colour, float alpha) {
    add(KIND_FILL, rect, vec4(srgbToLinear(colour), alpha), uvec4(0u));
}

void dim(vec3 colour, float alpha) { shade(vec4(0.0, 0.0, SIZE), colour, alpha); }

void panel(uint index, vec4 rect, float border) {
    add(KIND_PANEL, rect, vec4(float(index), border, 0.0, 0.0), uvec4(0u));
}

// A picture of the interface atlas stretched over `rect`.
void picture(vec4 source, vec4 rect) { add(KIND_PICTURE, rect, source, uvec4(0u)); }

// The menu background covers the screen, cut to keep its shape.
void menuBackground(float darken) {
    float scale = max(SIZE.x / MENU_BACKGROUND.z, SIZE.y / MENU_BACKGROUND.w);
    vec2 shown = MENU_BACKGROUND.zw * scale;
    picture(MENU_BACKGROUND, vec4((SIZE - shown) * 0.5, shown));
    dim(vec3(0.0), darken);
}

void itemIcon(uint id, vec4 rect) {
    if (id != 0u) add(KIND_ICON, rect, vec4(0.0), uvec4(id, 0u, 0u, 0u));
}

float glyphWidth(float height) { return height * GLYPH_ASPECT; }

// Text is drawn with a soft shadow one step down and right.
vec2 shadowStep(float height) { return vec2(max(1.0, floor(height / 14.0))); }

void text(uint source, uint first, uint count, uint value, vec2 origin, float height, vec3 colour) {
    vec4 rect = vec4(origin, float(count) * glyphWidth(height), height);
    rect.zw += shadowStep(height);
    add(KIND_TEXT, rect, vec4(srgbToLinear(colour), height), uvec4(source, first, count, value));
}

float labelWidth(uint record, float height) { return float(labelCount(record)) * glyphWidth(height); }

void label(uint record, vec2 origin, float height, vec3 colour) {
    text(TEXT_META, record + 1u, labelCount(record), 0u, origin, height, colour);
}

void labelCentred(uint record, vec2 centreTop, float height, vec3 colour) {
    label(record, centreTop - vec2(labelWidth(record, height) * 0.5, 0.0), height, colour);
}

void textLine(uint slot, vec2 origin, float height, vec3 colour) {
    uint word = META_TEXT_LINES + TEXT_LINE_WORDS * slot;
    text(TEXT_META, word + 1u, min(meta.words[word], 60u), 0u, origin, height, colour);
}

void menuText(uint first, uint count, vec2 origin, float height, vec3 colour) {
    text(TEXT_MENU, first, count, 0u, origin, height, colour);
}

uint digitCount(uint value) {
    uint n = 1u;
    for (uint v = value; v >= 10u; v /= 10u) ++n;
    return n;
}

// A number whose last digit ends at `rightBottom`.
void numberRight(uint value, vec2 rightBottom, float height, vec3 colour) {
    uint n = digitCount(value);
    vec2 origin = rightBottom - vec2(float(n) * glyphWidth(height), height);
    text(TEXT_NUMBER, 0u, n, value, origin, height, colour);
}

// --- drawing ------------------------------------------------------------------------------

void put(vec4 c) {
    float a = clamp(c.a, 0.0, 1.0);
    acc = vec4(c.rgb * a, a) + acc * (1.0 - a);
}

// The interface atlas is an sRGB image, so its samples are linear already.
vec4 uiTexel(vec2 texel) { return textureLod(uiAtlas, texel / UI_ATLAS_SIZE, 0.0); }

// 16 source pixels of each edge map to `border` screen pixels; the middle stretches.
float sliceAxis(float local, float size, float border) {
    if (local < border) return local / border * 16.0;
    if (local > size - border) return 128.0 - (size - local) / border * 16.0;
    return 16.0 + (local - border) / max(size - 2.0 * border, 1.0) * 96.0;
}

vec4 panelTexel(Element e) {
    uint index = uint(e.a.x);
    vec2 local = P - e.rect.xy;
    float b = max(min(e.a.y, min(e.rect.z, e.rect.w) * 0.5), 1.0);
    vec2 t = clamp(vec2(sliceAxis(local.x, e.rect.z, b), sliceAxis(local.y, e.rect.w, b)), 0.5, 127.5);
    return uiTexel(vec2(128.0 * float(index % 3u), 128.0 * float(index / 3u)) + t);
}

vec4 pictureTexel(Element e) {
    vec2 t = clamp((P - e.rect.xy) / e.rect.zw * e.a.zw, vec2(0.5), e.a.zw - 0.5);
    return uiTexel(e.a.xy + t);
}

// The icon of an item: the side of a built-in block, the icon face of any other.
uint iconMaterial(uint id) { return id < BUILTIN_BLOCKS ? id * 6u + 2u : id * 7u + 43u; }

vec4 iconTexel(Element e) {
    vec4 r = materialRect(iconMaterial(e.b.x));
    if (r.z <= 0.0) return vec4(0.0);
    vec2 uv = clamp((P - e.rect.xy) / e.rect.zw, 0.0, 1.0);
    return srgbToLinear(textureLod(blockAtlas, r.xy + uv * r.zw, 0.0));
}

uint menuGlyph(uint slot) { return (ui.slots[slot / 4u] >> (8u * (slot % 4u))) & 255u; }

uint glyphOf(uvec4 source, uint j) {
    if (source.x == TEXT_MENU) return menuGlyph(source.y + j);
    if (source.x == TEXT_NUMBER) {
        uint v = source.w;
        for (uint k = j + 1u; k < source.z; ++k) v /= 10u;
        return GLYPH_DIGIT_0 + v % 10u;
    }
    return packedGlyph(source.y, j);
}

float glyphCoverage(uint glyph, vec2 f) {
    if (glyph == 0u || glyph >= FONT_GLYPHS) return 0.0;
    vec2 centre = (floor(f * FONT_GRID) + 0.5) / FONT_GRID;
    vec2 cell = vec2(FONT_STRIP.z / float(FONT_GLYPHS), FONT_STRIP.w);
    return uiTexel(FONT_STRIP.xy + vec2(float(glyph) * cell.x, 0.0) + centre * cell).a;
}

// How much of the character under q covers it.
float textCoverage(Element e, vec2 q) {
    float height = e.a.w;
    float w = glyphWidth(height);
    vec2 local = q - e.rect.xy;
    if (local.x < 0.0 || local.y < 0.0 || local.y >= height || local.x >= w * float(e.b.z)) return 0.0;
    uint j = uint(local.x / w);
    vec2 f = vec2(local.x / w - float(j), local.y / height);
    return glyphCoverage(glyphOf(e.b, j), f);
}

void drawElement(Element e) {
    if (e.kind == KIND_FILL) {
        put(e.a);
    } else if (e.kind == KIND_PANEL) {
        put(panelTexel(e));
    } else if (e.kind == KIND_PICTURE) {
        put(pictureTexel(e));
    } else if (e.kind == KIND_ICON) {
        put(iconTexel(e));
    } else {
        float shadow = textCoverage(e, P - shadowStep(e.a.w));
        float body = textCoverage(e, P);
        put(vec4(0.0, 0.0, 0.0, shadow * 0.55));
        put(vec4(e.a.rgb, body));
    }
}

// --- building blocks ----------------------------------------------------------------------

uint group1(uint k) { return groupLabel(META_LABELS_GROUP1, k); }
uint group2(uint k) { return groupLabel(META_LABELS_GROUP2, k); }
uint group3(uint k) { return groupLabel(META_LABELS_GROUP3, k); }

uint slotValue(uint slot) { return (ui.slots[slot / 2u] >> (16u * (slot % 2u))) & 65535u; }

// A slot frame with its item and, above one, its count.
void itemSlot(vec4 rect, uint value, uint frame) {
    if (!inside(rect, P)) return;
    panel(frame, rect, rect.w * 0.12);
    float inset = rect.w * 0.14;
    itemIcon(value & 255u, vec4(rect.xy + inset, rect.zw - 2.0 * inset));
    uint count = value >> 8;
    if ((value & 255u) != 0u && count > 1u)
        numberRight(count, rect.xy + rect.zw - rect.w * 0.08, rect.w * 0.36, WHITE);
}

void button(vec4 rect, uint record) {
    bool hover = cursorIn(rect);
    panel(hover ? PANEL_BUTTON_HOVER : PANEL_BUTTON, rect, 8.0 * UNIT);
    float h = rect.w * 0.5;
    labelCentred(record, vec2(rect.x + rect.z * 0.5, rect.y + (rect.w - h) * 0.5), h, hover ? WHITE : PALE);
}

void bar(vec4 rect, float fraction, vec3 colour) {
    shade(rect, vec3(0.05), 0.55);
    vec4 fill = vec4(rect.xy + UNIT, (rect.z - 2.0 * UNIT) * clamp(fraction, 0.0, 1.0), rect.w - 2.0 * UNIT);
    shade(fill, colour, 0.95);
}

vec4 centredRect(vec2 centre, vec2 size) { return vec4(centre - size * 0.5, size); }

// --- play ---------------------------------------------------------------------------------

void crosshair() {
    vec2 centre = floor(SIZE * 0.5) + 0.5;
    float arm = 9.0 * UNIT, thick = max(1.0, UNIT);
    shade(centredRect(centre, vec2(2.0 * arm + 3.0, 2.0 * thick + 3.0)), vec3(0.0), 0.5);
    shade(centredRect(centre, vec2(2.0 * thick + 3.0, 2.0 * arm + 3.0)), vec3(0.0), 0.5);
    shade(centredRect(centre, vec2(2.0 * arm + 1.0, 2.0 * thick + 1.0)), vec3(1.0), 0.9);
    shade(centredRect(centre, vec2(2.0 * thick + 1.0, 2.0 * arm + 1.0)), vec3(1.0), 0.9);
}

void hotbar() {
    float s = 44.0 * UNIT;
    vec2 origin = vec2((SIZE.x - 9.0 * s) * 0.5, SIZE.y - s - 10.0 * UNIT);
    // Health and food share the width of the bar above it.
    uint health = ui.status & 31u, food = (ui.status >> 5) & 31u;
    float barY = origin.y - 12.0 * UNIT;
    bar(vec4(origin.x, barY, 4.4 * s, 8.0 * UNIT), float(health) / 20.0, vec3(0.86, 0.16, 0.13));
    bar(vec4(origin.x + 4.6 * s, barY, 4.4 * s, 8.0 * UNIT), float(food) / 20.0, vec3(0.87, 0.56, 0.16));
    uint selected = min(ui.selectedSlot, 8u);
    uint selectedId = slotValue(selected) & 255u;
    if (selectedId != 0u)
        labelCentred(META_BLOCK_NAMES + LABEL_WORDS * selectedId, vec2(SIZE.x * 0.5, barY - 26.0 * UNIT),
                     20.0 * UNIT, WHITE);
    vec4 row = vec4(origin, 9.0 * s, s);
    if (inside(row, P)) {
        uint k = min(uint((P.x - origin.x) / s), 8u);
        itemSlot(vec4(origin.x + float(k) * s, origin.y, s, s), slotValue(k),
                 k == selected ? PANEL_SLOT_SELECTED : PANEL_SLOT);
    }
    // A drawn bow shows its arrows beside the bar.
    uint bow = ui.cursorStack >> 20;
    if (bow != 0u) {
        uint arrows = ui.cursorStack & 1048575u;
        uint count = arrows >> 8;
        vec4 quiver = vec4(origin.x + 9.0 * s + 8.0 * UNIT, origin.y, s, s);
        itemSlot(quiver, min(count, 64u) << 8 | (arrows & 255u), PANEL_SLOT);
        // More arrows than a stack shows: the whole count above the slot.
        if (count > 64u) numberRight(count, quiver.xy + vec2(s, -2.0), 14.0 * UNIT, WHITE);
    }
    // The progress of using an item or drawing the bow, under the crosshair.
    float progress = bow != 0u ? float(bow - 1u) / 100.0 : float(ui.status >> 10) / 100.0;
    vec4 gauge = centredRect(SIZE * 0.5 + vec2(0.0, 18.0 * UNIT), vec2(44.0, 5.0) * UNIT);
    if (progress > 0.0) bar(gauge, progress, WHITE);
}

void biomeName() {
    if (ui.hovered < 1000u || ui.hovered >= 1032u) return;
    uint record = META_BIOME_LABELS + LABEL_WORDS * (ui.hovered - 1000u);
    labelCentred(record, vec2(SIZE.x * 0.5, 12.0 * UNIT), 22.0 * UNIT, PALE);
}

void play() {
    crosshair();
    hotbar();
    biomeName();
}

// --- inventory ----------------------------------------------------------------------------

// The panel geometry that the inventory's hit tests and portrait use as well.
struct Layout {
    vec4 panel;  // left, top, width, height
    float left, right, header, footer, slot;
};

Layout inventoryLayout() {
    Layout l;
    float p = min(min(1640.0, SIZE.x * 0.96), SIZE.y * 0.9 * 1600.0 / 900.0);
    float h = p * 900.0 / 1600.0;
    l.panel = vec4((SIZE.x - p) * 0.5, (SIZE.y - h) * 0.5, p, h);
    l.left = p * 0.302;
    l.right = p * 0.238;
    l.header = h * 0.1;
    l.footer = h * 0.11;
    l.slot = min((p - l.left - l.right - 30.0) / 9.0, 82.0);
    return l;
}

// A grid of slot frames, one row of `columns`, the first slot numbered `first`.
void slotRow(vec2 origin, float s, uint columns, uint first) {
    if (!inside(vec4(origin, s * float(columns), s), P)) return;
    uint k = min(uint((P.x - origin.x) / s), columns - 1u);
    uint slot = first + k;
    uint frame = slot == ui.hovered ? PANEL_SLOT_HOVER : PANEL_SLOT;
    if (slot < 9u && slot == ui.selectedSlot && frame == PANEL_SLOT) frame = PANEL_SLOT_SELECTED;
    itemSlot(vec4(origin.x + float(k) * s, origin.y, s, s), slot < 36u ? slotValue(slot) : 0u, frame);
}

void tooltip(uint slot, float height) {
    if (slot >= 36u) return;
    uint id = slotValue(slot) & 255u;
    if (id == 0u) return;
    uint record = META_BLOCK_NAMES + LABEL_WORDS * id;
    vec2 at = vec2(ui.cursorX, ui.cursorY) + vec2(14.0, 14.0) * UNIT;
    vec4 box = vec4(at, labelWidth(record, height) + 16.0 * UNIT, height + 12.0 * UNIT);
    panel(PANEL_TOOLTIP, box, 6.0 * UNIT);
    label(record, at + vec2(8.0, 6.0) * UNIT, height, WHITE);
}

void inventory() {
    Layout l = inventoryLayout();
    vec4 p = l.panel;
    float s = l.slot;
    dim(vec3(0.0), 0.35);
    panel(PANEL_WINDOW, p, 14.0 * UNIT);
    vec2 heading = p.xy + vec2(p.z * 0.03, l.header * 0.28);
    label(group2(LABEL_INVENTORY), heading, l.header * 0.5, PALE);
    // Armour down the left edge, beside the portrait.
    vec2 armour = p.xy + vec2(s * 0.1, l.header + 32.0);
    label(group1(LABEL_ARMOUR), armour - vec2(0.0, s * 0.45), s * 0.36, PALE);
    for (uint k = 0u; k < 4u; ++k) slotRow(armour + vec2(0.0, float(k) * s), s, 1u, 40u + k);
    // The main inventory, then the hotbar row at the bottom of the middle column.
    float middle = p.z - l.left - l.right;
    vec2 grid = vec2(p.x + l.left + (middle - 9.0 * s) * 0.5, p.y + l.header + s * 0.35);
    for (uint r = 0u; r < 3u; ++r) slotRow(grid + vec2(0.0, float(r) * s), s, 9u, 9u + 9u * r);
    vec2 bottom = vec2(grid.x, p.y + p.w - l.footer - s * 1.2);
    label(group2(LABEL_HOTBAR), bottom - vec2(0.0, s * 0.5), s * 0.36, PALE);
    slotRow(bottom, s, 9u, 0u);
    // Hints along the footer.
    float hintHeight = l.footer * 0.26;
    for (uint k = 0u; k < 4u; ++k) {
        vec2 at = vec2(p.x + p.z * (0.03 + 0.24 * float(k)), p.y + p.w - l.footer * 0.66);
        label(group2(LABEL_HINT_TAKE + k), at, hintHeight, vec3(0.78, 0.74, 0.66));
    }
    tooltip(ui.hovered, s * 0.34);
}

// The stack that follows the cursor, drawn last so it lies over the portrait.
void cursorStack() {
    float s = inventoryLayout().slot;
    uint value = ui.cursorStack & 65535u;
    vec4 rect = centredRect(vec2(ui.cursorX, ui.cursorY), vec2(s * 0.8));
    itemIcon(value & 255u, rect);
    if ((value >> 8) > 1u) numberRight(value >> 8, rect.xy + rect.zw, s * 0.32, WHITE);
}

// --- menus --------------------------------------------------------------------------------

vec4 menuButton(float centreX, float top, float width) {
    return vec4(centreX - width * 0.5 * UNIT, top, width * UNIT, 52.0 * UNIT);
}

void mainMenu() {
    menuBackground(0.1);
    uint title = group2(LABEL_GAME_TITLE);
    float h = 60.0 * UNIT;
    vec2 top = vec2(SIZE.x * 0.5, SIZE.y * 0.2);
    vec2 plate = vec2(labelWidth(title, h) + 80.0 * UNIT, h + 40.0 * UNIT);
    panel(PANEL_TITLE, centredRect(top + vec2(0.0, h * 0.5), plate), 12.0 * UNIT);
    labelCentred(title, top, h, WHITE);
    button(menuButton(SIZE.x * 0.5, SIZE.y * 0.52, 320.0), group2(LABEL_PLAY));
}

void pauseMenu() {
    dim(vec3(0.0), 0.45);
    vec4 window = centredRect(SIZE * 0.5, vec2(420.0, 240.0) * UNIT);
    panel(PANEL_WINDOW, window, 14.0 * UNIT);
    button(menuButton(SIZE.x * 0.5, window.y + 60.0 * UNIT, 300.0), group2(LABEL_PLAY));
    labelCentred(group2(LABEL_ESC_CLOSE), vec2(SIZE.x * 0.5, window.y + 150.0 * UNIT),
                 20.0 * UNIT, PALE);
}

// Counts that follow the glyph words in the world menus: focused field, seed error, world count.
uint menuCount(uint k) { return ui.slots[9u + k]; }

void worldTitle(uint record) {
    labelCentred(group2(record), vec2(SIZE.x * 0.5, 40.0 * UNIT), 44.0 * UNIT, WHITE);
}

void worldList() {
    menuBackground(0.45);
    worldTitle(LABEL_CHOOSE_WORLD);
    uint worlds = menuCount(4u);
    if (worlds == 0u) {
        vec2 centre = SIZE * 0.5 - vec2(0.0, 16.0 * UNIT);
        labelCentred(group3(LABEL_NO_WORLDS), centre, 32.0 * UNIT, PALE);
    } else {
        // Three rows of thumbnails on the left, the chosen world large on the right.
        vec2 thumb = vec2(224.0, 126.0) * UNIT;
        for (uint k = 0u; k < min(worlds, 3u); ++k) {
            float top = 120.0 * UNIT + float(k) * (thumb.y + 16.0 * UNIT);
            vec4 row = vec4(SIZE.x * 0.5 - 520.0 * UNIT, top, thumb);
            panel(PANEL_TOOLTIP, vec4(row.xy - 6.0 * UNIT, row.zw + 12.0 * UNIT), 6.0 * UNIT);
            picture(vec4(PREVIEW_ORIGIN + vec2(PREVIEW_SIZE.x * float(k), 0.0), PREVIEW_SIZE), row);
        }
        vec4 big = vec4(SIZE.x * 0.5 - 240.0 * UNIT, 120.0 * UNIT, vec2(640.0, 360.0) * UNIT * 1.1);
        panel(PANEL_TOOLTIP, vec4(big.xy - 6.0 * UNIT, big.zw + 12.0 * UNIT), 6.0 * UNIT);
        picture(SELECTED_PREVIEW, big);
        float h = 30.0 * UNIT;
        vec2 text = vec2(big.x, big.y + big.w + 18.0 * UNIT);
        menuText(0u, 24u, text, h, WHITE);
        uint seed = group2(LABEL_SEED);
        label(seed, text + vec2(0.0, h + 10.0 * UNIT), h * 0.8, PALE);
        vec2 digits = text + vec2(labelWidth(seed, h * 0.8) + glyphWidth(h), h + 10.0 * UNIT);
        menuText(24u, 10u, digits, h * 0.8, PALE);
    }
    float y = SIZE.y - 80.0 * UNIT;
    button(menuButton(SIZE.x * 0.5 - 480.0 * UNIT, y, 220.0), group2(LABEL_PLAY));
    button(menuButton(SIZE.x * 0.5 - 160.0 * UNIT, y, 280.0), group2(LABEL_CREATE_WORLD));
    button(menuButton(SIZE.x * 0.5 + 160.0 * UNIT, y, 220.0), group2(LABEL_DELETE));
    button(menuButton(SIZE.x * 0.5 + 480.0 * UNIT, y, 220.0), group2(LABEL_BACK));
}

void textField(vec4 rect, bool focused, bool wrong) {
    panel(focused ? PANEL_SLOT_HOVER : PANEL_SLOT, rect, 8.0 * UNIT);
    if (wrong) shade(rect, vec3(0.8, 0.1, 0.08), 0.3);
}

void newWorld() {
    menuBackground(0.45);
    worldTitle(LABEL_CREATE_WORLD);
    float h = 32.0 * UNIT;
    bool seedFocused = menuCount(2u) == 1u;
    vec4 name = centredRect(vec2(SIZE.x * 0.5, SIZE.y * 0.36), vec2(560.0, 60.0) * UNIT);
    textField(name, !seedFocused, false);
    menuText(0u, 24u, name.xy + vec2(16.0 * UNIT, (name.w - h) * 0.5), h, WHITE);
    vec4 seed = centredRect(vec2(SIZE.x * 0.5, SIZE.y * 0.52), vec2(560.0, 60.0) * UNIT);
    label(group2(LABEL_SEED), seed.xy - vec2(0.0, 30.0 * UNIT), 24.0 * UNIT, PALE);
    textField(seed, seedFocused, menuCount(3u) != 0u);
    menuText(24u, 10u, seed.xy + vec2(16.0 * UNIT, (seed.w - h) * 0.5), h, WHITE);
    float y = SIZE.y * 0.7;
    button(menuButton(SIZE.x * 0.5 - 160.0 * UNIT, y, 280.0), group2(LABEL_CREATE_WORLD));
    button(menuButton(SIZE.x * 0.5 + 160.0 * UNIT, y, 280.0), group2(LABEL_BACK));
}

void deleteWorld() {
    menuBackground(0.6);
    vec4 window = centredRect(SIZE * 0.5, vec2(640.0, 360.0) * UNIT);
    panel(PANEL_WINDOW, window, 14.0 * UNIT);
    float x = SIZE.x * 0.5;
    float top = window.y;
    labelCentred(group2(LABEL_DELETE_WORLD), vec2(x, top + 28.0 * UNIT), 36.0 * UNIT, WHITE);
    float h = 28.0 * UNIT;
    menuText(0u, 24u, vec2(x - 12.0 * glyphWidth(h), window.y + 90.0 * UNIT), h, vec3(1.0, 0.85, 0.55));
    labelCentred(group2(LABEL_WORLD_DELETED), vec2(x, top + 150.0 * UNIT), 24.0 * UNIT, PALE);
    labelCentred(group2(LABEL_COPY_IN_BACKUPS), vec2(x, top + 186.0 * UNIT), 24.0 * UNIT, PALE);
    float y = window.y + window.w - 80.0 * UNIT;
    button(menuButton(x - 150.0 * UNIT, y, 240.0), group2(LABEL_DELETE));
    button(menuButton(x + 150.0 * UNIT, y, 240.0), group2(LABEL_CANCEL));
}

// Screens drawn elsewhere in full get a dimmed world and an empty window.
void otherScreen(int screen) {
    if (screen == SCREEN_DEATH) dim(vec3(0.6, 0.0, 0.0), 0.5);
    else dim(vec3(0.0), 0.4);
    panel(PANEL_WINDOW, centredRect(SIZE * 0.5, SIZE * vec2(0.6, 0.6)), 14.0 * UNIT);
}

// Numbered text lines of the overlay, down the top left corner.
void textLines() {
    float h = 18.0 * UNIT;
    float pitch = h + 4.0 * UNIT;
    float row = floor((P.y - 8.0 * UNIT) / pitch);
    if (row < 0.0 || row >= float(TEXT_LINES_SHOWN)) return;
    textLine(uint(row), vec2(8.0 * UNIT, 8.0 * UNIT + row * pitch), h, WHITE);
}

void layoutScreen() {
    int screen = ui.screen;
    if (screen == SCREEN_CURSOR_STACK) {
        cursorStack();
        return;
    }
    bool inventoryShown = ui.inventoryOpen == 1u && screen != 8 && screen != SCREEN_FURNACE;
    if (screen == SCREEN_PLAY && !inventoryShown) play();
    else if (screen == SCREEN_MAIN_MENU) mainMenu();
    else if (screen == SCREEN_PAUSE) pauseMenu();
    else if (screen == SCREEN_WORLD_LIST) worldList();
    else if (screen == SCREEN_NEW_WORLD) newWorld();
    else if (screen == SCREEN_DELETE_WORLD) deleteWorld();
    else if (screen != SCREEN_PLAY && !inventoryShown) otherScreen(screen);
    if (inventoryShown) inventory();
    textLines();
}

void main() {
    if (ui.screen == SCREEN_HIDDEN) discard;
    P = gl_FragCoord.xy;
    SIZE = max(ui.framebuffer, vec2(1.0));
    UNIT = clamp(min(SIZE.x / 1280.0, SIZE.y / 720.0), 0.75, 3.0);
    itemCount = 0u;
    layoutScreen();
    acc = vec4(0.0);
    for (uint i = 0u; i < itemCount; ++i) drawElement(items[i]);
    if (acc.a <= 0.002) discard;
    outColour = vec4(acc.rgb / acc.a, acc.a);
}
