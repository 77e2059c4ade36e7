#include "game/movement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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

// Hand-made cells around the origin; every other cell is open air.
struct Cells {
    std::map<std::tuple<int32_t, int32_t, int32_t>, MoveCell> map;

    void box(int32_t x, int32_t y, int32_t z, voxel::Box local) {
        MoveCell& cell = map[{x, y, z}];
        cell.hasBox = true;
        cell.liftsOut = true;
        cell.box = {{x + local.min.x, y + local.min.y, z + local.min.z},
                    {x + local.max.x, y + local.max.y, z + local.max.z}};
    }
    void solid(int32_t x, int32_t y, int32_t z) { box(x, y, z, {{0, 0, 0}, {1, 1, 1}}); }
    // A floor under y = 0 over -8..8 in x and z.
    void floor() {
        for (int32_t x = -8; x <= 8; ++x)
            for (int32_t z = -8; z <= 8; ++z) solid(x, -1, z);
    }
    void column(int32_t x, int32_t z, int32_t top, const std::function<void(MoveCell&)>& set) {
        for (int32_t y = 0; y <= top; ++y) set(map[{x, y, z}]);
    }
    game::CellQuery query() const {
        return [this](int32_t x, int32_t y, int32_t z) {
            const auto found = map.find({x, y, z});
            return found == map.end() ? MoveCell{} : found->second;
        };
    }
};

Body at(double x, double y, double z) {
    Body body;
    body.x = x, body.y = y, body.z = z;
    return body;
}

Body run(Body body, const MoveInput& input, double seconds, const Cells& cells, double frame = kFrame) {
    const game::CellQuery query = cells.query();
    for (double t = 0.0; t < seconds - 1e-9; t += frame) body = game::stepBody(body, input, frame, query);
    return body;
}

MoveInput walk(double wishX, double wishZ) {
    MoveInput input;
    input.wishX = wishX, input.wishZ = wishZ;
    return input;
}

MoveInput flying(bool up, bool down, bool fast = false) {
    MoveInput input;
    input.flying = true, input.jump = up, input.sneak = down, input.fast = fast;
    return input;
}

MoveInput gliding(double sink, bool fold = false) {
    MoveInput input;
    input.glider = true, input.glideSink = sink, input.sneak = fold;
    return input;
}

MoveInput jumping(MoveInput input) {
    input.jump = true;
    return input;
}

void floorOnly(Cells& cells) {
    cells.floor();
}

void openAir(Cells&) {}

void hillAtOrigin(Cells& cells) {
    cells.floor();
    for (int32_t y = 0; y <= 3; ++y) cells.solid(0, y, 0);
}

void heldAtOrigin(Cells& cells) {
    cells.floor();
    for (int32_t y = 0; y <= 3; ++y) {
        cells.solid(0, y, 0);
        cells.map[{0, y, 0}].liftsOut = false;
    }
}

void slabAtOrigin(Cells& cells) {
    cells.floor();
    cells.box(0, 0, 0, {{0, 0, 0}, {1, 0.5, 1}});
}

void stepDownAtTwo(Cells& cells) {
    for (int32_t x = -8; x <= 8; ++x)
        for (int32_t z = -8; z <= 8; ++z) cells.solid(x, x < 2 ? 0 : -1, z);
}

void thinPlate(Cells& cells) {
    cells.box(0, 0, 0, {{0, 0, 0}, {1, 0.0625, 1}});
}

void wallAtTwo(Cells& cells) {
    cells.floor();
    for (int32_t z = -8; z <= 8; ++z)
        for (int32_t y = 0; y <= 2; ++y) cells.solid(2, y, z);
}

void stepAtTwo(Cells& cells) {
    cells.floor();
    for (int32_t x = 2; x <= 8; ++x)
        for (int32_t z = -8; z <= 8; ++z) cells.solid(x, 0, z);
}

void ladderOnWall(Cells& cells) {
    cells.floor();
    for (int32_t x = 1; x <= 8; ++x)
        for (int32_t y = 0; y <= 4; ++y) cells.solid(x, y, 0);
    cells.column(0, 0, 4, [](MoveCell& cell) { cell.ladder = true; });
}

// Columns around the start height of the speed cases.
void tallLadder(Cells& cells) {
    for (int32_t y = 0; y <= 80; ++y) cells.solid(1, y, 0);
    cells.column(0, 0, 80, [](MoveCell& cell) { cell.ladder = true; });
}

void deepWater(Cells& cells) {
    for (int32_t x = -1; x <= 1; ++x)
        for (int32_t z = -1; z <= 1; ++z) cells.column(x, z, 80, [](MoveCell& cell) { cell.water = true; });
}

void updraft(Cells& cells) {
    cells.column(0, 0, 80, [](MoveCell& cell) { cell.updraftLift = 8.0f; });
}

struct RestCase {
    std::string name;
    void (*build)(Cells&);
    Body start;
    MoveInput input;
    double seconds;
    double frame;
    double x, y, z;  // kAny: not checked
};

TEST(Movement, BodyComesToRestWhereTheBlocksHoldIt) {
    const RestCase cases[] = {
        {"falls onto a slab and rests on its top",
         slabAtOrigin,
         at(0.5, 3, 0.5),
         {},
         2,
         kFrame,
         0.5,
         0.5,
         0.5},
        {"slab edge just under the body holds it",
         slabAtOrigin,
         at(1.29 - 1e-4, 3, 0.5),
         {},
         2,
         kFrame,
         kAny,
         0.5,
         kAny},
        {"slab edge just beside the body does not",
         slabAtOrigin,
         at(1.29 + 1e-4, 3, 0.5),
         {},
         2,
         kFrame,
         kAny,
         0,
         kAny},
        {"long fall in quarter-second frames stops on a thin plate",
         thinPlate,
         at(0.5, 120, 0.5),
         {},
         8,
         0.25,
         0.5,
         0.0625,
         0.5},
        {"stops at a wall", wallAtTwo, at(0.5, 0, 0.5), walk(1, 0), 2, kFrame, 2 - 0.29, 0, 0.5},
        {"slides along a wall it walks into at an angle", wallAtTwo, at(0.5, 0, 0.5), walk(0.6, 0.8), 1,
         kFrame, 2 - 0.29, 0, kAny},
        {"walking alone does not climb a one-block step", stepAtTwo, at(0.5, 0, 0.5), walk(1, 0), 2, kFrame,
         2 - 0.29, 0, 0.5},
        {"flight holds the height without input", floorOnly, at(0.5, 5, 0.5), flying(false, false), 1, kFrame,
         0.5, 5, 0.5},
        {"flight still collides with the floor", floorOnly, at(0.5, 5, 0.5), flying(false, true), 1, kFrame,
         0.5, 0, 0.5},
        {"a body inside a hill rises onto it", hillAtOrigin, at(0.5, 1, 0.5), {}, 0.1, kFrame, 0.5, 4, 0.5},
        {"a chunk still streaming in or a swinging part never lifts the body",
         heldAtOrigin,
         at(0.5, 1, 0.5),
         {},
         0.1,
         kFrame,
         0.5,
         1,
         0.5},
        {"a glider stays shut down a one-block drop", stepDownAtTwo, at(2.5, 1, 0.5), gliding(2), 0.3, kFrame,
         kAny, 0, 0.5},
        {"climbs a ladder onto the top of its wall", ladderOnWall, at(0.5, 0, 0.5), walk(1, 0), 3, kFrame,
         kAny, 5, 0.5},
    };
    for (const RestCase& c : cases) {
        SCOPED_TRACE(c.name);
        Cells cells;
        c.build(cells);
        Body start = c.start;
        start.onGround = start.y == 0.0;
        const Body end = run(start, c.input, c.seconds, cells, c.frame);
        if (!std::isnan(c.x)) {
            EXPECT_NEAR(end.x, c.x, 1e-9);
        }
        if (!std::isnan(c.y)) {
            EXPECT_NEAR(end.y, c.y, 1e-9);
        }
        if (!std::isnan(c.z)) {
            EXPECT_NEAR(end.z, c.z, 1e-9);
        }
    }
}

struct SpeedCase {
    std::string name;
    void (*build)(Cells&);
    MoveInput input;
    double seconds;
    double vy;
};

// Vertical speeds once each mode has settled, from a start at rest in open air.
TEST(Movement, VerticalSpeedSettlesByMode) {
    const SpeedCase cases[] = {
        {"free fall reaches the terminal speed", openAir, {}, 5, -game::kTerminalSpeed},
        {"free fall before that is plain gravity", openAir, {}, 1, -game::kGravity},
        {"a glider sinks at its sink rate", openAir, gliding(2), 2, -2},
        {"a slower glider sinks at its own rate", openAir, gliding(3.5), 2, -3.5},
        {"a glider folded with Shift falls freely", openAir, gliding(2, true), 1, -game::kGravity},
        {"an updraft lifts a glider", updraft, gliding(2), 1, 8},
        {"an updraft does not lift a walker", updraft, {}, 1, -game::kGravity},
        {"water holds a sinking body to a slow sink", deepWater, {}, 2, -game::kWaterSinkSpeed},
        {"Space swims up", deepWater, jumping({}), 1, game::kSwimUpSpeed},
        {"a ladder slows a fall", tallLadder, {}, 1, -game::kLadderSlideSpeed},
        {"Space climbs a ladder", tallLadder, jumping({}), 1, game::kLadderClimbSpeed},
        {"walking into a ladder's wall climbs it", tallLadder, walk(1, 0), 1, game::kLadderClimbSpeed},
        {"flight has no gravity", floorOnly, flying(false, false), 1, 0},
        {"Space flies up", floorOnly, flying(true, false), 1, game::kFlySpeed},
        {"Control flies faster", floorOnly, flying(true, false, true), 1, game::kFastFlySpeed},
    };
    for (const SpeedCase& c : cases) {
        SCOPED_TRACE(c.name);
        Cells cells;
        c.build(cells);
        const Body end = run(at(0.5, 40, 0.5), c.input, c.seconds, cells);
        EXPECT_NEAR(end.vy, c.vy, 1e-9);
    }
}

TEST(Movement, JumpRisesToItsHeightWhateverTheFrameRate) {
    for (double frame : {1.0 / 144.0, 1.0 / 60.0, 1.0 / 20.0}) {
        SCOPED_TRACE(frame);
        Cells cells;
        cells.floor();
        Body body = at(0.5, 0, 0.5);
        body.onGround = true;
        body = game::stepBody(body, jumping({}), frame, cells.query());
        double apex = body.y;
        for (int i = 0; i < 2.0 / frame; ++i) {
            body = game::stepBody(body, {}, frame, cells.query());
            apex = std::max(apex, body.y);
        }
        // Sampled at frame ends, the top lies within g dt^2 / 8 below the true apex.
        EXPECT_LE(apex, game::kJumpHeight + 1e-9);
        EXPECT_GE(apex, game::kJumpHeight - game::kGravity * frame * frame / 8 - 1e-9);
        EXPECT_NEAR(body.y, 0.0, 1e-9) << "lands again";
    }
}

TEST(Movement, JumpOnlyFromTheGround) {
    Cells cells;
    cells.floor();
    Body body = at(0.5, 3, 0.5);
    body = game::stepBody(body, jumping({}), kFrame, cells.query());
    EXPECT_LT(body.vy, 0.0);
}

TEST(Movement, AJumpClimbsAOneBlockStep) {
    Cells cells;
    stepAtTwo(cells);
    Body body = at(1.2, 0, 0.5);
    body.onGround = true;
    body = run(body, jumping(walk(1, 0)), 0.4, cells);
    body = run(body, walk(1, 0), 1, cells);
    EXPECT_NEAR(body.y, 1.0, 1e-9);
    EXPECT_GT(body.x, 2.29);
}

TEST(Movement, GliderKeepsItsSpeedAcrossTheGround) {
    Cells cells;
    MoveInput input = gliding(2);
    input.wishX = 1.0;
    input.glideSpeed = 12.0;
    const Body end = run(at(0.5, 40, 0.5), input, 3, cells);
    EXPECT_TRUE(end.gliding);
    EXPECT_NEAR(end.vx, 12.0, 1e-9);
}

// A gap exactly the body's width lets it through; a hair narrower stops it.
TEST(Movement, GapOfTheBodyWidthIsPassable) {
    struct GapCase {
        double rightEdge;  // the right post's inner face; the left one is at 1 - 0.29
        bool passes;
    };
    for (const GapCase& c : {GapCase{1.29, true}, GapCase{1.29 - 1e-4, false}}) {
        SCOPED_TRACE(c.rightEdge);
        Cells cells;
        cells.floor();
        for (int32_t y = 0; y <= 2; ++y) {
            cells.box(0, y, 2, {{0, 0, 0}, {0.71, 1, 1}});
            cells.box(1, y, 2, {{c.rightEdge - 1, 0, 0}, {1, 1, 1}});
        }
        const Body end = run(at(1.0, 0, 0.5), walk(0, 1), 1, cells);
        EXPECT_EQ(end.z > 3.0, c.passes) << end.z;
    }
}

TEST(Movement, ShapeBoundsFollowStateAndAngle) {
    struct BoundsCase {
        std::string name;
        int32_t kind;
        uint8_t state;
        double angle;
        voxel::Box expected;
    };
    const double t = 0.1875;
    const BoundsCase cases[] = {
        {"closed door along its facing edge", voxel::shapeDoor, 0, 0.0, {{0, 0, 0}, {1, 2, t}}},
        {"open door against its hinge side",
         voxel::shapeDoor,
         voxel::stateOpen,
         voxel::halfPi,
         {{0, 0, 0}, {t, 2, 1}}},
        {"trapdoor on the floor", voxel::shapeTrapdoor, 0, 0.0, {{0, 0, 0}, {1, t, 1}}},
        {"trapdoor at the top", voxel::shapeTrapdoor, voxel::stateUpper, 0.0, {{0, 1 - t, 0}, {1, 1, 1}}},
        {"ladder turned a quarter", voxel::shapeLadder, 1, 0.0, {{1 - t, 0, 0}, {1, 1, 1}}},
        {"bed half fills its own cell's low part", voxel::shapeBed, 3, 0.0, {{0, 0, 0}, {1, 0.5625, 1}}},
    };
    for (const BoundsCase& c : cases) {
        SCOPED_TRACE(c.name);
        const voxel::Box b = game::shapeCollisionBounds(c.kind, c.state, c.angle, t);
        EXPECT_NEAR(b.min.x, c.expected.min.x, 1e-9);
        EXPECT_NEAR(b.min.y, c.expected.min.y, 1e-9);
        EXPECT_NEAR(b.min.z, c.expected.min.z, 1e-9);
        EXPECT_NEAR(b.max.x, c.expected.max.x, 1e-9);
        EXPECT_NEAR(b.max.y, c.expected.max.y, 1e-9);
        EXPECT_NEAR(b.max.z, c.expected.max.z, 1e-9);
    }
}

TEST(Movement, DoubleTapWithinItsWindowTogglesOnce) {
    struct TapCase {
        double second;
        bool toggles;
    };
    for (const TapCase& c : {TapCase{0.3, true}, TapCase{0.3001, false}}) {
        game::DoubleTap tap;
        EXPECT_FALSE(game::pressedTwice(tap, true, 0.0));
        EXPECT_FALSE(game::pressedTwice(tap, true, 0.1)) << "holding is no second press";
        EXPECT_FALSE(game::pressedTwice(tap, false, 0.2));
        EXPECT_EQ(game::pressedTwice(tap, true, c.second), c.toggles) << c.second;
    }
    game::DoubleTap tap;
    game::pressedTwice(tap, true, 0.0);
    game::pressedTwice(tap, false, 0.05);
    ASSERT_TRUE(game::pressedTwice(tap, true, 0.1));
    game::pressedTwice(tap, false, 0.15);
    EXPECT_FALSE(game::pressedTwice(tap, true, 0.2)) << "a third press starts a new pair";
}

}  // namespace
