#include "game/movement.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <tuple>

namespace {

using game::Body;
using game::MoveCell;
using game::MoveInput;

constexpr double kAny = std::numeric_limits<double>::quiet_NaN();
constexpr double kFrame = 1.0 / 60.0;

// Hand-made cells; every other cell is open air. A floor lies under y = 0 over -8..8.
struct Cells {
    std::map<std::tuple<int32_t, int32_t, int32_t>, MoveCell> map;

    void box(int32_t x, int32_t y, int32_t z, double x0, double y1, double x1 = 1.0) {
        MoveCell& cell = map[{x, y, z}];
        cell.hasBox = cell.liftsOut = true;
        cell.box = {{x + x0, double(y), double(z)}, {x + x1, y + y1, z + 1.0}};
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

TEST(Movement, DoubleTapWithinItsWindowTogglesOnce) {
    for (const auto& [second, toggles] : {std::pair{0.3, true}, std::pair{0.3001, false}}) {
        game::DoubleTap tap;
        EXPECT_FALSE(game::pressedTwice(tap, true, 0.0));
        EXPECT_FALSE(game::pressedTwice(tap, true, 0.1)) << "holding is no second press";
        EXPECT_FALSE(game::pressedTwice(tap, false, 0.2));
        EXPECT_EQ(game::pressedTwice(tap, true, second), toggles) << second;
        game::pressedTwice(tap, false, 0.35);
        if (toggles) {
            EXPECT_FALSE(game::pressedTwice(tap, true, 0.4)) << "a third press starts a new pair";
        }
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
