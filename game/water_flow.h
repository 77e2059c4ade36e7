#pragma once
// The water rule of the world step. Levels as the mesher reads them: 0 a still source (no entry in
// the level map), 1..7 water spreading sideways, each cell one level lower than the one feeding
// it, and 8 water falling (a full-height column). Water flows only into loaded air cells: down
// first, and only when it cannot fall, sideways to its four neighbours. Level 7 spreads no
// further, so a source floods at most seven cells out on flat ground. Flowing water never dries
// up; removing its source leaves it standing. Loading a chunk moves on only its flowing water: still
// water, such as what the generator placed, starts to flow when an edit beside it wakes it.
#include <cstddef>
#include <cstdint>

namespace game {

inline constexpr uint8_t kFallingWater = 8;
inline constexpr uint8_t kLastSpreadLevel = 7;
// Cells flowed per world step, so a flood costs a bounded share of every step and remesh.
inline constexpr std::size_t kWaterCellsPerStep = 32;
// Block updates looked at per world step.
inline constexpr std::size_t kBlockUpdatesPerStep = 256;

// The level water takes in a side neighbour of a cell of this level; 0 when it spreads no further.
constexpr uint8_t sidewaysLevel(uint8_t level) {
    if (level == 0 || level == kFallingWater) return 1;
    return level < kLastSpreadLevel ? static_cast<uint8_t>(level + 1) : 0;
}

}  // namespace game
