#include "render/chunks/lamp_overlay.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "render/atlases/content_meta.h"

namespace {

std::vector<uint32_t> overlay() { return std::vector<uint32_t>(render::kContentMetaBytes / 4, 0xFFFFFFFFu); }

std::vector<float> recordAt(const std::vector<uint32_t>& words, std::size_t k) {
    std::vector<float> f(4);
    std::memcpy(f.data(), words.data() + render::kLampRecordsWord + 4 * k, 4 * sizeof(float));
    return f;
}

// Lamps one block apart along x, the first at x = first.
std::vector<LampRecord> row(std::size_t n, float first) {
    std::vector<LampRecord> lamps;
    for (std::size_t k = 0; k < n; ++k) lamps.push_back({first + static_cast<float>(k), 64.5f, 8.5f, 0.5f});
    return lamps;
}

TEST(LampOverlay, TheRegionLiesBetweenTheSecondLabelGroupAndTheThird) {
    EXPECT_GE(render::kLampCountWord * 4, render::kLabelGroup2Offset + 22 * render::kLabelBytes);
    EXPECT_EQ(render::kLampRecordsWord * 4 % 16, 0u) << "records are whole 16-byte quads";
    EXPECT_LE((render::kLampRecordsWord + render::kMaxOverlayLamps * 4) * 4, render::kLabelGroup3Offset);
}

TEST(LampOverlay, WritesCountAndRecordsAndClearsWhatAnEarlierFrameLeft) {
    std::vector<uint32_t> words = overlay();
    render::writeOverlayLamps(words, row(3, 1.5f), 0, 0, 0);
    render::writeOverlayLamps(words, {{19.5f, 10.5f, -10.5f, 0.5f}}, 0, 0, 0);
    EXPECT_EQ(words[render::kLampCountWord], 1u);
    EXPECT_EQ(recordAt(words, 0), (std::vector<float>{19.5f, 10.5f, -10.5f, 0.5f}));
    EXPECT_EQ(words[render::kLampRecordsWord + 4], 0u) << "the second lamp of the last frame is gone";
    EXPECT_EQ(words[render::kLampCountWord - 1], 0xFFFFFFFFu) << "nothing before the region";
    EXPECT_EQ(words[render::kLampRecordsWord + 4 * render::kMaxOverlayLamps], 0xFFFFFFFFu) << "nor after it";

    render::writeOverlayLamps(words, {}, 0, 0, 0);
    EXPECT_EQ(words[render::kLampCountWord], 0u);
}

// Up to the limit every lamp goes in list order; past it the nearest to the player, still in list
// order.
TEST(LampOverlay, PastTheLimitTheLampsNearestThePlayerStay) {
    const struct {
        std::size_t lamps;
        float playerX;
        uint32_t count;
        float firstX, lastX;
    } rows[] = {{1023, 0, 1023, 0, 1022}, {1024, 0, 1024, 0, 1023}, {1025, 0, 1024, 0, 1023},
                {1025, 1024, 1024, 1, 1024}, {2000, 1500, 1024, 976, 1999}};
    for (const auto& row : rows) {
        std::vector<uint32_t> words = overlay();
        render::writeOverlayLamps(words, ::row(row.lamps, 0.0f), row.playerX, 64.5f, 8.5f);
        ASSERT_EQ(words[render::kLampCountWord], row.count) << row.lamps;
        EXPECT_FLOAT_EQ(recordAt(words, 0)[0], row.firstX) << row.lamps << " lamps, player at " << row.playerX;
        EXPECT_FLOAT_EQ(recordAt(words, row.count - 1)[0], row.lastX) << row.lamps << " lamps";
    }
}

}  // namespace
