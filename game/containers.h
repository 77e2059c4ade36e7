#pragma once
// Chests as the world simulation keeps them: the stored slots of every chest by its cell.
#include <array>
#include <map>

#include "app/chunk_window_state.h"
#include "game/player_state.h"

using ChestSlots = std::array<InventorySlot, 27>;

struct ContainerState {
    std::map<CellKey, ChestSlots> chests;
};
