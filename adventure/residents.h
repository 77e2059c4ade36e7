#pragma once
// Residents: the NPCs that structures' spawn lists name, placed at every site near the player.
// A placed copy's id is the NPC's id, ".city." and its site, so that several sites can house the
// same person.
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "world/generation_profile.h"

namespace adventure {

inline constexpr const char* citySuffix = ".city.";

// The part of an NPC id before ".city." (the whole id when absent).
std::string baseIdOf(const std::string& id);

// Every resident copy of the named NPCs at the cities and inhabited structures whose site centre
// lies within reach of (x, z) on both axes: id -> feet position (cell centre).
std::map<std::string, std::array<double, 3>> placeResidents(const voxel::GenerationContext& context,
                                                            const std::set<std::string>& npcIds, int32_t x,
                                                            int32_t z, int32_t reach);

}  // namespace adventure
