#pragma once
// The world list's first visible row and selected world, moved by the wheel and by clicks. Pure, so
// the limits are tested without a window.
#include <cstdint>

namespace ui {

struct WorldListView {
    int32_t scroll = 0;    // first visible row
    int32_t selected = 0;  // index of the selected world
    bool operator==(const WorldListView&) const = default;
};

// After the wheel moved the list by `wheelSteps` rows (positive: towards the top) and a click on
// visible row `clickedRow` (-1: none; a row without a world changes nothing).
WorldListView scrolledWorldList(WorldListView view, int32_t count, int32_t rowsShown, int32_t wheelSteps,
                                int32_t clickedRow);
// The selection kept inside the list and the scroll moved just enough to show it.
WorldListView clampedWorldList(WorldListView view, int32_t count, int32_t rowsShown);

}  // namespace ui
