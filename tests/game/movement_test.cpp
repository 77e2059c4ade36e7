#include "game/movement.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace {

using game::Body;
using game::MoveCell;
using game::MoveInput;

constexpr double kAny = std::numeric_limits<double>::quiet_NaN();
constexpr double kFrame = 1.0 / 60.0;

// Hand-made cells; every other cell is open air. A floor lies under y = 0 over -8..8.
struct Cells {
    std::map<std::tuple<int32_t, int32_t, int32_t>, MoveCell> map;

    void put(int32_t x, int32_t y, int32_t z, const voxel::Box& box) {
        MoveCell& cell = map[{x, y, z}];
        cell.hasBox = cell.liftsOut = true;
        cell.box = box;
    }
    void box(int32_t x, int32_t y, int32_t z, double x0, double y1, double x1 = 1.0) {
        put(x, y, z, {{x + x0, double(y), double(z)}, {x + x1, y + y1, z + 1.0}});
    }
    void solid(int32_t x, int32_t y, int32_t z) { box(x, y, z, 0, 1); }
    void floor() {
        for (int32_t x = -8; x <= 8; ++x)
            for (int32_t z = -8; z <= 8; ++z) solid(x, -1, z);
    }
    game::CellQuery query() const {
        return [this](int32_t x, int32_t y, int32_t z) {
            const auto found = map.find({x, y, z});
            return found == map.end() ? MoveCell{} : found->second;
        };
    }
};

Body run(Body body, const MoveInput& input, double seconds, const Cells& cells, double frame = kFrame) {
    for (double t = 0.0; t < seconds - 1e-9; t += frame)
        body = game::stepBody(body, input, frame, cells.query());
    return body;
}

// Input from flags: W walks +x, N walks +z, J holds Space, S holds Shift, F flies, C holds Control,
// G wears a glider sinking 2 (g: 3.5).
MoveInput keys(const std::string& held) {
    MoveInput in;
    const auto has = [&](char c) { return held.find(c) != std::string::npos; };
    in.wishX = has('W') ? 1.0 : 0.0, in.wishZ = has('N') ? 1.0 : 0.0;
    in.jump = has('J'), in.sneak = has('S'), in.flying = has('F'), in.fast = has('C');
    in.glider = has('G') || has('g'), in.glideSink = has('g') ? 3.5 : 2.0;
    return in;
}

void openAir(Cells&) {}
void slab(Cells& c) {
    c.floor(), c.box(0, 0, 0, 0, 0.5);
}
void thinPlate(Cells& c) {
    c.box(0, 0, 0, 0, 0.0625);
}
template <bool lifts>
void hill(Cells& c) {
    c.floor();
    for (int32_t y = 0; y <= 3; ++y) c.solid(0, y, 0), c.map[{0, y, 0}].liftsOut = lifts;
}
// Cells x >= 2 of height h for z in -8..8 on the floor.
template <int h>
void wall(Cells& c) {
    c.floor();
    for (int32_t x = 2; x <= 8; ++x)
        for (int32_t z = -8; z <= 8; ++z)
            for (int32_t y = 0; y < h; ++y) c.solid(x, y, z);
}
void dropAtTwo(Cells& c) {
    for (int32_t x = -8; x <= 8; ++x)
        for (int32_t z = -8; z <= 8; ++z) c.solid(x, x < 2 ? 0 : -1, z);
}
// Posts at z = 2 leaving x 0.71..edge open, and a back wall at z = 5.
template <int edgeTenThousandths>
void gap(Cells& c) {
    c.floor();
    for (int32_t y = 0; y <= 2; ++y) {
        c.box(0, y, 2, 0, 1, 0.71), c.box(1, y, 2, edgeTenThousandths / 1e4 - 1, 1);
        for (int32_t x = -8; x <= 8; ++x) c.solid(x, y, 5);
    }
}
// A ladder at x = 0, z = 0 over y 0..top on the wall cells x = 1..8.
template <int top>
void ladder(Cells& c) {
    c.floor();
    for (int32_t y = 0; y <= top; ++y) {
        c.map[{0, y, 0}].ladder = true;
        for (int32_t x = 1; x <= 8; ++x) c.solid(x, y, 0);
    }
}
void water(Cells& c) {
    for (int32_t x = -1; x <= 1; ++x)
        for (int32_t z = -1; z <= 1; ++z)
            for (int32_t y = 0; y <= 80; ++y) c.map[{x, y, z}].water = true;
}
void updraft(Cells& c) {
    for (int32_t y = 0; y <= 80; ++y) c.map[{0, y, 0}].updraftLift = 8.0f;
}
// The wall x >= 2 standing out further by a bump of some billionths of a block from z = 3 on.
template <int billionths>
void bumpedWall(Cells& c) {
    wall<3>(c);
    for (int32_t z = 3; z <= 8; ++z)
        for (int32_t y = 0; y < 3; ++y) c.box(1, y, z, 1 - billionths * 1e-9, 1);
}
// A pool two blocks deep for x < 2, its bank a block above the water, and a high wall from x = 4.
void bank(Cells& c) {
    c.floor();
    for (int32_t x = -8; x <= 8; ++x)
        for (int32_t z = -8; z <= 8; ++z)
            for (int32_t y = 0; y < (x < 2 ? 2 : x < 4 ? 3 : 6); ++y)
                x < 2 ? void(c.map[{x, y, z}].water = true) : c.solid(x, y, z);
}
// Walls x >= 2 and z >= 2 meeting in an inside corner.
void corner(Cells& c) {
    wall<3>(c);
    for (int32_t x = -8; x <= 1; ++x)
        for (int32_t z = 2; z <= 8; ++z)
            for (int32_t y = 0; y < 3; ++y) c.solid(x, y, z);
}
// A ladder standing alone at x = 0, z = 0 over y 0..3.
void ladderPost(Cells& c) {
    c.floor();
    for (int32_t y = 0; y <= 3; ++y) c.map[{0, y, 0}].ladder = true;
}
// A ledge x >= 2 of height top ten-thousandths of a block, and a high wall on it from x = 4.
template <int top>
void ledge(Cells& c) {
    c.floor();
    for (int32_t x = 2; x <= 8; ++x)
        for (int32_t z = -8; z <= 8; ++z) {
            c.box(x, 0, z, 0, std::min(top / 1e4, 1.0));
            if (top > 10000) c.box(x, 1, z, 0, top / 1e4 - 1);
            for (int32_t y = 0; x >= 4 && y < 4; ++y) c.solid(x, y, z);
        }
}

// Quarter turns about the vertical axis: a row built with its wall on the +x side is tried against
// walls facing all four ways, so that a mix-up of x and z cannot pass.
std::pair<double, double> turn(double x, double z, int quarters) {
    for (int i = 0; i < quarters; ++i) std::tie(x, z) = std::pair{-z, x};
    return {x, z};
}

Cells turned(const Cells& from, int quarters) {
    Cells to;
    for (auto [key, cell] : from.map) {
        const auto [x, y, z] = key;
        const auto [cx, cz] = turn(x + 0.5, z + 0.5, quarters);
        const auto [ax, az] = turn(cell.box.min.x, cell.box.min.z, quarters);
        const auto [bx, bz] = turn(cell.box.max.x, cell.box.max.z, quarters);
        cell.box.min.x = std::min(ax, bx), cell.box.max.x = std::max(ax, bx);
        cell.box.min.z = std::min(az, bz), cell.box.max.z = std::max(az, bz);
        to.map[{int32_t(std::floor(cx)), y, int32_t(std::floor(cz))}] = cell;
    }
    return to;
}

struct RestCase {
    const char* name;
    void (*build)(Cells&);
    double x, y, z;  // start, feet
    const char* keys;
    double seconds, frame;
    double endX, endY, endZ;  // kAny: not checked
};

// clang-format off
TEST(Movement, BodyComesToRestWhereTheBlocksHoldIt) {
    const RestCase cases[] = {
        {"falls onto a slab's top", slab, 0.5, 3, 0.5, "", 2, kFrame, 0.5, 0.5, 0.5},
        {"slab edge just under the body holds it", slab, 1.29 - 1e-4, 3, 0.5, "", 2, kFrame, kAny, 0.5, kAny},
        {"slab edge just beside it does not", slab, 1.29 + 1e-4, 3, 0.5, "", 2, kFrame, kAny, 0, kAny},
        {"long fall in 0.25 s frames stops on a thin plate", thinPlate, 0.5, 120, 0.5, "", 8, 0.25, 0.5, 0.0625, 0.5},
        {"stops at a wall", wall<3>, 0.5, 0, 0.5, "W", 2, kFrame, 1.71, 0, 0.5},
        {"walking does not climb a one-block step", wall<1>, 0.5, 0, 0.5, "W", 2, kFrame, 1.71, 0, 0.5},
        {"gap exactly the body's width lets it through", gap<12900>, 1.0, 0, 0.5, "N", 2, kFrame, 1.0, 0, 4.71},
        {"gap a hair narrower stops it", gap<12899>, 1.0, 0, 0.5, "N", 2, kFrame, 1.0, 0, 1.71},
        {"a glider stays shut down a one-block drop", dropAtTwo, 2.5, 1, 0.5, "G", 0.3, kFrame, kAny, 0, kAny},
        {"flight holds the height", wall<0>, 0.5, 5, 0.5, "F", 1, kFrame, 0.5, 5, 0.5},
        {"flight still collides with the floor", wall<0>, 0.5, 5, 0.5, "FS", 1, kFrame, 0.5, 0, 0.5},
        {"a body inside a hill rises onto it", hill<true>, 0.5, 1, 0.5, "", 0.1, kFrame, 0.5, 4, 0.5},
        {"streaming chunks and swinging parts never lift it", hill<false>, 0.5, 1, 0.5, "", 0.1, kFrame, 0.5, 1, 0.5},
        {"climbs a ladder onto its wall's top", ladder<4>, 0.5, 0, 0.5, "W", 3, kFrame, kAny, 5, 0.5},
        // No step-up: only a jump lifts the body onto a ledge, up to the jump's height.
        {"jumps onto a one-block ledge", ledge<10000>, 0.5, 0, 0.5, "WJ", 2, kFrame, 3.71, kAny, 0.5},
        {"and onto one a hair under the jump height", ledge<12490>, 0.5, 0, 0.5, "WJ", 2, kFrame, 3.71, kAny, 0.5},
        {"not onto one a hair over it", ledge<12510>, 0.5, 0, 0.5, "WJ", 2, kFrame, 1.71, kAny, 0.5},
        {"Space against a bank lifts it out of the water onto it", bank, 0.5, 0, 0.5, "WJ", 3, kFrame, 3.71, kAny, 0.5},
    };
    for (const RestCase& c : cases) {
        SCOPED_TRACE(c.name);
        Cells cells;
        c.build(cells);
        Body body;
        body.x = c.x, body.y = c.y, body.z = c.z, body.onGround = c.y == 0.0;
        const Body end = run(body, keys(c.keys), c.seconds, cells, c.frame);
        for (auto [got, want] : {std::pair{end.x, c.endX}, {end.y, c.endY}, {end.z, c.endZ}})
            if (!std::isnan(want)) { EXPECT_NEAR(got, want, 1e-9); }
    }
}

// Vertical speed once each mode has settled, from rest at y = 40.
TEST(Movement, VerticalSpeedSettlesByMode) {
    const struct { const char* name; void (*build)(Cells&); const char* keys; double seconds, vy; } cases[] = {
        {"free fall reaches the terminal speed", openAir, "", 5, -game::kTerminalSpeed},
        {"before that it is plain gravity", openAir, "", 1, -game::kGravity},
        {"a glider sinks at its sink rate", openAir, "G", 2, -2},
        {"another glider at its own", openAir, "g", 2, -3.5},
        {"Shift folds the glider", openAir, "GS", 1, -game::kGravity},
        {"an updraft lifts a glider", updraft, "G", 1, 8},
        {"but not a walker", updraft, "", 1, -game::kGravity},
        {"water slows a sinking body", water, "", 2, -game::kWaterSinkSpeed},
        {"Space swims up", water, "J", 1, game::kSwimUpSpeed},
        {"a ladder slows a fall", ladder<80>, "", 1, -game::kLadderSlideSpeed},
        {"Space climbs a ladder", ladder<80>, "J", 1, game::kLadderClimbSpeed},
        {"so does walking into its wall", ladder<80>, "W", 1, game::kLadderClimbSpeed},
        {"flight has no gravity", openAir, "F", 1, 0},
        {"Space flies up", openAir, "FJ", 1, game::kFlySpeed},
        {"Control flies faster", openAir, "FJC", 1, game::kFastFlySpeed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Cells cells;
        c.build(cells);
        Body body;
        body.x = 0.5, body.y = 40, body.z = 0.5;
        EXPECT_NEAR(run(body, keys(c.keys), c.seconds, cells).vy, c.vy, 1e-9);
    }
}
// clang-format on

// Horizontal speed after a second of holding W on the floor (or in water, or in flight).
TEST(Movement, TheWalkFactorScalesWalkingAndSneakingOnly) {
    const struct { const char* name; void (*build)(Cells&); const char* keys; double factor, seconds, speed; } cases[] = {
        {"walking", wall<0>, "W", 1.0, 1, game::kWalkSpeed},
        {"a speed potion's 30 %", wall<0>, "W", 1.3, 1, game::kWalkSpeed * 1.3},
        {"sneaking too", wall<0>, "WS", 1.3, 1, game::kSneakSpeed * 1.3},
        {"not swimming", water, "W", 1.3, 0.4, game::kWaterSpeed},
        {"not flying", openAir, "WF", 1.3, 1, game::kFlySpeed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Cells cells;
        c.build(cells);
        Body body;
        body.x = 0.5, body.z = 0.5;
        body.y = c.build == water ? 40 : 0, body.onGround = body.y == 0;
        MoveInput input = keys(c.keys);
        input.walkFactor = c.factor;
        EXPECT_NEAR(run(body, input, c.seconds, cells).vx, c.speed, 1e-9);
    }
}

// The body walks at full speed from the start for one second; every row is run turned four ways.
TEST(Movement, WallsStopOnlyTheMoveIntoThemFacingEveryWay) {
    const double d = std::sqrt(0.5), walk = game::kWalkSpeed, along = walk * d;
    const struct {
        const char* name;
        void (*build)(Cells&);
        double x, z, wishX, wishZ;
        double endX, endZ, endVX, endVZ;
        bool held;  // the last step stopped a horizontal move
    } cases[] = {
        // clang-format off
        {"diagonally into a wall it slides at the along-wall speed", wall<3>, 0.5, 0.5, d, d, 1.71, 0.5 + along, 0, along, true},
        {"along a face it touches it walks free", wall<3>, 1.71, 0.5, 0, 1, 1.71, 0.5 + walk, 0, walk, false},
        {"a face standing out a hair further stops it", bumpedWall<100000>, 1.71, 0.5, 0, 1, 1.71, 2.71, 0, 0, true},
        {"one out by less than the touch margin does not", bumpedWall<500>, 1.71, 0.5, 0, 1, 1.71, 0.5 + walk, 0, walk, false},
        {"diagonally away from a face it touches it is free", wall<3>, 1.71, 0.5, -d, d, 1.71 - along, 0.5 + along, -along, along, false},
        {"diagonally into an inside corner both faces hold it", corner, 0.5, 0.5, d, d, 1.71, 1.71, 0, 0, true},
        // clang-format on
    };
    for (const auto& c : cases)
        for (int quarters = 0; quarters < 4; ++quarters) {
            SCOPED_TRACE(std::string(c.name) + ", turned " + std::to_string(quarters));
            Cells canonical;
            c.build(canonical);
            const Cells cells = turned(canonical, quarters);
            Body body;
            body.onGround = true;
            std::tie(body.x, body.z) = turn(c.x, c.z, quarters);
            std::tie(body.vx, body.vz) = turn(c.wishX * walk, c.wishZ * walk, quarters);
            MoveInput input;
            std::tie(input.wishX, input.wishZ) = turn(c.wishX, c.wishZ, quarters);
            const Body end = run(body, input, 1.0, cells);
            const auto [x, z] = turn(c.endX, c.endZ, quarters);
            const auto [vx, vz] = turn(c.endVX, c.endVZ, quarters);
            EXPECT_NEAR(end.x, x, 1e-9);
            EXPECT_NEAR(end.z, z, 1e-9);
            EXPECT_NEAR(end.vx, vx, 1e-9);
            EXPECT_NEAR(end.vz, vz, 1e-9);
            EXPECT_EQ(end.againstWall, c.held);
        }
}

// What the body stands in is read from the cells its box overlaps by more than a touch.
TEST(Movement, LadderAndWaterReachExactlyToTheirCellsFacingEveryWay) {
    const struct {
        const char* name;
        void (*build)(Cells&);
        double x, y, z;
        bool ladder, water;
    } cases[] = {
        {"beside a ladder, touching its cell", ladderPost, 1.29, 0, 0.5, false, false},
        {"a hair into its cell", ladderPost, 1.29 - 1e-4, 0, 0.5, true, false},
        {"feet on its top", ladderPost, 0.5, 4, 0.5, false, false},
        {"a hair below its top", ladderPost, 0.5, 4 - 1e-4, 0.5, true, false},
        {"beside water, touching it", water, 2.29, 40, 0.5, false, false},
        {"a hair into it", water, 2.29 - 1e-4, 40, 0.5, false, true},
        {"feet on its surface", water, 0.5, 81, 0.5, false, false},
        {"a hair below its surface", water, 0.5, 81 - 1e-4, 0.5, false, true},
    };
    for (const auto& c : cases)
        for (int quarters = 0; quarters < 4; ++quarters) {
            SCOPED_TRACE(std::string(c.name) + ", turned " + std::to_string(quarters));
            Cells canonical;
            c.build(canonical);
            Body body;
            body.y = c.y;
            std::tie(body.x, body.z) = turn(c.x, c.z, quarters);
            const Body end = game::stepBody(body, keys(""), 0.001, turned(canonical, quarters).query());
            EXPECT_EQ(end.onLadder, c.ladder);
            EXPECT_EQ(end.inWater, c.water);
        }
}

// A roof over a body standing on the floor, its underside `headroom` above the head; one jump.
TEST(Movement, JumpUnderARoofStopsAtItsUndersideAndFallsBack) {
    const struct {
        const char* name;
        double headroom;
        bool landed;  // within 0.4 s
    } cases[] = {
        {"head touching it: no rise", 0.0, true},
        {"a hair of room", 1e-4, true},
        {"half a block", 0.5, true},
        {"a hair under the jump height", game::kJumpHeight - 1e-3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Cells cells;
        cells.floor();
        const double underside = game::kBodyHeight + c.headroom;
        const auto y = static_cast<int32_t>(std::floor(underside));
        for (int32_t x = -1; x <= 1; ++x)
            for (int32_t z = -1; z <= 1; ++z)
                cells.put(x, y, z, {{double(x), underside, double(z)}, {x + 1.0, y + 1.0, z + 1.0}});
        Body body;
        body.x = 0.5, body.z = 0.5, body.onGround = true;
        body = game::stepBody(body, keys("J"), kFrame, cells.query());
        double peak = body.y;
        for (int i = 1; i < 24; ++i) {
            body = game::stepBody(body, keys(""), kFrame, cells.query());
            peak = std::max(peak, body.y);
        }
        EXPECT_NEAR(peak, c.headroom, 1e-9);
        EXPECT_EQ(body.onGround && body.y == 0.0, c.landed) << "the roof takes the rise's speed";
    }
}

TEST(Movement, JumpRisesToItsHeightOnlyFromTheGroundWhateverTheFrameRate) {
    Cells cells;
    cells.floor();
    for (double frame : {1.0 / 144.0, 1.0 / 60.0, 1.0 / 20.0}) {
        SCOPED_TRACE(frame);
        Body body;
        body.onGround = true;
        body = game::stepBody(body, keys("J"), frame, cells.query());
        double apex = body.y;
        for (int i = 0; i < 1.0 / frame; ++i) {
            body = game::stepBody(body, keys(""), frame, cells.query());
            apex = std::max(apex, body.y);
        }
        // Sampled at frame ends, the top lies within g dt^2 / 8 below the true apex.
        EXPECT_LE(apex, game::kJumpHeight + 1e-9);
        EXPECT_GE(apex, game::kJumpHeight - game::kGravity * frame * frame / 8 - 1e-9);
        body.y = 3.0, body.onGround = false;
        EXPECT_LT(game::stepBody(body, keys("J"), frame, cells.query()).vy, 0.0) << "no jump in the air";
    }
}

// Space as the player presses and releases it. Frames poll the events at a fixed rate: each press
// reaches the key callback at the poll after it, which dates it between the two polls; the frame
// then takes the taps.
struct KeyEvent {
    double time;
    bool press;
};

uint32_t tapsAtFrameRate(std::vector<KeyEvent> events, double fps, double lastShift, bool& flying) {
    events.back().time += lastShift / fps;
    game::DoubleTap tap;
    uint32_t taps = 0;
    std::size_t next = 0;
    for (int frame = 1; next < events.size() || frame == 1; ++frame) {
        const double now = frame / fps;
        for (; next < events.size() && events[next].time <= now; ++next)
            if (events[next].press) game::notePress(tap, {(frame - 1) / fps, now});
        const uint32_t taken = game::takeDoubleTaps(tap);
        if (taken % 2 == 1) flying = !flying;
        taps += taken;
    }
    return taps;
}

TEST(Movement, DoubleTapIsDecidedFromThePressTimesAtAnyFrameRate) {
    const double w = game::kDoubleTapSeconds;
    const struct {
        const char* name;
        std::vector<KeyEvent> events;
        double lastShift;  // frames added to the last event's time at each frame rate
        uint32_t taps;
    } cases[] = {
        {"quick tap", {{0.05, true}, {0.1, false}, {0.2, true}, {0.25, false}}, 0, 1},
        {"both inside one slow frame", {{0.01, true}, {0.03, false}, {0.06, true}, {0.08, false}}, 0, 1},
        // A long frame between the presses does not stretch the gap past the window.
        {"gap of exactly the window", {{0.1, true}, {0.15, false}, {0.1 + w, true}, {0.5, false}}, 0, 1},
        {"a gap just inside the window after a frame's start", {{0.12, true}, {0.12 + w - 1e-6, true}}, 0, 1},
        {"two frames and more beyond the window", {{0.1, true}, {0.1 + w, true}}, 2.5, 0},
        {"held between the presses", {{0.0, true}, {1.0, false}, {1.2, true}}, 0, 0},
        {"a third press starts a new pair", {{0.0, true}, {0.1, true}, {0.2, true}}, 0, 1},
        {"two pairs", {{0.0, true}, {0.1, true}, {0.2, true}, {0.3, true}}, 0, 2},
        {"a lone press then a pair", {{0.0, true}, {0.9, true}, {1.1, true}}, 0, 1},
        {"releases alone", {{0.0, false}, {0.1, false}}, 0, 0},
    };
    for (const auto& c : cases) {
        for (const double fps : {60.0, 7.0, 6.0, 3.0}) {
            bool flying = false;
            EXPECT_EQ(tapsAtFrameRate(c.events, fps, c.lastShift, flying), c.taps) << c.name << " at " << fps << " fps";
            EXPECT_EQ(flying, c.taps % 2 == 1) << c.name << " at " << fps << " fps";
        }
    }
}

// A press is dated no further back than the longest wait: two presses two seconds apart within one
// stalled frame make no pair.
TEST(Movement, PendingPressesKeepTheNewestUpToTheirLimitAndAStallDatesNoneBack) {
    for (const std::size_t count : {game::kPendingPressLimit, game::kPendingPressLimit + 1}) {
        game::DoubleTap tap;
        game::notePress(tap, {0.0, 0.0});
        game::notePress(tap, {0.0, 0.2});
        for (std::size_t i = 2; i < count; ++i) game::notePress(tap, {0.0, static_cast<double>(i)});
        EXPECT_EQ(game::takeDoubleTaps(tap), count <= game::kPendingPressLimit ? 1u : 0u) << count;
    }
}

TEST(Movement, ShapeBoundsFollowStateAndAngle) {
    const double t = 0.1875;
    const struct {
        int32_t kind;
        uint8_t state;
        double angle;
        voxel::Box box;
    } cases[] = {
        {voxel::shapeDoor, 0, 0.0, {{0, 0, 0}, {1, 2, t}}},
        {voxel::shapeDoor, voxel::stateOpen, voxel::halfPi, {{0, 0, 0}, {t, 2, 1}}},
        {voxel::shapeTrapdoor, voxel::stateUpper, 0.0, {{0, 1 - t, 0}, {1, 1, 1}}},
        {voxel::shapeLadder, 1, 0.0, {{1 - t, 0, 0}, {1, 1, 1}}},
        {voxel::shapeBed, 3, 0.0, {{0, 0, 0}, {1, 0.5625, 1}}},
    };
    const auto flat = [](const voxel::Box& b) {
        return std::array{b.min.x, b.min.y, b.min.z, b.max.x, b.max.y, b.max.z};
    };
    for (const auto& c : cases)
        EXPECT_THAT(flat(game::shapeCollisionBounds(c.kind, c.state, c.angle, t)),
                    testing::Pointwise(testing::DoubleNear(1e-9), flat(c.box)))
            << c.kind << " " << int(c.state);
}

}  // namespace
