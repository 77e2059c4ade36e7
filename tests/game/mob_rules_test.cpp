#include "game/mob_rules.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

TEST(MobRules, NightIsTheSecondHalfOfTheDay) {
    struct Case {
        int32_t time;
        bool night;
    };
    for (const Case c : {Case{0, false}, Case{24000, false}, Case{24001, true}, Case{47999, true}, Case{48000, false},
                         Case{-1, true}}) {
        EXPECT_EQ(game::isNight(c.time), c.night) << c.time;
    }
}

TEST(MobRules, TimersRunDownAndTheDeadCountUp) {
    Mob mob;
    mob.x = 3.0;
    mob.hurtTimer = 1;
    mob.windupRemaining = 2;
    mob.postAttackTimer = 0;
    game::stepMobTimers(mob);
    EXPECT_EQ(mob.prevX, 3.0);
    EXPECT_EQ(mob.ticks, 1u);
    EXPECT_EQ((std::array{mob.hurtTimer, mob.windupRemaining, mob.postAttackTimer, mob.deathTimer}),
              (std::array{0, 1, 0, 0}));
    mob.health = 0;
    mob.deathTimer = game::kCorpseTicks - 1;
    EXPECT_FALSE(game::corpseExpired(mob));
    game::stepMobTimers(mob);
    EXPECT_TRUE(game::corpseExpired(mob));
}

TEST(MobRules, NightCandidatesAndTheirSpawnRing) {
    std::vector<content::MobDef> defs{content::builtinMob(0), content::builtinMob(1), content::builtinMob(1),
                                      content::builtinMob(1)};
    defs[2].enabled = false;
    defs[3].dimensions = {"core:ash"};
    EXPECT_EQ(game::nightSpawnCandidates(defs, "core:overworld"), std::vector<std::size_t>{1});
    EXPECT_EQ(game::nightSpawnCandidates(defs, "core:ash"), std::vector<std::size_t>{3});
    for (uint64_t seed = 0; seed < 200; ++seed) {
        const game::SpawnSpot spot = game::spawnSpot(seed, 100.0, -50.0, 3);
        const double distance = std::hypot(spot.x - 100.0, spot.z + 50.0);
        EXPECT_GE(distance, game::kSpawnMinDistance);
        EXPECT_LE(distance, game::kSpawnMaxDistance);
        EXPECT_LT(spot.pick, 3u);
    }
}

}  // namespace

namespace {

TEST(MobRules, AKillPaysThePassiveRewardOnlyForAPassiveKind) {
    const content::RpgRules rewards{25, 5, 12, 25};
    content::MobDef deer, wolf;
    deer.id = "t:deer";
    deer.behavior = "passive";
    wolf.id = "t:wolf";
    wolf.behavior = "melee";
    const std::vector<content::MobDef> defs{deer, wolf};
    const struct {
        const char* defId;
        uint32_t kind;
        int32_t reward;
    } rows[] = {{"t:deer", 1, 5}, {"t:wolf", 0, 25}, {"t:gone", 1, 25}, {"t:gone", 0, 5}};
    for (const auto& row : rows) {
        Mob mob;
        mob.defId = row.defId;
        mob.kind = row.kind;
        EXPECT_EQ(game::killExperience(rewards, defs, mob), row.reward) << row.defId << ", kind " << row.kind;
    }
}

}  // namespace
