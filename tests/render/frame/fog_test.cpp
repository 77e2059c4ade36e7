#include "render/frame/fog.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "render/atlases/content_meta.h"

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

TEST(Fog, WritesItsTwoWordsAndNothingElse) {
    std::vector<uint8_t> meta(render::kContentMetaBytes, 0xAB);
    render::writeFogRange(meta.data(), {48.0f, 96.0f});
    std::array<float, 2> range{};  // start, end
    std::memcpy(range.data(), meta.data() + render::kFogOffset, sizeof range);
    EXPECT_EQ(range, (std::array{48.0f, 96.0f}));
    std::size_t changed = 0;
    for (uint8_t byte : meta) changed += byte != 0xAB;
    EXPECT_LE(changed, render::kFogBytes);
    EXPECT_EQ(meta[render::kFogOffset - 1], 0xAB) << "the covered flag stays";
    EXPECT_EQ(meta[render::kFogOffset + render::kFogBytes], 0xAB);
}

}  // namespace
