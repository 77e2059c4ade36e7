#pragma once
// Profile structures: where a rule's structure stands in one spacing cell, drawing the structures
// that reach a chunk, and the loot table of a generated chest.
#include <cstdint>
#include <string>

#include "world/chunk.h"
#include "world/generation_profile.h"

namespace voxel {

// The site of one rule in one spacing cell with every placement test (cities nearby, crowding of
// inhabited structures, dungeon entrances, sky footing). Not present for a city rule or below
// stage 3.
SiteRecord structureAt(const GenerationContext& context, const StructureRule& rule, int32_t gx, int32_t gz);

// The site that chunk generation draws in a cell: in the sky terrain the structureAt site; else
// the chance, origin, height and biome tests, and structureAt only for a rule with residents.
SiteRecord generatedStructureSite(const GenerationContext& context, const StructureRule& rule, int32_t gx,
                                  int32_t gz);

// Draws the parts and chest blocks of every non-city structure that reaches the chunk (stage 3).
void placeStructures(const GenerationContext& context, Chunk& chunk);

// The loot table of a generated chest at the cell: a structure's loot chest (the same site tests
// as generation), else at stage 4 "core:ruins" for a ruins chest; empty otherwise.
std::string chestLootAt(const GenerationContext& context, int32_t x, int32_t y, int32_t z);

}  // namespace voxel
