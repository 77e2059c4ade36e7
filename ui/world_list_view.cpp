#include "ui/world_list_view.h"

#include <algorithm>

namespace ui {

namespace {

int32_t lastScroll(int32_t count, int32_t rowsShown) { return std::max(count - rowsShown, 0); }

}  // namespace

WorldListView scrolledWorldList(WorldListView view, int32_t count, int32_t rowsShown, int32_t wheelSteps,
                                int32_t clickedRow) {
    if (clickedRow >= 0 && clickedRow < rowsShown && view.scroll + clickedRow < count)
        view.selected = view.scroll + clickedRow;
    view.scroll = std::clamp(view.scroll - wheelSteps, 0, lastScroll(count, rowsShown));
    return view;
}

WorldListView clampedWorldList(WorldListView view, int32_t count, int32_t rowsShown) {
    view.selected = std::clamp(view.selected, 0, std::max(count - 1, 0));
    view.scroll = std::clamp(view.scroll, std::max(view.selected - rowsShown + 1, 0),
                             std::min(view.selected, lastScroll(count, rowsShown)));
    return view;
}

}  // namespace ui
