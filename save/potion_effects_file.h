#pragma once
// potion_effects.txt: the player's running potion effects, a text record (save/text_record.h)
//   QUORVANE_EFFECTS 1
//   <effect> <strength 1..75> <world steps left 1..72000>   one line per running effect, each at most once
//   end
// where <effect> is "speed", "protection" or "water_breathing".
#include <optional>
#include <string>

#include "game/potion_effects.h"

namespace filesave {

inline constexpr const char* kPotionEffectsFile = "potion_effects.txt";

std::string encodePotionEffects(const PotionEffects& effects);
std::optional<PotionEffects> decodePotionEffects(const std::string& text);

}  // namespace filesave
