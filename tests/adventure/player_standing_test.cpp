#include "adventure/player_standing.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using adventure::Coins;
using adventure::kWalletLimit;

TEST(PlayerStanding, CopperIsCountedInGoldSilverAndCopper) {
    struct Case {
        uint64_t copper;
        Coins coins;
    };
    const Case cases[] = {
        {0, {0, 0, 0}},       {99, {0, 0, 99}},   {100, {0, 1, 0}},         {9'999, {0, 99, 99}},
        {10'000, {1, 0, 0}},  {10'101, {1, 1, 1}}, {kWalletLimit - 1, {99'999'999, 99, 99}},
    };
    for (const Case& c : cases) EXPECT_EQ(adventure::coinsOf(c.copper), c.coins) << c.copper;
}

TEST(PlayerStanding, TheWalletStopsOneCoinShortOfItsLimit) {
    struct Case {
        uint64_t before, earned;
        uint64_t after, taken;
    };
    const Case cases[] = {
        {0, 250, 250, 250},
        {kWalletLimit - 2, 1, kWalletLimit - 1, 1},  // the last coin that fits
        {kWalletLimit - 2, 2, kWalletLimit - 1, 1},  // one over: refused
        {kWalletLimit - 1, 1, kWalletLimit - 1, 0},
        {5, std::numeric_limits<uint64_t>::max(), kWalletLimit - 1, kWalletLimit - 6},
    };
    for (const Case& c : cases) {
        adventure::PlayerStanding standing;
        standing.copper = c.before;
        EXPECT_EQ(adventure::earnCoins(standing, c.earned), c.taken) << c.before << " + " << c.earned;
        EXPECT_EQ(standing.copper, c.after) << c.before << " + " << c.earned;
    }
}

TEST(PlayerStanding, APriceIsPaidOnlyWhenTheWalletHoldsIt) {
    const struct {
        uint64_t price;
        bool paid;
        uint64_t left;
    } rows[] = {{299, true, 1}, {300, true, 0}, {301, false, 300}};
    for (const auto& row : rows) {
        adventure::PlayerStanding standing;
        standing.copper = 300;
        EXPECT_EQ(adventure::spendCoins(standing, row.price), row.paid) << row.price;
        EXPECT_EQ(standing.copper, row.left) << row.price;
    }
}

TEST(PlayerStanding, ReputationIsHeldWithin0And1000) {
    const struct {
        int32_t before, change, after;
    } rows[] = {{0, -1, 0},    {1, -1, 0},    {999, 1, 1000}, {1000, 1, 1000}, {500, 600, 1000},
                {500, -600, 0}, {10, std::numeric_limits<int32_t>::min(), 0},
                {10, std::numeric_limits<int32_t>::max(), 1000}};
    for (const auto& row : rows) {
        adventure::PlayerStanding standing;
        standing.reputation = row.before;
        adventure::changeReputation(standing, row.change);
        EXPECT_EQ(standing.reputation, row.after) << row.before << " + " << row.change;
    }
}

}  // namespace
