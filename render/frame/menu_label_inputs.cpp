#include "app/app.h"
#include "render/interface/menu_labels.h"

void App::buildMenuLabels(std::array<uint32_t, 9>& glyphWords, std::array<uint32_t, 6>& counts) const {
    const render::MenuLabels labels = render::buildMenuLabels({ui.screen, &ui.worlds, ui.selectedWorld, &ui.newWorld});
    glyphWords = labels.glyphs;
    counts = labels.counts;
}
