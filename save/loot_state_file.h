#pragma once
// loot_state.txt: the chests of generated structures already filled, a text record
// (save/text_record.h)
//   QUORVANE_LOOT 2
//   <dimension id> <x> <y 0..127> <z>   one line per filled chest, each dimension and cell at most
//                                       once, at most 65,536; the id a resource id
//   end
// The earlier "QUORVANE_LOOT 1" record has lines of <x> <y> <z> alone: the overworld's chests.
#include <optional>
#include <string>

#include "adventure/loot_roll.h"

namespace filesave {

inline constexpr const char* kLootStateFile = "loot_state.txt";
inline constexpr uint32_t kMaxFilledChests = 1u << 16;

// Throws "Cannot save loot_state.txt: <count> records, at most 65536" for more chests than the
// reader takes, and refuses a dimension id that is no resource id (save/dimension_ids.h).
std::string encodeLootState(const LootState& state);
std::optional<LootState> decodeLootState(const std::string& text);

}  // namespace filesave
