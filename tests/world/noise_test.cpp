// Golden values below were worked out independently of this code, from the formulas with every f32
// operation rounded in turn, so they pin the arithmetic bit for bit.
#include <gtest/gtest.h>

#include "world/noise.h"

namespace {

TEST(LatticeHash, MatchesGoldenValues) {
    EXPECT_EQ(voxel::latticeHash(0, 0, 0), 0u);
    EXPECT_EQ(voxel::latticeUnit(0, 0, 0), 0.0f);
    EXPECT_EQ(voxel::latticeHash(1, 2, 3), 446604638u);
    EXPECT_EQ(voxel::latticeHash(-5, 7, 12345), 662727482u);
    // Products wrap modulo 2^32 at the extremes of the coordinates.
    EXPECT_EQ(voxel::latticeHash(0x7FFFFFFF, INT32_MIN, 0xFFFFFFFFu), 2767685996u);
    EXPECT_EQ(voxel::latticeUnit(0x7FFFFFFF, INT32_MIN, 0xFFFFFFFFu), 0.6444020867347717f);
    EXPECT_FLOAT_EQ(voxel::latticeUnit(1, 2, 3), 0.10398324579000473f);
}

TEST(LatticeHash, UnitValueRoundsTheLargestHashesToOne) {
    EXPECT_EQ(voxel::unitFromHash(0xFFFFFFFFu), 1.0f);
    EXPECT_LT(voxel::unitFromHash(0xFFFFFF00u), 1.0f);
}

TEST(Fnv1a, HashesIdBytes) {
    EXPECT_EQ(voxel::fnv1a(""), 0x811C9DC5u);
    EXPECT_EQ(voxel::fnv1a("core:plains"), 4288384913u);
    EXPECT_EQ(voxel::fnv1a("test:glade"), 2073510866u);
}

TEST(ValueNoise, EqualsLatticeValueAtIntegerPoints) {
    EXPECT_EQ(voxel::valueNoise(3.0f, 4.0f, 77), voxel::latticeUnit(3, 4, 77));
    EXPECT_EQ(voxel::valueNoise(3.0f, 4.0f, 77), 0.8500462174415588f);
    EXPECT_EQ(voxel::valueNoise(-2.0f, -9.0f, 5), voxel::latticeUnit(-2, -9, 5));
}

TEST(ValueNoise, MatchesGoldenValues) {
    // x = -0.5 takes its lattice cell from ix = -1.
    EXPECT_EQ(voxel::valueNoise(-0.5f, 2.25f, 99), 0.5270633101463318f);
    EXPECT_EQ(voxel::valueNoise(13.7f, -4.2f, 12345), 0.22043055295944214f);
    EXPECT_EQ(voxel::valueNoise(-1000.3f, 77.77f, 4000000000u), 0.4681665897369385f);
}

TEST(ValueNoise, ThreeDimensionalMatchesGoldenValues) {
    EXPECT_EQ(voxel::valueNoise3(0.3f, 1.7f, -2.2f, 211), 0.6715296506881714f);
    EXPECT_EQ(voxel::valueNoise3(-5.5f, 0.25f, 9.75f, 12556), 0.2623056173324585f);
    EXPECT_EQ(voxel::valueNoise3(0.0f, 0.0f, 0.0f, 0), 0.0f);
}

}  // namespace
