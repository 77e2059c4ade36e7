#pragma once
// Portal blocks near the player, found for the world map's markers.
#include <array>
#include <cstdint>
#include <vector>

#include "game/world_sim_state.h"
#include "world/chunk.h"

namespace game {

// Horizontal reach of the markers, in blocks, and how often (world steps) they are looked for again.
inline constexpr int32_t kPortalRadius = 32;
inline constexpr uint64_t kPortalScanSteps = 20;

// Appends the cells of the chunk whose id is flagged and that lie within the radius of (x, z)
// horizontally (a square), in cell index order.
void findPortals(const voxel::Chunk& chunk, const std::array<bool, 256>& isPortal, int32_t x, int32_t z,
                 int32_t radius, std::vector<PortalMarker>& out);

}  // namespace game
