#include "render/frame/animation_clock.h"

#include <gtest/gtest.h>

namespace {

TEST(AnimationClock, WrapsLongRunsToKeepFloatPrecision) {
    EXPECT_FLOAT_EQ(render::wrappedAnimationSeconds(86400.0 * 3 + 7.25), 7.25f);
    EXPECT_FLOAT_EQ(render::wrappedAnimationSeconds(3599.5), 3599.5f);
}

// A fixed clock of zero is still a fixed clock: captures at the start of the animation.
TEST(AnimationClock, AFixedValueWinsOverTheWallClock) {
    EXPECT_EQ(render::animationSeconds(std::nullopt, 42.5), 42.5);
    EXPECT_EQ(render::animationSeconds(0.0, 42.5), 0.0);
    EXPECT_EQ(render::animationSeconds(7.0, 42.5), 7.0);
}

}  // namespace
