#pragma once
// The pieces of chunk generation that more than one generator uses: writing world cells into a
// chunk, the ore hashes, trees, and the ruins on their 96-block grid.
#include <cstdint>
#include <string>
#include <vector>

#include "world/chunk.h"
#include "world/generation_profile.h"
#include "world/noise.h"

namespace voxel {

inline constexpr uint8_t grassId = 1;
inline constexpr uint8_t dirtId = 2;
inline constexpr uint8_t stoneId = 3;
inline constexpr uint8_t sandId = 4;
inline constexpr uint8_t bedrockId = 6;
inline constexpr uint8_t oakLogId = 7;
inline constexpr uint8_t oakLeavesId = 8;
inline constexpr uint8_t coalOreId = 9;
inline constexpr uint8_t ironOreId = 10;
inline constexpr uint8_t goldOreId = 11;
inline constexpr uint8_t diamondOreId = 12;

inline constexpr int32_t ruinsRegionSide = 96;

// World coordinates into one chunk's cells; writes outside the chunk or the world are dropped, so
// a feature that straddles a border can be drawn whole by every chunk it touches.
struct ChunkCells {
    int32_t originX;
    int32_t originZ;
    uint8_t* cells;

    explicit ChunkCells(Chunk& chunk)
        : originX(chunk.cx * chunkSize), originZ(chunk.cz * chunkSize), cells(chunk.cells.data()) {}

    bool holds(int32_t x, int32_t y, int32_t z) const {
        return insideChunk(static_cast<uint32_t>(x - originX), static_cast<uint32_t>(y),
                           static_cast<uint32_t>(z - originZ));
    }
    uint8_t& at(int32_t x, int32_t y, int32_t z) const {
        return cells[cellIndex(static_cast<uint32_t>(x - originX), static_cast<uint32_t>(y),
                               static_cast<uint32_t>(z - originZ))];
    }
    void set(int32_t x, int32_t y, int32_t z, uint8_t id) const {
        if (holds(x, y, z)) at(x, y, z) = id;
    }
    void setIfAir(int32_t x, int32_t y, int32_t z, uint8_t id) const {
        if (holds(x, y, z) && at(x, y, z) == airId) at(x, y, z) = id;
    }
};

// The built-in ore of a stone cell (or the cell's own block); ironLimit is the height below which
// iron appears. Inline: it runs for nearly every stone cell.
inline uint8_t builtinOre(uint32_t seed, int32_t x, int32_t y, int32_t z, uint8_t block, int32_t ironLimit) {
    const uint32_t ux = static_cast<uint32_t>(x);
    const uint32_t uy = static_cast<uint32_t>(y);
    const uint32_t uz = static_cast<uint32_t>(z);
    const float u =
        unitFromHash(mixHash(((ux * 0xDE0497BDu) - uy * 1640531527u) ^ (uy * 2048144789u + uz * 1925409571u) ^ (seed + 31u)));
    if (y < 18 && u > 0.997f) return diamondOreId;
    if (y < 32 && u > 0.987f) return goldOreId;
    if (y < ironLimit && u > 0.97f) return ironOreId;
    if (u > 0.94f) return coalOreId;
    return block;
}

// The highest available custom id whose content id is name; 0 when none.
uint8_t lastCustomBlock(const std::string& name);

// The ruins of one 96 x 96 region.
struct RuinsSite {
    int32_t x = 0;
    int32_t z = 0;
    int32_t y = 0;
    bool present = false;
};

RuinsSite ruinsSite(const GenerationContext& context, int32_t rx, int32_t rz);
// The column lies within 8 blocks of the present ruins of its region.
bool nearRuins(const GenerationContext& context, int32_t x, int32_t z);

// Ruins sites of the few regions one chunk asks about, each computed once.
class RuinsCache {
   public:
    explicit RuinsCache(const GenerationContext& context) : context_(context) {}
    const RuinsSite& site(int32_t rx, int32_t rz);
    bool near(int32_t x, int32_t z);

   private:
    struct Entry {
        int32_t rx;
        int32_t rz;
        RuinsSite site;
    };
    const GenerationContext& context_;
    std::vector<Entry> entries_;
};

// Trees of the 12-block grid that reach the chunk; every choice comes from the trunk column.
void placeTrees(const GenerationContext& context, Chunk& chunk, RuinsCache& ruins);
// Ruins floors, walls and (stage 4) chests that reach the chunk.
void placeRuins(const GenerationContext& context, Chunk& chunk, RuinsCache& ruins);

}  // namespace voxel
