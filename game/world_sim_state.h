#pragma once
// What the world step keeps between steps besides the cells themselves: the water cells waiting to
// flow, the crops growing, the portal markers near the player and the hunger clock.
#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <vector>

#include "app/chunk_window_state.h"

// A portal block near the player, as the world map shows it.
struct PortalMarker {
    CellKey cell{};
    uint8_t id = 0;
    bool operator==(const PortalMarker&) const = default;
};

struct WorldSimState {
    // Water cells that may flow, in the order they were found; the set keeps each in once.
    std::deque<CellKey> waterQueue;
    std::set<CellKey> waterQueued;
    // Crop cells -> world tick at which the crop reached the stage it shows.
    std::map<CellKey, uint64_t> crops;
    std::vector<PortalMarker> portals;
    uint64_t portalScanTick = 0;
    bool portalsScanned = false;
};
