#include "ui/input_latch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int32_t kKey = 257;
constexpr int32_t kOtherKey = 256;

// One frame: the presses the callbacks note before it, then what the frame takes.
struct Frame {
    uint32_t presses;
    uint32_t taken;
};

struct LatchCase {
    const char* name;
    std::vector<Frame> frames;
};

TEST(PressLatch, CountsPressesBetweenFramesWhateverTheFrameRate) {
    const LatchCase cases[] = {
        {"nothing pressed", {{0, 0}, {0, 0}}},
        {"pressed and released inside one frame", {{1, 1}, {0, 0}}},
        {"two presses inside one frame", {{2, 2}, {0, 0}}},
        // A held key sends one press and then repeats, which are not presses.
        {"held across frames", {{1, 1}, {0, 0}, {0, 0}}},
        {"one press in each frame", {{1, 1}, {1, 1}}},
    };
    for (const LatchCase& c : cases) {
        ui::PressLatch latch;
        for (std::size_t i = 0; i < c.frames.size(); ++i) {
            for (uint32_t p = 0; p < c.frames[i].presses; ++p) ui::notePress(latch, kKey);
            EXPECT_EQ(ui::takePresses(latch, kKey), c.frames[i].taken) << c.name << ", frame " << i;
        }
    }
}

TEST(PressLatch, KeysAreCountedApart) {
    ui::PressLatch latch;
    ui::notePress(latch, kKey);
    EXPECT_EQ(ui::takePresses(latch, kOtherKey), 0u);
    EXPECT_EQ(ui::takePresses(latch, kKey), 1u);
}

TEST(PressLatch, ClearedPressesAreNotTaken) {
    ui::PressLatch latch;
    ui::notePress(latch, kKey);
    ui::notePress(latch, kOtherKey);
    ui::clearPresses(latch);
    EXPECT_EQ(ui::takePresses(latch, kKey), 0u);
    EXPECT_EQ(ui::takePresses(latch, kOtherKey), 0u);
    ui::notePress(latch, kKey);
    EXPECT_EQ(ui::takePresses(latch, kKey), 1u) << "presses after the clear count";
}

}  // namespace
