#pragma once
// The App's world maps: the map of each dimension visited in this world (read from its file on
// first use), the folder the files live in, and what the map screen and the exploring keep between
// frames.
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <string>

#include "app/chunk_window_state.h"
#include "game/world_map.h"

struct MapViewState {
    // Chunks waiting to be recorded into the current map, each once, with why: explored (the player
    // came near) or edited (recorded again only when the map already has it).
    std::deque<ChunkKey> queue;
    std::map<ChunkKey, uint8_t> queued;
    int32_t markerCount = 0;      // markers the map screen lists
    int32_t selectedMarker = -1;  // the listed marker the map screen centres on; -1 the player
};

inline constexpr uint8_t kMapChunkExplored = 1;
inline constexpr uint8_t kMapChunkEdited = 2;

struct WorldMapState {
    std::map<std::string, game::WorldMap> cache;  // by dimension id
    std::filesystem::path directory;              // empty until a map is first needed
    MapViewState view;
};
