#include "audio/positional.h"

#include <gtest/gtest.h>

namespace {

// The listener looks along +x, so +z is on the right.
TEST(PlaceAt, LevelFallsToNothingAtSixteenBlocksAndLeansToTheSideOfTheSource) {
    const struct {
        const char* name;
        double dx, dy, dz;
        float gain, pan;
    } cases[] = {
        {"at the ears", 0.0, 0.0, 0.0, 1.0f, 0.0f},
        {"straight ahead", 8.0, 0.0, 0.0, 0.5f, 0.0f},
        {"on the right", 0.0, 0.0, 4.0, 0.75f, 1.0f},
        {"on the left, below", 0.0, -4.0, -4.0, 0.6464466f, -1.0f},
        {"just within hearing", 0.0, 0.0, 15.99, 0.000625f, 1.0f},
        {"at the hearing distance", 16.0, 0.0, 0.0, 0.0f, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const audio::Placement p =
            audio::placeAt({10.0, 64.0, 10.0, 0.0}, 10.0 + c.dx, 64.0 + c.dy, 10.0 + c.dz);
        EXPECT_NEAR(p.gain, c.gain, 1e-6);
        EXPECT_NEAR(p.pan, c.pan, 1e-6);
    }
    // Turned a quarter to the right (looking along +z), a source on +x is on the left.
    EXPECT_NEAR(audio::placeAt({0.0, 0.0, 0.0, 1.5707963267948966}, 4.0, 0.0, 0.0).pan, -1.0f, 1e-6);
}

}  // namespace
