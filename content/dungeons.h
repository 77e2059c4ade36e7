#pragma once
// The structure reader: one structure object (houses, dungeons, cities and the like) into the
// structure rule of a generation profile.
#include <cstdint>
#include <string>

#include "content/json.h"
#include "world/generation_profile.h"

namespace content {

inline constexpr std::size_t maxStructureCuboids = 128;
inline constexpr std::size_t maxStructureLootChests = 16;
inline constexpr std::size_t maxStructureTraps = 32;
inline constexpr std::size_t maxStructureSpawns = 16;

// voxel::generationBlock, except that an empty name denotes nothing: built-in definitions have
// empty content ids, and a missing member must not quietly resolve to one of them.
uint8_t namedGenerationBlock(const std::string& name, bool airAllowed);

// Throws std::runtime_error with its own message for every faulty object; a returned rule always
// has its id set. Needs the block registry (cuboid and chest blocks).
voxel::StructureRule loadDungeons(const Json& structure);

}  // namespace content
