#include "game/potion_effects.h"

#include <gtest/gtest.h>

namespace {

using game::EffectKind;

content::PotionDef potion(const char* effect, int32_t strength, int32_t ticks) {
    return {"test:potion", "POTION", effect, 30, strength, ticks};
}

PotionEffects running(EffectKind kind, int32_t strength, int32_t ticks) {
    PotionEffects effects;
    effects.active[static_cast<std::size_t>(kind)] = {strength, ticks};
    return effects;
}

// clang-format off
TEST(PotionEffects, DrinkingHealsToTheMaximumOrStartsTheLongerAndStrongerEffect) {
    const struct {
        const char* name;
        PotionEffects before;
        content::PotionDef drunk;
        int32_t health, healthAfter;
        EffectKind kind;
        PotionEffect after;
    } cases[] = {
        {"up to the maximum exactly", {}, potion("healing", 8, 0), 16, 24, EffectKind::Speed, {}},
        {"never past it", {}, potion("healing", 8, 0), 17, 24, EffectKind::Speed, {}},
        {"a health above the maximum stays", {}, potion("healing", 8, 0), 30, 30, EffectKind::Speed, {}},
        {"speed starts", {}, potion("speed", 30, 1800), 5, 5, EffectKind::Speed, {30, 1800}},
        {"water breathing starts", {}, potion("water_breathing", 1, 3600), 5, 5, EffectKind::WaterBreathing, {1, 3600}},
        {"a weaker, longer one keeps the strength and takes the time",
         running(EffectKind::Speed, 40, 100), potion("speed", 30, 1800), 5, 5, EffectKind::Speed, {40, 1800}},
        {"a stronger, shorter one takes the strength and keeps the time",
         running(EffectKind::Speed, 10, 5000), potion("speed", 30, 1800), 5, 5, EffectKind::Speed, {30, 5000}},
        {"an unknown effect does nothing", {}, potion("strength", 30, 1800), 5, 5, EffectKind::Speed, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PotionEffects effects = c.before;
        int32_t health = c.health;
        game::drinkPotion(c.drunk, effects, health, 24);
        EXPECT_EQ(health, c.healthAfter);
        EXPECT_EQ(game::effectOf(effects, c.kind).strength, c.after.strength);
        EXPECT_EQ(game::effectOf(effects, c.kind).ticksLeft, c.after.ticksLeft);
    }
}
// clang-format on

TEST(PotionEffects, AnEffectEndsOnTheStepItsLastTickRuns) {
    const struct {
        int32_t ticks;
        PotionEffect after;
    } cases[] = {{1, {}}, {2, {30, 1}}, {0, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ticks);
        PotionEffects effects = running(EffectKind::Protection, 30, c.ticks);
        game::stepEffects(effects);
        EXPECT_EQ(game::effectOf(effects, EffectKind::Protection).strength, c.after.strength);
        EXPECT_EQ(game::effectOf(effects, EffectKind::Protection).ticksLeft, c.after.ticksLeft);
    }
}

TEST(PotionEffects, SpeedRaisesWalkingAndProtectionLowersDamageByTheirStrength) {
    EXPECT_DOUBLE_EQ(game::walkSpeedFactor({}), 1.0);
    EXPECT_DOUBLE_EQ(game::walkSpeedFactor(running(EffectKind::Speed, 30, 9)), 1.3);
    EXPECT_DOUBLE_EQ(game::walkSpeedFactor(running(EffectKind::Protection, 30, 9)), 1.0);
    const struct {
        int32_t strength, damage, taken;
    } cases[] = {{0, 10, 10}, {25, 10, 7}, {25, 4, 3}, {75, 4, 1}, {75, 3, 0}, {75, 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.strength << " against " << c.damage);
        EXPECT_EQ(game::protectedDamage(c.damage, running(EffectKind::Protection, c.strength, 9)), c.taken);
    }
}

}  // namespace
