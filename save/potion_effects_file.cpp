#include "save/potion_effects_file.h"

#include "save/text_lines.h"
#include "save/text_record.h"

namespace filesave {

namespace {

constexpr const char* kTag = "QUORVANE_EFFECTS 1";

}  // namespace

std::string encodePotionEffects(const PotionEffects& effects) {
    std::vector<TextRow> rows;
    for (std::size_t k = 0; k < effects.active.size(); ++k) {
        const PotionEffect& effect = effects.active[k];
        if (effect.ticksLeft > 0)
            rows.push_back(
                {game::kEffectNames[k], std::to_string(effect.strength), std::to_string(effect.ticksLeft)});
    }
    return formatTextRecord(kTag, rows);
}

std::optional<PotionEffects> decodePotionEffects(const std::string& text) {
    const auto rows = parseTextRecord(text, kTag, 3, game::kEffectNames.size());
    if (!rows) return std::nullopt;
    PotionEffects effects;
    for (const auto& row : *rows) {
        const auto kind = game::effectKind(row[0]);
        const auto strength = parseWhole<int32_t>(row[1]);
        const auto ticks = parseWhole<int32_t>(row[2]);
        if (!kind || !strength || !ticks || *strength < 1 || *strength > game::kMaxEffectStrength ||
            *ticks < 1 || *ticks > game::kMaxEffectTicks)
            return std::nullopt;
        PotionEffect& effect = effects.active[static_cast<std::size_t>(*kind)];
        if (effect.ticksLeft > 0) return std::nullopt;  // named twice
        effect = {*strength, *ticks};
    }
    return effects;
}

}  // namespace filesave
