#pragma once
// What a drunk potion leaves on the player: the timed effects with their strength and the world steps
// they still last. Healing acts at once and leaves nothing behind.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "content/potions.h"

struct PotionEffect {
    int32_t strength = 0;   // 1..75 while it lasts; 0 when it does not
    int32_t ticksLeft = 0;  // world steps still to run; 0 when it does not last
};

struct PotionEffects {
    // By game::EffectKind.
    std::array<PotionEffect, 3> active{};
};

namespace game {

enum class EffectKind { Speed, Protection, WaterBreathing };
inline constexpr std::array<const char*, 3> kEffectNames{"speed", "protection", "water_breathing"};
// The strongest and longest a timed potion may be: the potion loader's limits.
inline constexpr int32_t kMaxEffectStrength = 75;
inline constexpr int32_t kMaxEffectTicks = 72000;

std::optional<EffectKind> effectKind(std::string_view name);
const PotionEffect& effectOf(const PotionEffects& effects, EffectKind kind);

// Drinks one potion: healing adds its strength to the health up to the maximum; a timed effect
// starts, or, when it already runs, keeps the stronger strength and the longer time of the two.
void drinkPotion(const content::PotionDef& potion, PotionEffects& effects, int32_t& health,
                 int32_t maxHealth);
// One world step: every running effect loses a step, and one that reaches 0 ends.
void stepEffects(PotionEffects& effects);
// Walking and sneaking speed times this: 1 plus the speed effect's strength in hundredths.
double walkSpeedFactor(const PotionEffects& effects);
// Damage that reaches the player: the protection effect takes its strength in hundredths off,
// rounding down, so a blow of 1 under any protection does nothing.
int32_t protectedDamage(int32_t damage, const PotionEffects& effects);

}  // namespace game
