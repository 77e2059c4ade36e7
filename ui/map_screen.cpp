// The world map screen (18): M opens it in play and closes it again, Escape closes it; Up and Down
// choose a listed marker for the map to centre on. Drawn from the overlay that writeMapOverlay fills.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "ui/map_panel.h"

namespace {

constexpr int kMapKey = GLFW_KEY_M;

}  // namespace

void App::openMapScreen() {
    maps.view.selectedMarker = -1;
    setScreen(ui::kMapScreen);
}

void App::handleMapScreenInput() {
    if (!files.worldOpen) return;
    if (ui.screen == UiState::kPlaying && !ui.inventoryOpen) {
        if (ui::takePresses(ui.keyPresses, kMapKey) > 0) openMapScreen();
        return;
    }
    if (ui.screen != ui::kMapScreen) return;
    if (ui::takePresses(ui.keyPresses, kMapKey) > 0) {
        setScreen(UiState::kPlaying);
        return;
    }
    const game::WorldMap& map = currentMap();
    maps.view.markerCount = static_cast<int32_t>(std::min<std::size_t>(map.markers.size(), ui::kMapMarkersListed));
    const auto down = static_cast<int32_t>(ui::takePresses(ui.keyPresses, GLFW_KEY_DOWN));
    const auto up = static_cast<int32_t>(ui::takePresses(ui.keyPresses, GLFW_KEY_UP));
    // -1 (the player) comes before the first listed marker.
    maps.view.selectedMarker = std::clamp(maps.view.selectedMarker + down - up, -1, maps.view.markerCount - 1);
}

ui::MapPanel App::mapPanel() {
    const game::WorldMap& map = currentMap();
    ui::MapPanel panel;
    panel.map = &map;
    panel.playerX = static_cast<int32_t>(std::floor(player.x));
    panel.playerZ = static_cast<int32_t>(std::floor(player.z));
    const std::vector<const game::MapMarker*> listed = ui::listedMarkers(map, panel.playerX, panel.playerZ);
    maps.view.markerCount = static_cast<int32_t>(listed.size());
    maps.view.selectedMarker = std::min(maps.view.selectedMarker, maps.view.markerCount - 1);
    panel.selected = maps.view.selectedMarker;
    panel.centreX = panel.selected < 0 ? panel.playerX : listed[static_cast<std::size_t>(panel.selected)]->x;
    panel.centreZ = panel.selected < 0 ? panel.playerZ : listed[static_cast<std::size_t>(panel.selected)]->z;
    panel.title = map.refused ? U"КАРТА МИРА (ФАЙЛ КАРТЫ ПОВРЕЖДЁН И НЕ ПЕРЕЗАПИСЫВАЕТСЯ)"
                              : U"КАРТА МИРА  X " + ui::utf8ToUtf32(std::to_string(panel.playerX)) + U"  Z " +
                                    ui::utf8ToUtf32(std::to_string(panel.playerZ));
    return panel;
}

void App::writeMapOverlay(std::span<uint32_t> words) {
    if (ui.screen != ui::kMapScreen || !files.worldOpen) return;
    ui::writeMapPanel(words, mapPanel());
}
