#include "render/frame/world_frame_values.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "render/atlases/content_meta.h"
#include "render/frame/animation_clock.h"

namespace {

float metaFloat(const std::vector<uint8_t>& meta, std::size_t offset) {
    float value = 0.0f;
    std::memcpy(&value, meta.data() + offset, 4);
    return value;
}

// The world shaders read these values from the push constants and the other shaders from the meta
// records, so both must hold the same bits for the same frame.
TEST(WorldFrameValues, AreTheNumbersOfTheFrameRecords) {
    struct Case {
        int32_t radius;
        double seconds;
        float dayFraction;
    };
    const std::vector<Case> cases{
        {2, 12.5, 0.56f},      {6, 0.0, 0.0f},          {1, 3599.999, 0.25f},
        {4, 3600.0, 0.999f},   {3, 7300.25, 0.5f},      {2, -42.75, 0.1f},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> meta(render::kContentMetaBytes, 0);
        const render::FogRange fog = render::fogRange(c.radius);
        render::writeAnimationClock(meta.data(), c.seconds, c.dayFraction);
        render::writeFogRange(meta.data(), fog);
        const render::WorldFrameValues values = render::worldFrameValues(fog, c.seconds, c.dayFraction);
        EXPECT_EQ(values.fogStart, metaFloat(meta, render::kFogOffset)) << c.seconds;
        EXPECT_EQ(values.fogEnd, metaFloat(meta, render::kFogOffset + 4)) << c.seconds;
        EXPECT_EQ(values.seconds, metaFloat(meta, render::kAnimationClockOffset)) << c.seconds;
        EXPECT_EQ(values.dayFraction, metaFloat(meta, render::kAnimationClockOffset + 4)) << c.seconds;
    }
}

TEST(WorldFrameValues, SecondsWrapAtThePeriod) {
    EXPECT_EQ(render::wrappedAnimationSeconds(3600.0), 0.0f);
    EXPECT_EQ(render::wrappedAnimationSeconds(3600.5), 0.5f);
    EXPECT_EQ(render::wrappedAnimationSeconds(3599.5), 3599.5f);
    EXPECT_EQ(render::wrappedAnimationSeconds(-12.5), 12.5f);
}

}  // namespace
