#pragma once
// living_state.txt: the living world's clocks (adventure/living_clocks.h), a text record
// (save/text_record.h) with exactly these three lines in this order:
//   QUORVANE_LIVING 1
//   raid <world steps 0..479999>
//   caravan <world steps 0..479999>
//   market <world steps 0..47999>
//   end
#include <optional>
#include <string>

#include "adventure/living_clocks.h"

namespace filesave {

inline constexpr const char* kLivingStateFile = "living_state.txt";

std::string encodeLivingState(const LivingClocks& clocks);
std::optional<LivingClocks> decodeLivingState(const std::string& text);

}  // namespace filesave
