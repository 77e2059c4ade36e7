#pragma once
// Chests as the world simulation keeps them: the stored slots of every chest by its dimension and
// cell.
#include <array>

#include "game/dimension_cells.h"
#include "game/player_state.h"

using ChestSlots = std::array<InventorySlot, 27>;

struct ContainerState {
    CellsByDimension<ChestSlots> chests;
};
