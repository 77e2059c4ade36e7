#include "tools/pack_textures.h"

#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>

namespace packgen {
namespace {

using texgen::Canvas;
using texgen::Colour;
using texgen::mix;
using texgen::noise;
using texgen::shaded;

constexpr int kTile = 16;
const Colour kClear{0, 0, 0, 0};
const Colour kOutline{38, 30, 26};
const Colour kWood{146, 104, 58};
const Colour kDarkWood{98, 68, 38};
const Colour kIron{196, 198, 204};
const Colour kGold{236, 196, 64};
const Colour kStoneGrey{126, 126, 126};
const Colour kLeaf{78, 150, 52};

Colour grained(Colour c, int x, int y, uint32_t salt, int amount) {
    return shaded(c, static_cast<int>((noise(x, y, salt) * 2.0 - 1.0) * amount));
}

Canvas filled(const std::function<Colour(int, int)>& paint) {
    Canvas tile(kTile, kTile);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) tile.set(x, y, paint(x, y));
    return tile;
}

Canvas clear() {
    return Canvas(kTile, kTile);
}

void line(Canvas& c, int x0, int y0, int x1, int y1, Colour colour) {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        c.set(x0, y0, colour);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// Fills every pixel whose centre the predicate accepts.
void region(Canvas& c, const std::function<bool(double, double)>& inside,
            const std::function<Colour(int, int)>& paint) {
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x)
            if (inside(x + 0.5, y + 0.5)) c.set(x, y, paint(x, y));
}

void disc(Canvas& c, double cx, double cy, double r, Colour colour) {
    region(
        c, [&](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; },
        [&](int, int) { return colour; });
}

// Pixels on a circle's band between two angles (degrees, y downwards).
void arc(Canvas& c, double cx, double cy, double r, double a0, double a1, double width, Colour colour) {
    region(
        c,
        [&](double x, double y) {
            const double d = std::hypot(x - cx, y - cy);
            double a = std::atan2(y - cy, x - cx) * 57.29577951308232;
            if (a < 0) a += 360.0;
            return std::fabs(d - r) <= width / 2 && a >= a0 && a <= a1;
        },
        [&](int, int) { return colour; });
}

// A dark rim around the opaque pixels so that an item reads against any background.
void outline(Canvas& c, Colour colour = kOutline) {
    const Canvas before = c;
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            if (before.get(x, y).a != 0) continue;
            static const int dx[4] = {1, -1, 0, 0}, dy[4] = {0, 0, 1, -1};
            for (int k = 0; k < 4; ++k) {
                const int nx = x + dx[k], ny = y + dy[k];
                if (nx < 0 || ny < 0 || nx >= kTile || ny >= kTile) continue;
                if (before.get(nx, ny).a != 0) {
                    c.set(x, y, colour);
                    break;
                }
            }
        }
    }
}

Colour planksPixel(Colour base, int x, int y, uint32_t salt) {
    const int board = y / 4;
    if (y % 4 == 3) return shaded(base, -38);
    const int joint = (board * 7 + 3) % 16;
    if (x == joint) return shaded(base, -30);
    const Colour boardColour = shaded(base, static_cast<int>(noise(board, 0, salt) * 16) - 8);
    return grained(boardColour, x, y, salt + 1, 7);
}

Colour bricksPixel(Colour brick, Colour mortar, int x, int y, uint32_t salt) {
    const int row = y / 4;
    const int offset = row % 2 == 0 ? 0 : 4;
    if (y % 4 == 3 || (x + offset) % 8 == 7) return mortar;
    return grained(brick, x, y, salt, 10);
}

Colour stonePixel(Colour base, int x, int y, uint32_t salt) {
    const double n = noise(x, y, salt);
    if (n > 0.9) return shaded(base, -26);
    if (n < 0.07) return shaded(base, 22);
    return grained(base, x, y, salt + 1, 9);
}

// Specks of an ore over a rock.
Canvas ore(Colour rock, Colour speck, uint32_t salt) {
    return filled([=](int x, int y) {
        const int cx = x / 4, cy = y / 4;
        const bool cluster = noise(cx, cy, salt) > 0.55;
        if (cluster && noise(x, y, salt + 3) > 0.45 && x % 4 != 0 && y % 4 != 0)
            return grained(speck, x, y, salt + 4, 14);
        return stonePixel(rock, x, y, salt + 5);
    });
}

// ---- Plants ----

Canvas tallGrass() {
    Canvas c = clear();
    static const int heights[] = {0, 7, 0, 11, 5, 0, 13, 9, 0, 12, 6, 0, 10, 8, 0, 5};
    for (int x = 0; x < kTile; ++x) {
        for (int h = 0; h < heights[x]; ++h) {
            const int lean = (h > 6 && x % 3 == 0) ? 1 : 0;
            c.set(x + lean, 15 - h, grained(h > heights[x] - 3 ? Colour{120, 190, 70} : kLeaf, x, h, 21, 12));
        }
    }
    return c;
}

Canvas flower() {
    Canvas c = clear();
    line(c, 8, 15, 8, 7, {60, 130, 44});
    line(c, 8, 12, 5, 10, kLeaf);
    line(c, 8, 11, 11, 9, kLeaf);
    disc(c, 8.5, 5.0, 3.6, {214, 48, 58});
    disc(c, 8.5, 5.0, 1.5, {250, 214, 70});
    c.set(7, 3, {240, 110, 110});
    return c;
}

Canvas wheatStage(int stage) {
    Canvas c = clear();
    const int height = 4 + stage * 4;
    const Colour stalk = stage < 3 ? mix(kLeaf, Colour{190, 180, 70}, stage / 3.0) : Colour{200, 170, 70};
    for (int x = 1; x < kTile; x += 3) {
        const int h = height - static_cast<int>(noise(x, stage, 31) * 3);
        line(c, x, 15, x + (x % 2), 15 - h, stalk);
        if (stage == 3) {
            for (int k = 0; k < 4; ++k) c.set(x + (x % 2) + (k % 2), 15 - h + k, {226, 190, 88});
        }
    }
    return c;
}

// ---- Items ----

// A tool: a handle from the lower left up to (hx, hy) and a head painted on top.
Canvas handle(int hx, int hy) {
    Canvas c = clear();
    line(c, 2, 13, hx, hy, kWood);
    line(c, 3, 13, hx + 1, hy, kDarkWood);
    return c;
}

Canvas pickaxe(Colour head) {
    Canvas c = handle(10, 5);
    arc(c, 4.0, 12.0, 10.5, 270.0, 360.0, 2.4, head);
    arc(c, 4.0, 12.0, 11.3, 280.0, 350.0, 0.9, shaded(head, 30));
    outline(c);
    return c;
}

Canvas axe() {
    Canvas c = handle(11, 3);
    region(
        c,
        [](double x, double y) {
            return y > 1 && y < 9 && x > 5 && x < 11 && (x - 11) * (x - 11) + (y - 5) * (y - 5) < 26;
        },
        [](int x, int y) { return grained(kIron, x, y, 41, 10); });
    line(c, 6, 3, 6, 7, shaded(kIron, 40));
    outline(c);
    return c;
}

Canvas sword() {
    Canvas c = clear();
    line(c, 5, 10, 13, 2, kIron);
    line(c, 6, 10, 14, 2, shaded(kIron, -40));
    line(c, 5, 9, 12, 2, shaded(kIron, 40));
    line(c, 3, 8, 7, 12, kGold);
    line(c, 2, 13, 4, 11, kDarkWood);
    c.set(1, 14, kGold);
    outline(c);
    return c;
}

Canvas hoe() {
    Canvas c = handle(11, 4);
    line(c, 8, 3, 12, 3, kIron);
    line(c, 8, 4, 8, 6, kIron);
    line(c, 9, 4, 9, 5, shaded(kIron, -40));
    outline(c);
    return c;
}

Canvas helmet(Colour metal) {
    Canvas c = clear();
    region(
        c,
        [](double x, double y) { return y > 2 && y < 13 && (x - 8) * (x - 8) + (y - 9) * (y - 9) <= 42.0; },
        [&](int x, int y) { return grained(y < 6 ? shaded(metal, 25) : metal, x, y, 51, 8); });
    region(
        c, [](double x, double y) { return x > 5 && x < 11 && y > 9 && y < 13; },
        [](int, int) { return kClear; });
    line(c, 3, 8, 12, 8, shaded(metal, -45));
    outline(c);
    return c;
}

Canvas chestplate(Colour cloth, Colour trim) {
    Canvas c = clear();
    region(
        c,
        [](double x, double y) {
            if (y < 2 || y > 15) return false;
            if (y < 5) return x > 1 && x < 15 && !(x > 5.5 && x < 10.5);
            return x > 3 && x < 13;
        },
        [&](int x, int y) { return grained(x == 7 || x == 8 ? shaded(cloth, -18) : cloth, x, y, 52, 8); });
    line(c, 6, 4, 9, 4, trim);
    line(c, 2, 2, 5, 2, trim);
    line(c, 10, 2, 13, 2, trim);
    outline(c);
    return c;
}

Canvas leggings(Colour metal) {
    Canvas c = clear();
    region(
        c,
        [](double x, double y) {
            if (y < 2 || y > 14) return false;
            if (y < 5) return x > 3 && x < 13;
            return (x > 3 && x < 7.5) || (x > 8.5 && x < 13);
        },
        [&](int x, int y) { return grained(y < 4 ? shaded(metal, -30) : metal, x, y, 53, 8); });
    outline(c);
    return c;
}

Canvas boots(Colour metal) {
    Canvas c = clear();
    region(
        c,
        [](double x, double y) {
            const bool shafts = y > 3 && y < 14 && ((x > 1 && x < 6) || (x > 9 && x < 14));
            const bool toes = y > 10 && y < 14 && ((x > 1 && x < 8) || (x > 9 && x < 16));
            return shafts || toes;
        },
        [&](int x, int y) {
            return grained(y < 6 ? shaded(metal, 30) : (y > 12 ? shaded(metal, -50) : metal), x, y, 54, 8);
        });
    outline(c);
    return c;
}

Canvas bow() {
    Canvas c = clear();
    arc(c, 15.0, 8.0, 10.0, 130.0, 230.0, 2.0, kWood);
    arc(c, 15.0, 8.0, 10.6, 170.0, 190.0, 1.0, kGold);
    line(c, 8, 1, 8, 14, {224, 224, 224});
    outline(c);
    return c;
}

Canvas arrow() {
    Canvas c = clear();
    line(c, 3, 12, 11, 4, kWood);
    line(c, 10, 2, 13, 2, kIron);
    line(c, 13, 2, 13, 5, kIron);
    line(c, 11, 3, 12, 4, shaded(kIron, -40));
    line(c, 1, 12, 3, 14, {236, 236, 236});
    line(c, 2, 11, 4, 13, {200, 60, 60});
    outline(c);
    return c;
}

Canvas shield() {
    Canvas c = clear();
    region(
        c,
        [](double x, double y) {
            if (y < 1 || x < 2 || x > 14) return false;
            if (y < 10) return true;
            return std::fabs(x - 8) < (15.5 - y) * 1.2;
        },
        [](int x, int y) {
            if (x == 2 || x == 13 || y == 1) return kIron;
            return planksPixel(Colour{150, 110, 60}, y, x, 61);
        });
    disc(c, 8.0, 7.5, 1.8, kIron);
    outline(c);
    return c;
}

Canvas glider() {
    Canvas c = clear();
    region(
        c, [](double x, double y) { return y > 2 && y < 10 && std::fabs(x - 8) < (y - 2) * 1.15; },
        [](int x, int) {
            return (x / 2) % 2 ? Colour{80, 140, 210} : Colour{235, 235, 240};
        });
    line(c, 8, 2, 1, 9, kDarkWood);
    line(c, 8, 2, 15, 9, kDarkWood);
    line(c, 8, 2, 8, 13, kDarkWood);
    line(c, 5, 13, 11, 13, kIron);
    outline(c);
    return c;
}

Canvas stick() {
    Canvas c = clear();
    line(c, 4, 12, 11, 3, kWood);
    line(c, 5, 12, 12, 3, kDarkWood);
    outline(c);
    return c;
}

Canvas lump(Colour base, uint32_t salt) {
    Canvas c = clear();
    region(
        c, [](double x, double y) { return (x - 8) * (x - 8) / 30.0 + (y - 8.5) * (y - 8.5) / 20.0 <= 1.0; },
        [&](int x, int y) {
            return grained(noise(x, y, salt) > 0.8 ? shaded(base, 40) : base, x, y, salt + 1, 10);
        });
    outline(c);
    return c;
}

Canvas ingot(Colour metal) {
    Canvas c = clear();
    region(
        c,
        [](double x, double y) {
            return y > 5 && y < 11 && x > 2 + (11 - y) * 0.4 && x < 14 - (11 - y) * 0.4;
        },
        [&](int x, int y) {
            return y < 7 ? shaded(metal, 35) : (y > 9 ? shaded(metal, -35) : grained(metal, x, y, 71, 6));
        });
    outline(c);
    return c;
}

Canvas gem(Colour body, uint32_t salt) {
    Canvas c = clear();
    region(
        c,
        [](double x, double y) {
            if (y < 3 || y > 14) return false;
            if (y < 6) return x > 4 + (6 - y) && x < 12 - (6 - y);
            return std::fabs(x - 8) < (14.5 - y) * 0.75;
        },
        [&](int x, int y) {
            return grained(y < 6 ? shaded(body, 40) : (x < 8 ? body : shaded(body, -30)), x, y, salt, 6);
        });
    outline(c);
    return c;
}

Canvas stringCoil() {
    Canvas c = clear();
    for (int x = 2; x < 14; ++x) {
        const int y = 8 + static_cast<int>(std::lround(3.0 * std::sin(x * 0.9)));
        c.set(x, y, {232, 232, 226});
        c.set(x, y + 1, {190, 190, 184});
    }
    outline(c);
    return c;
}

Canvas wheatBundle() {
    Canvas c = clear();
    const Colour straw{214, 180, 80};
    line(c, 4, 14, 8, 5, straw);
    line(c, 8, 14, 8, 4, straw);
    line(c, 12, 14, 8, 5, straw);
    for (int k = 0; k < 4; ++k) {
        c.set(7 + k % 2, 1 + k, {236, 206, 110});
        c.set(5 + k % 2, 2 + k, {226, 190, 90});
        c.set(10 + k % 2, 2 + k, {226, 190, 90});
    }
    line(c, 6, 10, 10, 10, {150, 110, 50});
    outline(c);
    return c;
}

Canvas seeds() {
    Canvas c = clear();
    static const int spots[][2] = {{4, 6}, {8, 4}, {11, 7}, {6, 10}, {10, 11}, {7, 7}, {3, 11}, {12, 3}};
    for (const auto& s : spots) {
        c.set(s[0], s[1], {120, 170, 60});
        c.set(s[0] + 1, s[1], {90, 140, 44});
    }
    outline(c);
    return c;
}

Canvas bread() {
    Canvas c = clear();
    region(
        c, [](double x, double y) { return (x - 8) * (x - 8) / 42.0 + (y - 9) * (y - 9) / 14.0 <= 1.0; },
        [](int x, int y) {
            return grained(y < 8 ? Colour{204, 150, 72} : Colour{176, 118, 52}, x, y, 81, 8);
        });
    for (int k = 0; k < 3; ++k) line(c, 5 + k * 3, 6, 6 + k * 3, 8, {236, 196, 120});
    outline(c);
    return c;
}

Canvas apple() {
    Canvas c = clear();
    disc(c, 8.0, 9.5, 5.3, {200, 34, 40});
    disc(c, 6.5, 8.0, 1.3, {240, 120, 110});
    line(c, 8, 2, 8, 4, kDarkWood);
    line(c, 9, 3, 11, 2, kLeaf);
    outline(c);
    return c;
}

Canvas meat(Colour flesh, Colour fat) {
    Canvas c = clear();
    region(
        c,
        [](double x, double y) {
            return (x - 8) * (x - 8) / 40.0 + (y - 8) * (y - 8) / 22.0 <= 1.0 && !(x > 12 && y < 6);
        },
        [&](int x, int y) { return grained(flesh, x, y, 91, 10); });
    arc(c, 8.0, 8.0, 4.0, 200.0, 340.0, 1.0, fat);
    disc(c, 4.5, 9.0, 1.1, {236, 230, 220});
    outline(c);
    return c;
}

Canvas bone() {
    Canvas c = clear();
    const Colour white{236, 232, 216};
    line(c, 4, 11, 11, 4, white);
    line(c, 5, 11, 11, 5, white);
    disc(c, 3.0, 11.5, 1.6, white);
    disc(c, 4.5, 13.0, 1.6, white);
    disc(c, 11.5, 3.0, 1.6, white);
    disc(c, 13.0, 4.5, 1.6, white);
    outline(c);
    return c;
}

// A round flask with a cork; a liquid alpha of 0 leaves it empty.
Canvas bottle(Colour liquid) {
    Canvas c = clear();
    const Colour glass{200, 226, 240, 200};
    disc(c, 8.0, 10.5, 4.6, glass);
    region(
        c, [](double x, double y) { return x > 6 && x < 10 && y > 2 && y < 7; },
        [&](int, int) { return glass; });
    region(
        c, [](double x, double y) { return x > 6 && x < 10 && y > 1 && y < 3.5; },
        [](int, int) {
            return Colour{150, 105, 60};
        });
    if (liquid.a != 0) {
        region(
            c,
            [](double x, double y) { return (x - 8) * (x - 8) + (y - 10.5) * (y - 10.5) <= 13.0 && y > 9; },
            [&](int x, int y) { return grained(liquid, x, y, 101, 10); });
    }
    c.set(6, 9, {255, 255, 255});
    outline(c);
    return c;
}

Canvas torch() {
    Canvas c = clear();
    c.fill(7, 6, 9, 16, kWood);
    line(c, 8, 6, 8, 15, kDarkWood);
    c.fill(7, 4, 9, 6, {255, 200, 60});
    c.fill(7, 3, 9, 4, {255, 240, 150});
    c.set(7, 5, {240, 120, 30});
    return c;
}

// ---- Blocks ----

Canvas cactusSide() {
    return filled([](int x, int y) {
        if ((x == 3 || x == 12) && y % 4 == 1) return Colour{232, 226, 170};
        if (x == 0 || x == 15) return Colour{40, 96, 36};
        if (x % 4 == 2) return grained({58, 126, 48}, x, y, 111, 8);
        return grained({78, 154, 60}, x, y, 112, 8);
    });
}

Canvas cactusTop() {
    return filled([](int x, int y) {
        if (x == 0 || y == 0 || x == 15 || y == 15) return Colour{40, 96, 36};
        if ((x + y) % 5 == 0 && x % 3 == 1) return Colour{232, 226, 170};
        return grained({96, 170, 74}, x, y, 113, 8);
    });
}

Canvas frostIce() {
    return filled([](int x, int y) {
        if ((x + 2 * y) % 13 == 0 || (3 * x - y + 40) % 17 == 0) return Colour{236, 248, 255};
        return grained({150, 196, 236}, x, y, 121, 8);
    });
}

Canvas skyUpdraft() {
    Canvas c = clear();
    for (int x = 1; x < kTile; x += 4) {
        const int start = static_cast<int>(noise(x, 0, 131) * 10);
        for (int y = start; y < start + 6; ++y) c.set(x + (y / 3) % 2, y, {236, 246, 255, 210});
    }
    return c;
}

Canvas planks(Colour base, uint32_t salt) {
    return filled([=](int x, int y) { return planksPixel(base, x, y, salt); });
}

Canvas chestFace(bool top, bool front) {
    Canvas c = filled([=](int x, int y) {
        if (x == 0 || x == 15 || y == 0 || y == 15) return Colour{70, 48, 28};
        if (!top && (y == 6 || y == 7)) return Colour{80, 80, 86};
        return planksPixel({160, 112, 58}, x, y, 141);
    });
    if (front) c.fill(7, 5, 9, 10, {210, 200, 120});
    return c;
}

Canvas glass() {
    Canvas c = clear();
    for (int i = 0; i < kTile; ++i) {
        c.set(i, 0, {216, 230, 236});
        c.set(i, 15, {170, 190, 200});
        c.set(0, i, {216, 230, 236});
        c.set(15, i, {170, 190, 200});
    }
    line(c, 3, 6, 6, 3, {240, 250, 255, 220});
    line(c, 4, 8, 8, 4, {240, 250, 255, 220});
    return c;
}

Canvas paving() {
    return filled([](int x, int y) {
        if (x % 8 == 7 || y % 8 == 7) return Colour{92, 90, 86};
        return stonePixel({156, 152, 144}, x, y, 151 + static_cast<uint32_t>(x / 8 + 2 * (y / 8)));
    });
}

Canvas plaster() {
    return filled([](int x, int y) { return grained({222, 212, 190}, x, y, 161, 6); });
}

Canvas roof() {
    return filled([](int x, int y) {
        const int row = y / 4;
        const int cx = (x + (row % 2) * 2) % 4;
        if (y % 4 == 3) return Colour{110, 40, 30};
        if (cx == 0) return Colour{140, 52, 38};
        return grained({178, 70, 48}, x, y, 171, 8);
    });
}

Canvas seal() {
    Canvas c = paving();
    arc(c, 8.0, 8.0, 5.0, 0.0, 360.0, 1.6, kGold);
    disc(c, 8.0, 8.0, 1.8, kGold);
    return c;
}

Canvas lanternFace() {
    return filled([](int x, int y) {
        if (x < 2 || x > 13 || y < 2 || y > 13) return Colour{52, 52, 58};
        if (x == 7 || x == 8) return Colour{70, 70, 76};
        const double d = std::hypot(x - 7.5, y - 8.0);
        return mix(Colour{255, 246, 180}, Colour{240, 160, 50}, std::min(d / 7.0, 1.0));
    });
}

Canvas workbenchTop() {
    return filled([](int x, int y) {
        if (x == 0 || y == 0 || x == 15 || y == 15) return Colour{96, 64, 36};
        if (x % 5 == 0 || y % 5 == 0) return Colour{110, 76, 42};
        return grained({176, 132, 80}, x, y, 181, 8);
    });
}

Canvas workbenchSide(bool front) {
    Canvas c = planks({150, 108, 60}, 182);
    c.fill(0, 0, 16, 3, {110, 76, 42});
    if (front) {
        c.fill(3, 6, 4, 14, kDarkWood);
        c.fill(2, 5, 6, 7, {150, 150, 156});
        line(c, 9, 6, 13, 12, {170, 170, 176});
        line(c, 9, 7, 13, 13, {120, 120, 126});
    }
    return c;
}

Canvas furnaceFace(int kind) {
    Canvas c = filled([=](int x, int y) {
        if (kind == 0) return stonePixel({118, 116, 112}, x, y, 191);
        return bricksPixel({126, 124, 120}, {84, 82, 80}, x, y, 192);
    });
    if (kind == 2) {
        c.fill(3, 8, 13, 14, {30, 26, 24});
        for (int x = 4; x < 12; ++x) {
            const int h = 2 + static_cast<int>(noise(x, 0, 193) * 3);
            for (int y = 13; y > 13 - h; --y)
                c.set(x, y, y > 11 ? Colour{250, 150, 40} : Colour{255, 220, 90});
        }
    }
    return c;
}

Canvas alchemyTop() {
    Canvas c = filled([](int x, int y) { return planksPixel({92, 62, 70}, x, y, 201); });
    arc(c, 8.0, 8.0, 5.0, 0.0, 360.0, 1.0, {150, 220, 200});
    line(c, 8, 3, 8, 13, {150, 220, 200});
    line(c, 3, 8, 13, 8, {150, 220, 200});
    return c;
}

Canvas alchemySide() {
    Canvas c = filled([](int x, int y) { return planksPixel({92, 62, 70}, x, y, 202); });
    c.fill(0, 0, 16, 2, {60, 40, 46});
    static const Colour liquids[] = {{200, 60, 60}, {80, 160, 230}, {120, 210, 90}};
    for (int k = 0; k < 3; ++k) {
        c.fill(2 + k * 5, 7, 4 + k * 5, 12, liquids[k]);
        c.fill(2 + k * 5, 6, 4 + k * 5, 7, {210, 230, 240});
    }
    return c;
}

Canvas vial() {
    return filled([](int x, int y) {
        if (y < 4) return Colour{150, 105, 60};
        if (x == 0 || x == 15) return Colour{200, 226, 240};
        if (y < 7) return Colour{210, 234, 246};
        return grained({150, 80, 200}, x, y, 211, 14);
    });
}

Canvas farmlandTop() {
    return filled([](int x, int y) {
        if (y % 4 == 0) return Colour{74, 50, 32};
        return grained({104, 72, 46}, x, y, 221, 8);
    });
}

Canvas dirtSide() {
    return filled([](int x, int y) { return grained({134, 96, 67}, x, y, 222, 10); });
}

Canvas grassSideOf(Colour top, uint32_t salt) {
    return filled([=](int x, int y) {
        const int depth = 3 + (noise(x, 0, salt) > 0.5 ? 1 : 0);
        if (y < depth) return grained(top, x, y, salt + 1, 10);
        return grained({134, 96, 67}, x, y, salt + 2, 10);
    });
}

Canvas portal(Colour a, Colour b, uint32_t salt) {
    return filled([=](int x, int y) {
        const double dx = x - 7.5, dy = y - 7.5;
        const double swirl = std::sin(std::hypot(dx, dy) * 1.3 + std::atan2(dy, dx) * 2.0 + salt);
        return grained(mix(a, b, (swirl + 1.0) / 2.0), x, y, salt, 6);
    });
}

Canvas door(bool upper) {
    Canvas c = filled([=](int x, int y) {
        if (x < 2 || x > 13 || (upper && y < 2) || (!upper && y > 13)) return Colour{96, 66, 36};
        if (x == 7 || x == 8) return Colour{110, 78, 44};
        return grained({156, 112, 62}, x, y, upper ? 231u : 232u, 7);
    });
    if (upper) {
        c.fill(3, 3, 7, 8, {170, 210, 230});
        c.fill(9, 3, 13, 8, {170, 210, 230});
    } else {
        c.fill(11, 3, 13, 5, {60, 60, 64});
    }
    return c;
}

Canvas trapdoor() {
    Canvas c = filled([](int x, int y) {
        if (x < 2 || x > 13 || y < 2 || y > 13) return Colour{96, 66, 36};
        if (x == y || x == 15 - y) return Colour{110, 78, 44};
        return grained({156, 112, 62}, x, y, 241, 7);
    });
    c.fill(4, 7, 6, 9, kClear);
    c.fill(10, 7, 12, 9, kClear);
    return c;
}

Canvas ladder() {
    Canvas c = clear();
    for (int y = 0; y < kTile; ++y) {
        c.set(1, y, kWood);
        c.set(2, y, kDarkWood);
        c.set(13, y, kWood);
        c.set(14, y, kDarkWood);
        if (y % 4 == 1) {
            for (int x = 3; x < 13; ++x) c.set(x, y, grained(kWood, x, y, 251, 8));
        }
    }
    return c;
}

Canvas bedTop(bool head) {
    return filled([=](int x, int y) {
        if (x == 0 || x == 15) return Colour{120, 84, 46};
        if (head && y < 7) return grained({236, 236, 230}, x, y, 261, 5);
        return grained({176, 40, 46}, x, y, 262, 8);
    });
}

// The mattress side shows rows 7..12 of this picture: blanket over the wooden frame.
Canvas bedSide() {
    return filled([](int x, int y) {
        if (y > 12) return x < 3 || x > 12 ? kDarkWood : kClear;
        if (y > 9) return Colour{120, 84, 46};
        return grained({176, 40, 46}, x, y, 263, 8);
    });
}

const std::map<std::string, std::function<Canvas()>>& painters() {
    static const std::map<std::string, std::function<Canvas()>> table = {
        {"tall_grass", tallGrass},
        {"flower", flower},
        {"wheat_stage_0", [] { return wheatStage(0); }},
        {"wheat_stage_1", [] { return wheatStage(1); }},
        {"wheat_stage_2", [] { return wheatStage(2); }},
        {"wheat_stage_3", [] { return wheatStage(3); }},
        {"cactus_side", cactusSide},
        {"cactus_top", cactusTop},
        {"frost_ice", frostIce},
        {"sky_updraft", skyUpdraft},
        {"chest_top", [] { return chestFace(true, false); }},
        {"chest_side", [] { return chestFace(false, false); }},
        {"chest_front", [] { return chestFace(false, true); }},
        {"city_glass", glass},
        {"city_paving", paving},
        {"city_planks",
         [] {
             return planks({188, 150, 96}, 271);
         }},
        {"city_plaster", plaster},
        {"city_roof", roof},
        {"city_seal", seal},
        {"lantern", lanternFace},
        {"workbench_top", workbenchTop},
        {"workbench_side", [] { return workbenchSide(false); }},
        {"workbench_front", [] { return workbenchSide(true); }},
        {"furnace_top", [] { return furnaceFace(0); }},
        {"furnace_side", [] { return furnaceFace(1); }},
        {"furnace_front", [] { return furnaceFace(2); }},
        {"alchemy_top", alchemyTop},
        {"alchemy_side", alchemySide},
        {"city_vial", vial},
        {"farmland_top", farmlandTop},
        {"dirt_side", dirtSide},
        {"oak_planks",
         [] {
             return planks({160, 118, 66}, 281);
         }},
        {"ash_stone",
         [] { return filled([](int x, int y) {
                  return stonePixel({70, 62, 60}, x, y, 291);
              }); }},
        {"ash_soil",
         [] {
             return filled([](int x, int y) {
                 return grained(noise(x, y, 292) > 0.9 ? Colour{60, 52, 50} : Colour{128, 122, 118}, x, y,
                                293, 8);
             });
         }},
        {"ash_ore",
         [] {
             return ore({70, 62, 60}, {240, 110, 40}, 294);
         }},
        {"snow",
         [] {
             return filled([](int x, int y) {
                 return grained(noise(x, y, 301) > 0.9 ? Colour{214, 230, 246} : Colour{244, 248, 252}, x, y,
                                302, 4);
             });
         }},
        {"snow_side",
         [] {
             return grassSideOf({244, 248, 252}, 303);
         }},
        {"sky_grass_top",
         [] { return filled([](int x, int y) {
                  return grained({110, 200, 170}, x, y, 311, 12);
              }); }},
        {"sky_grass_side",
         [] {
             return grassSideOf({110, 200, 170}, 312);
         }},
        {"basalt_bricks",
         [] {
             return filled([](int x, int y) { return bricksPixel({58, 56, 64}, {30, 28, 32}, x, y, 321); });
         }},
        {"ash_portal",
         [] {
             return portal({120, 20, 10}, {255, 150, 40}, 331);
         }},
        {"frost_portal",
         [] {
             return portal({20, 70, 140}, {190, 240, 255}, 332);
         }},
        {"sky_portal",
         [] {
             return portal({90, 40, 160}, {250, 240, 255}, 333);
         }},
        {"torch", torch},
        {"door_lower", [] { return door(false); }},
        {"door_upper", [] { return door(true); }},
        {"trapdoor", trapdoor},
        {"ladder", ladder},
        {"bed_head", [] { return bedTop(true); }},
        {"bed_foot", [] { return bedTop(false); }},
        {"bed_side", bedSide},
        {"stick", stick},
        {"coal",
         [] {
             return lump({44, 42, 44}, 341);
         }},
        {"iron_ingot", [] { return ingot(kIron); }},
        {"gold_ingot", [] { return ingot(kGold); }},
        {"diamond",
         [] {
             return gem({90, 224, 226}, 351);
         }},
        {"ash_crystal",
         [] {
             return gem({236, 100, 40}, 352);
         }},
        {"string", stringCoil},
        {"wheat", wheatBundle},
        {"wheat_seeds", seeds},
        {"bread", bread},
        {"apple", apple},
        {"raw_pork",
         [] {
             return meat({236, 140, 150}, {250, 226, 220});
         }},
        {"cooked_pork",
         [] {
             return meat({150, 86, 46}, {214, 170, 110});
         }},
        {"bone", bone},
        {"glass_bottle", [] { return bottle(kClear); }},
        {"healing_potion",
         [] {
             return bottle({220, 40, 60});
         }},
        {"speed_potion",
         [] {
             return bottle({90, 200, 240});
         }},
        {"protection_potion",
         [] {
             return bottle({130, 130, 150});
         }},
        {"water_breathing_potion",
         [] {
             return bottle({40, 80, 200});
         }},
        {"wooden_pickaxe", [] { return pickaxe(kWood); }},
        {"iron_pickaxe", [] { return pickaxe(kIron); }},
        {"iron_axe", axe},
        {"iron_sword", sword},
        {"iron_hoe", hoe},
        {"iron_helmet", [] { return helmet(kIron); }},
        {"iron_chestplate", [] { return chestplate(kIron, shaded(kIron, -50)); }},
        {"iron_leggings", [] { return leggings(kIron); }},
        {"iron_boots", [] { return boots(kIron); }},
        {"fur_coat",
         [] {
             return chestplate({132, 94, 60}, {240, 236, 226});
         }},
        {"bow", bow},
        {"arrow", arrow},
        {"shield", shield},
        {"glider", glider},
    };
    return table;
}

}  // namespace

Canvas paintTexture(const std::string& name) {
    const auto& table = painters();
    const auto it = table.find(name);
    if (it == table.end()) throw std::runtime_error("No painter for texture " + name);
    return it->second();
}

}  // namespace packgen
