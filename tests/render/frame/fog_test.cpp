#include "render/frame/fog.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

TEST(Fog, IsCompleteWhereTheWindowCanEndAtTheNearest) {
    struct Case {
        int32_t radius;
        float start, end;
    };
    const std::vector<Case> cases{
        {-1, 8.0f, 16.0f}, {0, 8.0f, 16.0f},  {1, 8.0f, 16.0f},   {2, 16.0f, 32.0f},   {3, 24.0f, 48.0f},
        {4, 32.0f, 64.0f}, {6, 48.0f, 96.0f}, {8, 64.0f, 128.0f}, {10, 80.0f, 160.0f}, {12, 96.0f, 192.0f},
    };
    for (const Case& c : cases) {
        const render::FogRange fog = render::fogRange(c.radius);
        EXPECT_EQ(std::pair(fog.start, fog.end), std::pair(c.start, c.end)) << c.radius;
    }
}

}  // namespace
