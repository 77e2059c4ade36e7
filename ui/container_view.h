#pragma once
// The container window opened over play: which kind, at which cell, and the chosen recipe.
#include <array>
#include <cstdint>

enum class ContainerKind : int32_t { Chest = 0, Furnace = 1, Workbench = 2, Alchemy = 3 };

struct ContainerView {
    ContainerKind kind = ContainerKind::Chest;
    std::array<int32_t, 3> cell{};
    int32_t recipe = 0;        // index into the open station's recipe list
    int32_t recipeScroll = 0;  // the recipe shown in the list's first row
};
