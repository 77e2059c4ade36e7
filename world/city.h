#pragma once
// Walled cities: where they stand (one candidate per city region of the profile's city rule) and
// how one city is written into the cells of a chunk. Pure functions of the generation context, so
// every chunk a city touches draws the same blocks.
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "world/chunk.h"
#include "world/generation_profile.h"

namespace voxel {

// The city of one region; y is the ground level (the surface height at the centre), present
// whether the region has a city.
using CitySite = SiteRecord;

// Region side of the nearby-site listing when the profile has no city rule.
inline constexpr int32_t defaultCityRegionSide = 384;
// Half the side of a city's walled square.
inline constexpr int32_t cityHalfSide = 32;

// The first structure rule with the city flag, or null.
const StructureRule* cityRule(const GenerationProfile* profile);

// The city of region (gx, gz).
CitySite citySite(const GenerationContext& context, int32_t gx, int32_t gz);

// Every found site whose centre lies within r + 32 of (x, z) on both axes, gz outer, gx inner.
std::vector<CitySite> nearbyCitySites(const GenerationContext& context, int32_t x, int32_t z, int32_t r);

// A box of cells that the builder writes into: sizeX x 128 x sizeZ cells whose corner (0, 0, 0)
// is the world column (originX, originZ), index (y * sizeZ + z) * sizeX + x. A chunk is the 16 x 16
// case; a larger grid lets a whole city be built at once.
struct CellGrid {
    int32_t originX = 0;
    int32_t originZ = 0;
    int32_t sizeX = 16;
    int32_t sizeZ = 16;
    uint8_t* cells = nullptr;
};

// Writes the city's blocks that fall inside the grid.
void buildCity(const GenerationContext& context, const CellGrid& grid, const CitySite& site);
// Writes the city's blocks that fall inside the chunk.
void buildCity(const GenerationContext& context, Chunk& chunk, const CitySite& site);

// Memo of city sites by region. It belongs to one world: whenever the seed, the generation stage
// or the profile differs from the ones its entries were computed with, it empties itself first,
// so a new world never sees the previous world's cities.
class CitySiteCache {
   public:
    // The cached site of region (gx, gz), computed on first use.
    const CitySite& site(const GenerationContext& context, int32_t gx, int32_t gz);
    void clear();
    std::size_t size() const { return sites_.size(); }

   private:
    uint32_t seed_ = 0;
    int32_t stage_ = 0;
    // Held, not just compared by address: a freed profile's address may be reused by the next.
    ProfilePtr profile_;
    std::map<std::pair<int32_t, int32_t>, CitySite> sites_;
};

}  // namespace voxel
