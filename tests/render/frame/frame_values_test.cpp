#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <tuple>
#include <vector>

#include "render/frame/daylight.h"
#include "render/frame/frame_stats.h"
#include "render/interface/interface_block.h"
#include "render/view/draw_order.h"
#include "world/chunk.h"

namespace {

using testing::ElementsAre;
using testing::FloatEq;
using testing::Pointwise;

TEST(Daylight, FollowsTheSunAndNeverGoesFullyDark) {
    EXPECT_FLOAT_EQ(render::dayFraction(13440), 0.28f);
    EXPECT_FLOAT_EQ(render::daylight(0.25f), 1.0f);
    EXPECT_NEAR(render::daylight(0.0f), 0.18f, 1e-6f);
    EXPECT_FLOAT_EQ(render::daylight(0.75f), 0.09f);
    EXPECT_NEAR(render::daylight(0.05f), std::sin(0.1f * 3.14159265f) * 1.35f + 0.18f, 1e-5f);
}

// The starless sky is only drawn where the shader's star strength is surely 0: every daylight from
// 0.5 up gives 1 - 2.2 x daylight below zero with room for rounding, and below 0.5 the sky keeps the
// stars' code (from 1 / 2.2 up it works out 0 itself).
TEST(Daylight, StarsAreLeftOutOnlyWhereTheirStrengthIsSurelyZero) {
    const struct {
        float daylight;
        bool hidden;
    } cases[] = {{0.09f, false},
                 {1.0f / 2.2f, false},
                 {std::nextafter(0.5f, 0.0f), false},
                 {0.5f, true},
                 {1.0f, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(render::starsHidden(c.daylight), c.hidden) << c.daylight;
        if (c.hidden) {
            EXPECT_LT(1.0f - c.daylight * 2.2f, -0.05f) << c.daylight;
        }
    }
    EXPECT_FALSE(render::starsHidden(render::daylight(0.75f))) << "midnight";
    EXPECT_TRUE(render::starsHidden(render::daylight(0.25f))) << "noon";
}

TEST(Daylight, ClearColourAtMidnightSunriseAndNoon) {
    const auto rgb = [](float time) {
        const std::array<float, 4> colour = render::clearColour(time);
        return std::array{colour[0], colour[1], colour[2]};
    };
    const auto within = [](std::array<float, 3> expected) { return Pointwise(testing::FloatNear(1e-6f), expected); };
    EXPECT_THAT(rgb(0.75f), within({0.0305f, 0.0485f, 0.095f}));
    EXPECT_FLOAT_EQ(render::clearColour(0.75f)[3], 1.0f);
    // At sunrise s = 0: b = 0.18 and the full warm tint.
    EXPECT_THAT(rgb(0.0f),
                within({0.37f * 0.18f + 0.012f + 0.15f, 0.61f * 0.18f + 0.018f + 0.07f, 0.8f * 0.18f + 0.055f}));
    EXPECT_THAT(rgb(0.25f), within({0.382f, 0.628f, 0.855f}));
}

TEST(FrameStats, TheFirstFrameOnlyStartsTheClocks) {
    render::FrameStats stats;
    render::recordFrameStart(stats, 10.0);
    EXPECT_EQ(stats.ringFill, 0u);
    EXPECT_EQ(stats.ringCounter, 0u);
    EXPECT_DOUBLE_EQ(stats.fpsWindowStart, 10.0);
    render::recordFrameStart(stats, 10.016);
    EXPECT_NEAR(stats.lastFrameMs, 16.0, 1e-9);
    EXPECT_NEAR(stats.ring[0], 16.0, 1e-9);
    EXPECT_EQ(stats.ringCounter, 1u);
    EXPECT_EQ(stats.ringFill, 1u);
}

TEST(FrameStats, RingWrapsAfter120FramesAndFillStops) {
    render::FrameStats stats;
    double t = 0.0;
    render::recordFrameStart(stats, t);
    for (int frame = 1; frame <= 125; ++frame) {
        t += frame == 121 ? 0.1 : 0.01;
        render::recordFrameStart(stats, t);
    }
    EXPECT_EQ(stats.ringCounter, 125u);
    EXPECT_EQ(stats.ringFill, 120u);
    EXPECT_NEAR(stats.ring[0], 100.0, 1e-6) << "frame 121 went to slot 120 mod 120";
    EXPECT_NEAR(stats.ring[4], 10.0, 1e-6);
}

TEST(FrameStats, FramesPerSecondOverHalfSecondWindowsClampedTo9999) {
    render::FrameStats stats;
    render::recordFrameStart(stats, 0.0);
    for (int frame = 1; frame < 30; ++frame) render::recordFrameStart(stats, frame * 0.0166);
    EXPECT_EQ(stats.fps, 0) << "not half a second yet";
    render::recordFrameStart(stats, 0.5);
    EXPECT_EQ(stats.fps, 62) << "31 frames in 0.5 s";
    EXPECT_EQ(stats.fpsFrames, 0);
    EXPECT_DOUBLE_EQ(stats.fpsWindowStart, 0.5);

    render::FrameStats fast;
    render::recordFrameStart(fast, 0.0);
    for (int frame = 1; frame <= 6000; ++frame) render::recordFrameStart(fast, frame * 0.0000834);
    EXPECT_EQ(fast.fps, 9999);
}

InventorySlot slot(uint8_t id, int32_t count) { return InventorySlot{id, count, 0}; }

template <typename T>
T fieldAt(const render::InterfaceBlock& block, std::size_t offset) {
    T value{};
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(&block) + offset, sizeof value);
    return value;
}

template <typename T>
std::vector<T> fieldsAt(const render::InterfaceBlock& block, std::initializer_list<std::size_t> offsets) {
    std::vector<T> values;
    for (std::size_t offset : offsets) values.push_back(fieldAt<T>(block, offset));
    return values;
}

TEST(InterfaceBlock, SlotsAndStatusPack) {
    EXPECT_EQ(render::packSlot(slot(7, 64)), 64u << 8 | 7u);
    EXPECT_EQ(render::packSlot(slot(7, 90)), 64u << 8 | 7u);
    EXPECT_EQ(render::packSlot(slot(3, -2)), 3u);
    // Full health at the plain maximum is 20 bars; 21 of 22 (first skill 1) rounds up to 20.
    EXPECT_EQ(render::statusWord(20, 0, 17, 0.0f), 20u | 17u << 5);
    // Any health left shows; more than the five bits hold stays full instead of wrapping to empty.
    for (const auto& [health, skill, bars] : {std::tuple{21, 1, 20u}, {1, 5, 1u}, {0, 0, 0u}, {-4, 0, 0u},
                                              {31, 0, 31u}, {32, 0, 31u}, {33, 0, 31u}})
        EXPECT_EQ(render::statusWord(health, skill, 0, 0.0f) & 31u, bars) << health << " " << skill;
    EXPECT_EQ(render::statusWord(20, 0, 20, 0.756f) >> 10, 75u);
}

TEST(InterfaceBlock, BowAndCursor) {
    EXPECT_FLOAT_EQ(render::bowDrawFraction(true, 110, 100), 0.5f);
    EXPECT_FLOAT_EQ(render::bowDrawFraction(true, 140, 100), 1.0f);
    EXPECT_FLOAT_EQ(render::bowDrawFraction(false, 140, 100), 0.0f);
    EXPECT_EQ(render::bowField(0.5f, 12, 44), 51u << 20 | 12u << 8 | 44u);
    EXPECT_EQ(render::bowField(1.0f, 9000, 44), 101u << 20 | 4095u << 8 | 44u);
    EXPECT_THAT(render::framebufferCursor(100.0, 50.0, 640, 360, 1280, 720),
                ElementsAre(FloatEq(200.0f), FloatEq(100.0f)));
    EXPECT_THAT(render::framebufferCursor(3.0, 2.0, 0, 0, 4, 4), ElementsAre(FloatEq(12.0f), FloatEq(8.0f)));
}

render::InterfaceInputs playInputs() {
    render::InterfaceInputs in;
    in.framebuffer = {1280.0f, 720.0f};
    in.screen = 0;
    in.selectedSlot = 1;
    in.slots[0] = slot(1, 64);
    in.slots[1] = slot(2, 5);
    in.slots[35] = slot(9, 3);
    in.hovered = 1002;
    in.health = 20;
    in.food = 20;
    in.cursor = {640.0f, 360.0f};
    in.head = {1, 2, 0};
    return in;
}

TEST(InterfaceBlock, PlayFieldsLieAtTheirOffsets) {
    const render::InterfaceBlock block = render::packInterfaceBlock(playInputs());
    EXPECT_THAT(fieldsAt<float>(block, {0, 4, 100, 104}),
                ElementsAre(FloatEq(1280.0f), FloatEq(720.0f), FloatEq(640.0f), FloatEq(360.0f)));
    // Slot 35 lies in the high half of the last slot word (84); the head settings (52) only in menus.
    EXPECT_EQ(fieldsAt<uint32_t>(block, {8, 12, 16, 84, 52, 88, 92, 96, 108}),
              (std::vector<uint32_t>{1u, 0u, (64u << 8 | 1u) | (5u << 8 | 2u) << 16, (3u << 8 | 9u) << 16, 0u, 0u,
                                     1002u, render::statusWord(20, 0, 20, 0.0f), 0u}));
}

TEST(InterfaceBlock, MenusCarryHeadSettingsAndTheMenuValue) {
    render::InterfaceInputs in = playInputs();
    in.menuOpen = true;
    in.screen = 1;
    in.menuValue = 77;
    in.cursorStack = slot(4, 12);
    EXPECT_EQ(fieldsAt<uint32_t>(render::packInterfaceBlock(in), {52, 56, 60, 96, 108}),
              (std::vector<uint32_t>{1u, 2u, 0u, 77u, 12u << 8 | 4u}));

    in.screen = 11;
    in.slots[18] = slot(6, 2);
    EXPECT_EQ(fieldAt<uint32_t>(render::packInterfaceBlock(in), 52), 2u << 8 | 6u) << "the chest keeps its slots";
}

TEST(InterfaceBlock, PendingCaptureHidesTheInterfaceAndABowReplacesTheCursorStackInPlay) {
    render::InterfaceInputs in = playInputs();
    in.hideInterface = true;
    in.bow = render::bowField(0.25f, 3, 44);
    const render::InterfaceBlock block = render::packInterfaceBlock(in);
    EXPECT_EQ(fieldAt<int32_t>(block, 88), -1);
    EXPECT_EQ(fieldAt<uint32_t>(block, 108), *in.bow);
    in.menuOpen = true;
    EXPECT_EQ(fieldAt<uint32_t>(render::packInterfaceBlock(in), 108), 0u) << "no bow field in a menu";
}

TEST(DrawOrder, WaterChunksFarthestFirst) {
    std::vector<uint64_t> keys{voxel::packChunkKey(0, 0), voxel::packChunkKey(3, 0), voxel::packChunkKey(-1, 0),
                               voxel::packChunkKey(0, -3), voxel::packChunkKey(1, 1)};
    render::sortFarthestFirst(keys, 8.0f, 8.0f);
    const std::vector<uint64_t> expected{voxel::packChunkKey(3, 0), voxel::packChunkKey(0, -3),
                                         voxel::packChunkKey(1, 1), voxel::packChunkKey(-1, 0),
                                         voxel::packChunkKey(0, 0)};
    EXPECT_EQ(keys, expected) << "equal distances keep their order";
}

// The plain triangles' chunks go nearest first. Half a block either side of a chunk centre decides
// between the chunks two east and two west; chunks two north and two south are equally far and keep
// their order.
TEST(DrawOrder, PlainChunksNearestFirst) {
    struct Entry {
        uint64_t key;
        int tag;
    };
    const std::vector<Entry> entries{{voxel::packChunkKey(2, 0), 0}, {voxel::packChunkKey(-2, 0), 1},
                                     {voxel::packChunkKey(0, 0), 2}, {voxel::packChunkKey(0, 2), 3},
                                     {voxel::packChunkKey(1, 0), 4}, {voxel::packChunkKey(0, -2), 5}};
    const auto order = [&](float x) {
        std::vector<Entry> sorted = entries;
        render::sortNearestFirst(sorted, x, 8.0f, [](const Entry& e) { return e.key; });
        std::vector<int> tags;
        for (const Entry& e : sorted) tags.push_back(e.tag);
        return tags;
    };
    EXPECT_EQ(order(8.5f), (std::vector<int>{2, 4, 0, 3, 5, 1}));
    EXPECT_EQ(order(7.5f), (std::vector<int>{2, 4, 1, 3, 5, 0}));
}

}  // namespace
