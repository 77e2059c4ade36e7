#version 450
#extension GL_GOOGLE_include_directive : require
// The interface: the program lays out each frame's elements (fills, panels, pictures, item icons
// and texts) once and lists, for each square tile of the framebuffer, the elements that may cover
// it; a pixel here only blends the few elements of its tile. The driver runs every instruction at
// every pixel, so no screen's layout lives in this shader.
#include "pipeline_constants.glsl"
#include "meta.glsl"
#include "colour.glsl"

// The block atlas, sRGB bytes in a UNORM image: item icons.
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
layout(location = 3) flat in uvec4 inInterfaceHeader;  // shared elements, tile size, columns, rows

layout(location = 0) out vec4 outColour;

// False for the pipeline of the frames without item icons; their pixels are the same either way.
CONSTANT_ID(0) const bool ICONS_DRAWN = true;

const int SCREEN_HIDDEN = -1;  // a screenshot without interface
const int SCREEN_CURSOR_STACK = -142;

const vec2 UI_ATLAS_SIZE = vec2(1920.0, 1888.0);
const vec4 FONT_STRIP = vec4(0.0, 1464.0, 1920.0, 64.0);

// Font: the strip is shared evenly by its glyphs, glyph 0 the space. Each glyph is a 5 x 7 shape
// on a 7 x 9 grid stretched over its share, so sampling grid centres keeps the letters crisp and a
// cell is shown 7 wide for 9 high.
const uint FONT_GLYPHS = 91u;
const vec2 FONT_GRID = vec2(7.0, 9.0);
const float GLYPH_ASPECT = 7.0 / 9.0;

// A pixel blends at most this many elements; more never overlap in any screen.
const uint MAX_COVERING = 32u;

const uint KIND_FILL = 0u;     // a: sRGB colour and alpha
const uint KIND_PANEL = 1u;    // a.x panel index, a.y border
const uint KIND_PICTURE = 2u;  // a: source rectangle in the interface atlas
const uint KIND_ICON = 3u;     // a: the atlas rectangle of the item's material
const uint KIND_TEXT = 4u;     // a: sRGB colour and glyph height; b: interface word of the glyph bytes, count
const uint KIND_MAP = 5u;      // a.xy: columns and rows; b: interface word of the cell colours (0x00BBGGRR), count

struct Element {
    uint kind;
    vec4 rect;
    vec4 a;
    uvec2 b;  // a text's glyph word and glyph count
    uint pass;  // 0 the interface, 1 the stack under the cursor
};

vec2 P;    // this pixel, framebuffer pixels from the top left
vec4 acc;  // what is drawn so far, premultiplied

bool inside(vec4 rect, vec2 q) {
    return q.x >= rect.x && q.y >= rect.y && q.x < rect.x + rect.z && q.y < rect.y + rect.w;
}

uint interfaceWord(uint word) { return meta.words[word]; }

// An element is four quads: the rectangle, `a`, then kind, pass, glyph word and glyph count.
Element element(uint index) {
    uint w = META_INTERFACE_ELEMENTS + ELEMENT_WORDS * index;
    uvec4 c = metaQuad(w + 8u);
    Element e;
    e.rect = uintBitsToFloat(metaQuad(w));
    e.a = uintBitsToFloat(metaQuad(w + 4u));
    e.kind = c.x;
    e.pass = c.y;
    e.b = c.zw;
    return e;
}

// A tile's entries, 16 bits each: an element index, with this flag where its text's shadow is drawn.
const uint SHADOW_FLAG = 256u;
uint poolEntry(uint n) { return (interfaceWord(META_INTERFACE_POOL + n / 2u) >> (16u * (n % 2u))) & 65535u; }

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

vec2 panelCoord(Element e) {
    uint index = uint(e.a.x);
    vec2 local = P - e.rect.xy;
    float b = max(min(e.a.y, min(e.rect.z, e.rect.w) * 0.5), 1.0);
    vec2 t = clamp(vec2(sliceAxis(local.x, e.rect.z, b), sliceAxis(local.y, e.rect.w, b)), 0.5, 127.5);
    return vec2(128.0 * float(index % 3u), 128.0 * float(index / 3u)) + t;
}

vec2 pictureCoord(Element e) {
    vec2 t = clamp((P - e.rect.xy) / e.rect.zw * e.a.zw, vec2(0.5), e.a.zw - 0.5);
    return e.a.xy + t;
}

// An icon's texel as stored, sRGB.
vec4 iconTexel(Element e) {
    vec2 uv = clamp((P - e.rect.xy) / e.rect.zw, 0.0, 1.0);
    return textureLod(blockAtlas, e.a.xy + uv * e.a.zw, 0.0);
}

// The character of a text under q: its place in the text, where q lies in its cell, and whether q
// lies outside the text.
struct TextSpot {
    uint j;
    vec2 f;
    bool outside;
};

TextSpot textSpot(Element e, vec2 q) {
    float height = e.a.w;
    float w = height * GLYPH_ASPECT;
    vec2 local = q - e.rect.xy;
    TextSpot s;
    s.outside = local.x < 0.0 || local.y < 0.0 || local.y >= height || local.x >= w * float(e.b.y);
    s.j = uint(max(local.x, 0.0) / w);
    s.f = vec2(local.x / w - float(s.j), local.y / height);
    return s;
}

// Where in the font strip the character is sampled, from the word that holds its glyph byte; z < 0
// when nothing covers the spot.
vec3 glyphCoord(TextSpot s, uint word) {
    uint glyph = s.outside ? 0u : (word >> (8u * (s.j % 4u))) & 255u;
    vec2 centre = (floor(s.f * FONT_GRID) + 0.5) / FONT_GRID;
    vec2 cell = vec2(FONT_STRIP.z / float(FONT_GLYPHS), FONT_STRIP.w);
    vec2 at = FONT_STRIP.xy + vec2(float(glyph) * cell.x, 0.0) + centre * cell;
    return vec3(at, glyph == 0u || glyph >= FONT_GLYPHS ? -1.0 : 1.0);
}

// Every kind's value, and a text's shadow, from one interface atlas sample, so that the driver,
// which runs all of them, samples as little as it can.
void drawElement(Element e, bool shadow) {
    bool isText = e.kind == KIND_TEXT;
    float step = max(1.0, floor(e.a.w / 14.0));
    TextSpot spot = textSpot(e, shadow ? P - step : P);
    // A map cell's colour word or a text's glyph word, in one read (the driver reads the storage
    // buffer lane by lane); other kinds read the header word and leave it.
    bool isMap = e.kind == KIND_MAP;
    uvec2 cell = uvec2(clamp((P - e.rect.xy) / e.rect.zw, 0.0, 0.9999) * max(e.a.xy, vec2(1.0)));
    uint cellWord = min(e.b.x + cell.y * uint(e.a.x) + cell.x, e.b.x + max(e.b.y, 1u) - 1u);
    uint glyphWord = isText && !spot.outside ? e.b.x + spot.j / 4u : META_INTERFACE_HEADER;
    uint packed = interfaceWord(isMap ? cellWord : glyphWord);
    vec3 glyph = glyphCoord(spot, packed);
    vec2 coord = e.kind == KIND_PANEL ? panelCoord(e) : (e.kind == KIND_PICTURE ? pictureCoord(e) : glyph.xy);
    vec4 sampled = uiTexel(coord);
    bool isIcon = e.kind == KIND_ICON;
    vec4 icon = ICONS_DRAWN ? iconTexel(e) : vec4(0.0);
    vec3 mapColour = vec3(uvec3(packed, packed >> 8, packed >> 16) & 255u) / 255.0;
    // One decode serves an icon's texel, a map cell's and a fill's or text's colour.
    vec3 linear = srgbToLinear(isIcon ? icon.rgb : (isMap ? mapColour : e.a.rgb));
    float ink = glyph.z < 0.0 ? 0.0 : sampled.a;
    vec4 colour = isText ? vec4(linear, ink) : sampled;
    if (e.kind == KIND_FILL) colour = vec4(linear, e.a.a);
    if (isIcon) colour = e.a.z <= 0.0 ? vec4(0.0) : vec4(linear, icon.a);
    if (isMap) colour = vec4(linear, e.b.y == 0u ? 0.0 : 1.0);
    put(shadow ? vec4(0.0, 0.0, 0.0, ink * 0.55) : colour);
}

void main() {
    if (ui.screen == SCREEN_HIDDEN) discard;
    P = gl_FragCoord.xy;
    acc = vec4(0.0);
    uint tileSize = inInterfaceHeader.y;
    uint columns = inInterfaceHeader.z;
    uint rows = inInterfaceHeader.w;
    uvec2 tile = min(uvec2(P) / max(tileSize, 1u), uvec2(columns, rows) - 1u);
    uint entry = interfaceWord(META_INTERFACE_TILES + tile.y * columns + tile.x);
    uint first = entry >> 9;
    uint covering = 0u;
    uint pass = ui.screen == SCREEN_CURSOR_STACK ? 1u : 0u;
    // The elements that cover the whole screen come first, then the tile's own.
    uint sharedCount = inInterfaceHeader.x;
    for (uint i = 0u; i < sharedCount + (entry & 511u); ++i) {
        uint pooled = poolEntry(first + max(i, sharedCount) - sharedCount);
        uint k = i < sharedCount ? i : pooled;
        bool shadow = k >= SHADOW_FLAG;
        Element e = element(k & (SHADOW_FLAG - 1u));
        if (e.pass != pass || !inside(e.rect, P) || covering >= MAX_COVERING) continue;
        // A text counts once, at its body.
        if (!shadow) ++covering;
        drawElement(e, shadow);
    }
    if (acc.a <= 0.002) discard;
    outColour = vec4(acc.rgb / acc.a, acc.a);
}
