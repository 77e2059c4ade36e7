#include <algorithm>

#include "ui/ui_state.h"

namespace ui {

// The inventory panel keeps a 16:9 shape, fills at most 96 % of the width and 90 % of the height,
// and never grows past 1640 pixels.
InventoryLayout inventoryLayout(float width, float height) {
    InventoryLayout layout{};
    const float p = std::min({1640.0f, width * 0.96f, height * 0.9f * 1600.0f / 900.0f});
    const float h = p * 900.0f / 1600.0f;
    layout.panelWidth = p;
    layout.panelHeight = h;
    layout.panelLeft = (width - p) / 2.0f;
    layout.panelTop = (height - h) / 2.0f;
    layout.leftColumnWidth = p * 0.302f;
    layout.rightColumnWidth = p * 0.238f;
    layout.headerHeight = h * 0.1f;
    layout.footerHeight = h * 0.11f;
    layout.slotSize = std::min((p - layout.leftColumnWidth - layout.rightColumnWidth - 30.0f) / 9.0f, 82.0f);
    return layout;
}

}  // namespace ui
