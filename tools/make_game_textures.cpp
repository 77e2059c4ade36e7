// Writes the shipped textures under the directory given as the only argument (the repository root;
// the current directory when none is given): the 16 x 16 block textures in Assets/Textures/Blocks,
// the player body-part textures in Assets/Textures/Character, and the interface panels, the menu
// background and the font strip in Assets/Textures/UI.
#include <array>
#include <cmath>
#include <exception>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "tools/font_glyphs.h"
#include "tools/skin_palette.h"
#include "tools/texture_canvas.h"

namespace fs = std::filesystem;
using texgen::Canvas;
using texgen::Colour;
using texgen::noise;
using texgen::shaded;
using namespace texgen;

namespace {

constexpr int kTile = 16;

// A colour with a little per-pixel grain of up to `amount` either way.
Colour grained(Colour c, int x, int y, uint32_t salt, int amount) {
    return shaded(c, static_cast<int>((noise(x, y, salt) * 2.0 - 1.0) * amount));
}

Canvas paintTile(const std::function<Colour(int, int)>& paint) {
    Canvas tile(kTile, kTile);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) tile.set(x, y, paint(x, y));
    return tile;
}

// ---- Block textures ----

const Colour kGrass{96, 160, 62};
const Colour kDirt{134, 96, 67};
const Colour kStone{125, 125, 125};

Colour grassTop(int x, int y) {
    if (noise(x, y, 11) > 0.86) return {124, 188, 82};
    return grained(kGrass, x, y, 1, 16);
}

Colour dirt(int x, int y) {
    const double n = noise(x, y, 3);
    if (n > 0.93) return {164, 126, 92};
    if (n < 0.08) return {98, 68, 46};
    return grained(kDirt, x, y, 2, 12);
}

Colour grassSide(int x, int y) {
    const int depth = 3 + (noise(x, 0, 4) > 0.5 ? 1 : 0) + (noise(x, 0, 5) > 0.8 ? 1 : 0);
    if (y < depth) return grained(kGrass, x, y, 1, 14);
    if (y == depth) return grained({78, 118, 52}, x, y, 6, 8);
    return dirt(x, y);
}

Colour stone(int x, int y) {
    const double n = noise(x, y, 7);
    if (n > 0.9) return {96, 96, 98};
    if (n < 0.06) return {150, 150, 150};
    return grained(kStone, x, y, 8, 10);
}

Colour sand(int x, int y) {
    if (noise(x, y, 9) > 0.88) return {196, 182, 132};
    return grained({219, 207, 158}, x, y, 10, 7);
}

Colour water(int x, int y) {
    const bool crest = (x + 3 * (y / 4)) % 8 < 3 && y % 4 == 1;
    if (crest) return {92, 146, 228};
    return grained({52, 98, 196}, x, y, 12, 8);
}

Colour bedrock(int x, int y) {
    const double n = noise(x / 2, y / 2, 13) * 0.7 + noise(x, y, 14) * 0.3;
    if (n > 0.66) return {124, 124, 124};
    if (n > 0.36) return {78, 78, 80};
    return {36, 36, 38};
}

Colour woodTop(int x, int y) {
    const double d = std::hypot(x - 7.5, y - 7.5);
    if (d > 6.9) return grained({98, 72, 42}, x, y, 15, 8);
    const bool ring = static_cast<int>(d * 1.15) % 2 == 0;
    return grained(ring ? Colour{178, 140, 86} : Colour{150, 112, 64}, x, y, 16, 6);
}

Colour woodSide(int x, int y) {
    const bool groove = noise(x, 0, 17) > 0.62 || (noise(x, y / 3, 18) > 0.9);
    return grained(groove ? Colour{72, 52, 30} : Colour{108, 80, 47}, x, y, 19, 9);
}

Colour leaves(int x, int y) {
    const double n = noise(x, y, 20);
    if (n > 0.84) return {0, 0, 0, 0};
    if (n < 0.2) return {40, 98, 32};
    return grained({62, 134, 48}, x, y, 21, 16);
}

// Ore pockets in the same places on every ore, the first pixel of each a highlight.
const std::array<std::vector<std::array<int, 2>>, 5> kOrePockets = {{
    {{3, 3}, {4, 3}, {3, 4}},
    {{11, 2}, {10, 2}, {11, 3}, {12, 3}},
    {{7, 8}, {6, 8}, {7, 9}, {8, 9}},
    {{12, 11}, {12, 10}, {13, 11}},
    {{3, 12}, {2, 12}, {3, 13}, {4, 13}},
}};

std::function<Colour(int, int)> ore(Colour vein) {
    return [vein](int x, int y) {
        for (const auto& pocket : kOrePockets) {
            for (std::size_t i = 0; i < pocket.size(); ++i) {
                if (pocket[i][0] == x && pocket[i][1] == y) return i == 0 ? shaded(vein, 40) : grained(vein, x, y, 22, 8);
            }
        }
        return stone(x, y);
    };
}

std::map<std::string, Canvas> paintBlockTextures() {
    std::map<std::string, Canvas> tiles;
    tiles.emplace("air", Canvas(kTile, kTile));
    tiles.emplace("grass_top", paintTile(grassTop));
    tiles.emplace("grass_side", paintTile(grassSide));
    tiles.emplace("dirt", paintTile(dirt));
    tiles.emplace("stone", paintTile(stone));
    tiles.emplace("sand", paintTile(sand));
    tiles.emplace("water", paintTile(water));
    tiles.emplace("bedrock", paintTile(bedrock));
    tiles.emplace("wood_top", paintTile(woodTop));
    tiles.emplace("wood_side", paintTile(woodSide));
    tiles.emplace("leaves", paintTile(leaves));
    tiles.emplace("coal_ore", paintTile(ore({38, 38, 40})));
    tiles.emplace("iron_ore", paintTile(ore({206, 160, 128})));
    tiles.emplace("gold_ore", paintTile(ore({236, 196, 58})));
    tiles.emplace("diamond_ore", paintTile(ore({84, 214, 210})));
    return tiles;
}

// ---- Character body parts (the colours of the shipped player skin) ----


// The face on an 8 x 8 grid, drawn two pixels to a cell.
Colour headFront(int x, int y) {
    const int column = x / 2, row = y / 2;
    const bool leftEye = column == 1 || column == 2;
    const bool rightEye = column == 5 || column == 6;
    if (row < 2) return kHair;
    if (row == 2) return (leftEye || rightEye) ? kBrow : kSkinTone;
    if (row == 3 && leftEye) return column == 1 ? kEyeWhite : kIris;
    if (row == 3 && rightEye) return column == 6 ? kEyeWhite : kIris;
    if (row == 4 && (column == 3 || column == 4)) return kSkinShadow;
    if (row == 6 && (column == 3 || column == 4)) return kMouth;
    return kSkinTone;
}

Colour headSide(int x, int y) {
    if (y < 4) return kHair;
    return (y >= 8 && y < 11 && x >= 6 && x < 10) ? kSkinShadow : kSkinTone;
}

Colour torso(int y, bool front, int x) {
    const bool middle = x >= 6 && x < 10;
    if (front && y < 2 && middle) return kSkinTone;
    if (y == 11 || y == 12) return (front && middle) ? kBuckle : kBelt;
    return y > 12 ? kTunicDark : kTunic;
}

Colour arm(int y) {
    if (y < 9) return kTunic;
    if (y == 9) return kTunicDark;
    return y == kTile - 1 ? kSkinShadow : kSkinTone;
}

Colour leg(int y) {
    if (y < 10) return kTrousers;
    if (y == 10) return kBootCuff;
    return kBoot;
}

Colour plain(Colour c, int x, int y) {
    return grained(c, x, y, 30, 5);
}

std::map<std::string, Canvas> paintBodyParts() {
    std::map<std::string, Canvas> parts;
    parts.emplace("head", paintTile([](int x, int y) { return plain(headSide(x, y), x, y); }));
    parts.emplace("head_front", paintTile([](int x, int y) { return plain(headFront(x, y), x, y); }));
    parts.emplace("head_top", paintTile([](int x, int y) { return plain(kHair, x, y); }));
    parts.emplace("head_back", paintTile([](int x, int y) { return plain(y < 14 ? kHair : kSkinShadow, x, y); }));
    parts.emplace("head_bottom", paintTile([](int x, int y) { return plain(kSkinShadow, x, y); }));
    parts.emplace("body", paintTile([](int x, int y) { return plain(torso(y, false, x), x, y); }));
    parts.emplace("body_front", paintTile([](int x, int y) { return plain(torso(y, true, x), x, y); }));
    parts.emplace("body_top", paintTile([](int x, int y) { return plain(kTunic, x, y); }));
    parts.emplace("body_bottom", paintTile([](int x, int y) { return plain(kTrousers, x, y); }));
    for (const char* side : {"left", "right"}) {
        const std::string armName = std::string(side) + "_arm";
        const std::string legName = std::string(side) + "_leg";
        parts.emplace(armName, paintTile([](int x, int y) { return plain(arm(y), x, y); }));
        parts.emplace(armName + "_top", paintTile([](int x, int y) { return plain(kTunic, x, y); }));
        parts.emplace(armName + "_bottom", paintTile([](int x, int y) { return plain(kSkinShadow, x, y); }));
        parts.emplace(legName, paintTile([](int x, int y) { return plain(leg(y), x, y); }));
        parts.emplace(legName + "_top", paintTile([](int x, int y) { return plain(kTrousers, x, y); }));
        parts.emplace(legName + "_bottom", paintTile([](int x, int y) { return plain(kSole, x, y); }));
    }
    return parts;
}

// ---- Interface panels ----

constexpr int kPanel = 128;

struct PanelStyle {
    Colour outline, light, dark, fill;
    int bevel;
    bool sunken;
};

Colour panelPixel(const PanelStyle& style, int x, int y) {
    const int last = kPanel - 1;
    const bool corner = (x == 0 || x == last) && (y == 0 || y == last);
    if (corner) return {0, 0, 0, 0};
    if (x == 0 || y == 0 || x == last || y == last) return style.outline;
    const int fromTopLeft = std::min(x, y) - 1;
    const int fromBottomRight = std::min(last - x, last - y) - 1;
    if (std::min(fromTopLeft, fromBottomRight) < style.bevel) {
        const bool upper = fromTopLeft < fromBottomRight;
        return (upper != style.sunken) ? style.light : style.dark;
    }
    return grained(style.fill, x, y, 40, 3);
}

Canvas paintPanel(const PanelStyle& style) {
    Canvas panel(kPanel, kPanel);
    for (int y = 0; y < kPanel; ++y)
        for (int x = 0; x < kPanel; ++x) panel.set(x, y, panelPixel(style, x, y));
    return panel;
}

const std::array<std::pair<const char*, PanelStyle>, 9> kPanels = {{
    {"window.png", {{24, 20, 18}, {168, 152, 124}, {88, 78, 64}, {72, 69, 64}, 5, false}},
    {"title.png", {{30, 20, 12}, {226, 190, 110}, {140, 100, 48}, {118, 80, 46}, 5, false}},
    {"slot.png", {{20, 18, 16}, {130, 122, 108}, {34, 32, 30}, {52, 49, 45}, 6, true}},
    {"slot_hover.png", {{230, 214, 160}, {176, 166, 140}, {60, 56, 50}, {86, 82, 74}, 6, true}},
    {"slot_selected.png", {{255, 224, 120}, {240, 200, 90}, {190, 140, 40}, {60, 56, 50}, 8, false}},
    {"tooltip.png", {{12, 8, 20}, {110, 80, 170}, {70, 50, 120}, {26, 20, 40, 235}, 3, false}},
    {"button.png", {{16, 14, 12}, {176, 170, 160}, {74, 70, 64}, {120, 114, 106}, 6, false}},
    {"button_hover.png", {{16, 14, 12}, {190, 205, 240}, {80, 95, 140}, {122, 138, 182}, 6, false}},
    {"button_pressed.png", {{16, 14, 12}, {150, 145, 135}, {56, 52, 48}, {88, 84, 78}, 6, true}},
}};

// ---- Menu background: a blocky landscape under a morning sky ----

constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr int kBlock = 64;

void paintSky(Canvas& canvas) {
    for (int y = 0; y < kScreenHeight; ++y) {
        const Colour row = texgen::mix({64, 124, 200}, {178, 210, 236}, std::min(1.0, y / 760.0));
        for (int x = 0; x < kScreenWidth; ++x) canvas.set(x, y, row);
    }
}

void paintSun(Canvas& canvas) {
    const int cx = 1460, cy = 190, half = 60, glow = 26;
    for (int y = cy - half - glow; y < cy + half + glow; ++y) {
        for (int x = cx - half - glow; x < cx + half + glow; ++x) {
            const Colour sky = texgen::mix({64, 124, 200}, {178, 210, 236}, std::min(1.0, y / 760.0));
            const bool core = std::abs(x - cx) < half && std::abs(y - cy) < half;
            canvas.set(x, y, core ? Colour{255, 242, 176} : texgen::mix(sky, {255, 248, 214}, 0.35));
        }
    }
}

void paintClouds(Canvas& canvas) {
    // Each cloud: left, top and rows of 32-pixel cells as (first cell, cell count).
    struct Cloud {
        int left, top;
        std::vector<std::array<int, 2>> rows;
    };
    const std::vector<Cloud> clouds = {
        {180, 140, {{2, 4}, {0, 9}, {1, 6}}},
        {760, 90, {{1, 3}, {0, 7}}},
        {1000, 300, {{3, 5}, {0, 11}, {2, 6}}},
        {1660, 380, {{1, 4}, {0, 6}}},
    };
    for (const Cloud& cloud : clouds) {
        for (std::size_t r = 0; r < cloud.rows.size(); ++r) {
            const int x0 = cloud.left + 32 * cloud.rows[r][0];
            const int y0 = cloud.top + 32 * static_cast<int>(r);
            for (int y = y0; y < y0 + 32; ++y)
                for (int x = x0; x < x0 + 32 * cloud.rows[r][1]; ++x) canvas.blend(x, y, {250, 252, 255, 215});
        }
    }
}

void paintHills(Canvas& canvas, Colour colour, int base, double amplitude, double frequency, double phase) {
    for (int column = 0; column < kScreenWidth; column += 32) {
        const double t = column * frequency + phase;
        const int top = base - static_cast<int>(amplitude * (std::sin(t) + 0.5 * std::sin(2.3 * t + 1.1)));
        const int snapped = top / 16 * 16;
        canvas.fill(column, snapped, column + 32, kScreenHeight, colour);
    }
}

// A 16 x 16 texture drawn four times larger.
void drawBlock(Canvas& canvas, const Canvas& texture, int left, int top, int alpha = 255) {
    for (int y = 0; y < kBlock; ++y) {
        for (int x = 0; x < kBlock; ++x) {
            Colour c = texture.get(x / 4, y / 4);
            if (c.a == 0) continue;
            c.a = alpha;
            canvas.blend(left + x, top + y, c);
        }
    }
}

int terrainHeight(int column) {
    const double t = column;
    return 5 + static_cast<int>(std::lround(1.6 * std::sin(t * 0.45) + 1.0 * std::sin(t * 0.9 + 1.3)));
}

void paintTree(Canvas& canvas, const std::map<std::string, Canvas>& blocks, int column, int groundTop) {
    const int trunkLeft = column * kBlock;
    for (int k = 1; k <= 3; ++k) drawBlock(canvas, blocks.at("wood_side"), trunkLeft, groundTop - k * kBlock);
    const int crownBottom = groundTop - 3 * kBlock;
    for (int dx = -2; dx <= 2; ++dx) {
        for (int dy = 1; dy <= 2; ++dy) drawBlock(canvas, blocks.at("leaves"), trunkLeft + dx * kBlock, crownBottom - dy * kBlock);
    }
    for (int dx = -1; dx <= 1; ++dx) drawBlock(canvas, blocks.at("leaves"), trunkLeft + dx * kBlock, crownBottom - 3 * kBlock);
}

void paintTerrain(Canvas& canvas, const std::map<std::string, Canvas>& blocks) {
    constexpr int kWaterLevel = 4;
    const int columns = kScreenWidth / kBlock;
    for (int column = 0; column < columns; ++column) {
        const int height = terrainHeight(column);
        const int left = column * kBlock;
        for (int level = 0; level < height; ++level) {
            const int depth = height - 1 - level;
            const char* name = depth == 0 ? (height <= kWaterLevel ? "sand" : "grass_side") : depth < 3 ? "dirt" : "stone";
            if (depth >= 3 && noise(column, level, 50) > 0.86) name = noise(column, level, 51) > 0.5 ? "coal_ore" : "iron_ore";
            drawBlock(canvas, blocks.at(name), left, kScreenHeight - (level + 1) * kBlock);
        }
        for (int level = height; level < kWaterLevel; ++level)
            drawBlock(canvas, blocks.at("water"), left, kScreenHeight - (level + 1) * kBlock, 200);
    }
    for (const int column : {5, 21, 27}) {
        if (terrainHeight(column) > kWaterLevel) paintTree(canvas, blocks, column, kScreenHeight - terrainHeight(column) * kBlock);
    }
}

Canvas paintMenuBackground(const std::map<std::string, Canvas>& blocks) {
    Canvas canvas(kScreenWidth, kScreenHeight);
    paintSky(canvas);
    paintSun(canvas);
    paintClouds(canvas);
    paintHills(canvas, {138, 174, 170}, 610, 70.0, 0.0031, 0.4);
    paintHills(canvas, {96, 142, 104}, 700, 60.0, 0.0047, 2.0);
    paintTerrain(canvas, blocks);
    return canvas;
}

// ---- Output ----

void writeAll(const std::map<std::string, Canvas>& pictures, const fs::path& folder) {
    fs::create_directories(folder);
    for (const auto& [name, picture] : pictures) picture.write(folder / (name + ".png"));
}

void writeInterface(const fs::path& folder, const std::map<std::string, Canvas>& blocks) {
    fs::create_directories(folder);
    for (const auto& [file, style] : kPanels) paintPanel(style).write(folder / file);
    paintMenuBackground(blocks).write(folder / "menu_background.png");
    texgen::paintFont().write(folder / "font.png");
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const fs::path root = argc > 1 ? fs::path(argv[1]) : fs::current_path();
        const fs::path textures = root / "Assets" / "Textures";
        const std::map<std::string, Canvas> blocks = paintBlockTextures();
        writeAll(blocks, textures / "Blocks");
        writeAll(paintBodyParts(), textures / "Character");
        writeInterface(textures / "UI", blocks);
        std::cout << "Wrote the textures under " << textures.string() << '\n';
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "make_game_textures: " << error.what() << '\n';
        return 1;
    }
}
