#include "game/potion_effects.h"

#include <algorithm>

namespace game {

std::optional<EffectKind> effectKind(std::string_view name) {
    for (std::size_t k = 0; k < kEffectNames.size(); ++k)
        if (name == kEffectNames[k]) return static_cast<EffectKind>(k);
    return std::nullopt;
}

const PotionEffect& effectOf(const PotionEffects& effects, EffectKind kind) {
    return effects.active[static_cast<std::size_t>(kind)];
}

void drinkPotion(const content::PotionDef& potion, PotionEffects& effects, int32_t& health,
                 int32_t maxHealth) {
    if (potion.effect == "healing") {
        const int64_t healed = std::min<int64_t>(maxHealth, int64_t{health} + potion.strength);
        health = static_cast<int32_t>(std::max<int64_t>(health, healed));
        return;
    }
    const std::optional<EffectKind> kind = effectKind(potion.effect);
    if (!kind) return;
    PotionEffect& effect = effects.active[static_cast<std::size_t>(*kind)];
    effect.strength = std::clamp(std::max(effect.strength, potion.strength), 0, kMaxEffectStrength);
    effect.ticksLeft = std::clamp(std::max(effect.ticksLeft, potion.ticks), 0, kMaxEffectTicks);
}

void stepEffects(PotionEffects& effects) {
    for (PotionEffect& effect : effects.active) {
        if (effect.ticksLeft > 0) --effect.ticksLeft;
        if (effect.ticksLeft == 0) effect = PotionEffect{};
    }
}

double walkSpeedFactor(const PotionEffects& effects) {
    return 1.0 + effectOf(effects, EffectKind::Speed).strength / 100.0;
}

int32_t protectedDamage(int32_t damage, const PotionEffects& effects) {
    const int64_t kept = 100 - effectOf(effects, EffectKind::Protection).strength;
    return static_cast<int32_t>(int64_t{damage} * kept / 100);
}

}  // namespace game
