#pragma once
// The player's map of one dimension: the colours of the block columns explored so far, a chunk at
// a time, and the markers of the places found there (portals, cities). Pure records and rules; the
// App fills them as the player goes (game/map_exploring.cpp) and the map screen shows them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace game {

// Both together bound what one map holds (about 4 MiB of colours) and what its file may say.
inline constexpr std::size_t kMaxMapChunks = 4096;
inline constexpr std::size_t kMaxMapMarkers = 256;
inline constexpr std::size_t kMaxMarkerName = 160;
inline constexpr uint8_t kLastMarkerKind = 3;

inline constexpr uint8_t kPortalMarker = 0;
inline constexpr uint8_t kCityMarker = 1;

// Portal blocks stand in frames: a portal within this many blocks of a marked one is the same portal.
inline constexpr int32_t kSamePortalReach = 4;

// Chunk coordinates (cx, cz), the same pair the chunk window keys its chunks by; the map stands on
// its own so that the interface layout can read it without the App's headers.
using MapChunkKey = std::pair<int32_t, int32_t>;

struct MapMarker {
    int32_t x = 0, y = 0, z = 0;
    uint8_t kind = 0;  // 0..3
    std::string name;  // UTF-8, 1..160 bytes, no control characters
    bool operator==(const MapMarker&) const = default;
};

// The 16 x 16 column colours of a chunk (0x00BBGGRR, index z * 16 + x); 0 is a column not seen.
using ChunkColours = std::array<uint32_t, 256>;

struct WorldMap {
    std::map<MapChunkKey, ChunkColours> chunks;
    std::vector<MapMarker> markers;
    // Changed since it was last written.
    bool dirty = false;
    // Its file exists but was refused: it is never written over, so the player can still recover it.
    bool refused = false;
    bool operator==(const WorldMap& other) const { return chunks == other.chunks && markers == other.markers; }
};

// True for a name the map can keep: 1..160 bytes, none below 0x20 and no 0x7F.
bool isValidMarkerName(const std::string& name);

// Stores a chunk's colours. A full map first forgets the explored chunk farthest from this one, so
// the map keeps the land around where the player is now.
void recordChunk(WorldMap& map, const MapChunkKey& key, const ChunkColours& colours);

// Adds the marker unless one of the same kind already stands at its place (portals: within
// kSamePortalReach), its name or kind is not valid, or the map holds kMaxMapMarkers; true when added.
bool addMarker(WorldMap& map, const MapMarker& marker);

// The colour of column (x, z), 0 when it was never seen.
uint32_t columnColour(const WorldMap& map, int32_t x, int32_t z);

}  // namespace game
