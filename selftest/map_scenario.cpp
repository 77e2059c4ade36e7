// The world map self-test: the ground around the player explored into the current dimension's map,
// an edit recorded again, a portal and a city marked once each, the map screen opened, drawn into
// the overlay and closed, the map file written and read back by a second App, a damaged map file
// left as it is, and a world reset that saves the map and forgets the cache.
#include <GLFW/glfw3.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "game/portals.h"
#include "platform/file_read.h"
#include "render/atlases/content_meta.h"
#include "render/interface/interface_layout.h"
#include "render/interface/overlay_text.h"
#include "save/map_file.h"
#include "selftest/check_list.h"
#include "selftest/scenario_world.h"
#include "selftest/scenarios.h"
#include "ui/input_latch.h"

namespace selftest {

namespace {

constexpr int32_t kFloor = 64;
constexpr int32_t kGroundRadius = 2;

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%06x", value);
    return text;
}

void recordTillIdle(App& app) {
    for (int frame = 0; frame < 64 && (frame == 0 || !app.maps.view.queue.empty()); ++frame) app.updateWorldMap();
}

void requireColumn(App& app, int32_t x, int32_t z, uint32_t expected, const std::string& check) {
    const uint32_t shown = game::columnColour(app.currentMap(), x, z);
    require(shown == expected, check, "column " + std::to_string(x) + "," + std::to_string(z) + " shows " + hex(shown) +
                                          ", not " + hex(expected));
}

void exploreAndEdit(App& app, uint8_t stone, uint8_t log) {
    recordTillIdle(app);
    const std::size_t chunks = app.currentMap().chunks.size();
    require(chunks == 25, "explore", std::to_string(chunks) + " chunks recorded around the player, not 25");
    requireColumn(app, -20, 30, app.blockColour(stone, kFloor - 1), "explore");
    require(app.setBlock(5, kFloor, 6, log), "edit", "the log could not be placed");
    recordTillIdle(app);
    requireColumn(app, 5, 6, app.blockColour(log, kFloor), "edit");
}

void markPortalAndCity(App& app, uint8_t portal) {
    require(app.setBlock(10, kFloor, 10, portal) && app.setBlock(10, kFloor + 1, 10, portal), "portal",
            "the portal blocks could not be placed");
    app.updatePortals();
    app.clock.tick += game::kPortalScanSteps;
    app.updatePortals();
    const std::vector<game::MapMarker>& markers = app.currentMap().markers;
    require(markers.size() == 1 && markers[0].kind == game::kPortalMarker && markers[0].x == 10,
            "portal", std::to_string(markers.size()) + " markers after two scans of one portal");
    require(markers[0].name == voxel::blockDef(portal).name, "portal", "marker named " + markers[0].name);
    const voxel::CitySite site = nearestCitySite(app, 4096);
    require(site.present, "city", "no city within 4096 blocks of the origin");
    app.markCityOfChunk({voxel::floorDiv(site.x, 16), voxel::floorDiv(site.z, 16)});
    app.markCityOfChunk({voxel::floorDiv(site.x, 16), voxel::floorDiv(site.z, 16) + 1});
    require(markers.size() == 2 && markers[1].kind == game::kCityMarker && markers[1].x == site.x &&
                markers[1].z == site.z,
            "city", std::to_string(markers.size()) + " markers after the city's chunks were explored");
}

void openDrawAndClose(App& app) {
    ui::notePress(app.ui.keyPresses, GLFW_KEY_M);
    app.handleMapScreenInput();
    require(app.ui.screen == ui::kMapScreen, "map screen", "M opened screen " + std::to_string(app.ui.screen));
    ui::notePress(app.ui.keyPresses, GLFW_KEY_DOWN);
    app.handleMapScreenInput();
    std::vector<uint32_t> words(render::kContentMetaBytes / 4);
    app.writeMapOverlay(words);
    require(app.maps.view.markerCount == 2 && app.maps.view.selectedMarker == 0, "map screen",
            std::to_string(app.maps.view.markerCount) + " markers listed, " +
                std::to_string(app.maps.view.selectedMarker) + " chosen");
    const uint32_t nameLine = (render::kFirstTextLineRecord + ui::kMapFirstMarkerLine) * render::kTextLineWords;
    require(words[nameLine] > 0, "map screen", "the nearest marker's line is empty");
    render::InterfaceBlock block{};
    block.framebuffer[0] = 1280.0f;
    block.framebuffer[1] = 720.0f;
    block.screen = ui::kMapScreen;
    bool drawn = false;
    for (const render::InterfaceElement& e : render::layoutInterface(block, words))
        drawn = drawn || e.kind == render::ElementKind::Map;
    require(drawn, "map screen", "the layout has no map grid");
    ui::notePress(app.ui.keyPresses, GLFW_KEY_ESCAPE);
    app.handleEscape();
    require(app.ui.screen == UiState::kPlaying, "map screen", "Escape left screen " + std::to_string(app.ui.screen));
}

void saveAndReadBack(App& app) {
    app.saveMap();
    const auto path = app.files.world / filesave::mapFileName(app.dimension);
    const auto bytes = platform::readFileBytes(path);
    require(bytes && bytes->starts_with("QUORVANE_MAP140\n"), "save", path.string() + " is missing or has no header");
    App loaded;
    loaded.useBaseDirectory(app.files.base);
    require(loaded.currentMap() == app.currentMap(), "save", "the map read back differs");
}

void damagedFileLeftAlone(App& app) {
    const auto path = app.files.world / filesave::mapFileName("core:ash");
    const std::string damaged = "QUORVANE_MAP140\nchunks 9999\n";
    std::ofstream(path, std::ios::binary) << damaged;
    App other;
    other.useBaseDirectory(app.files.base);
    other.dimension = "core:ash";
    require(other.currentMap().refused, "damaged file", "a map file of 9999 chunks was read");
    game::addMarker(other.currentMap(), {0, 0, 0, game::kPortalMarker, "P"});
    other.saveMap();
    require(platform::readFileBytes(path) == damaged, "damaged file", "the damaged map file was written over");
}

void resetSavesAndForgets(App& app) {
    const auto path = app.files.world / filesave::mapFileName(app.dimension);
    game::addMarker(app.currentMap(), {-500, 70, -500, 3, "LAST"});
    app.resetWorldState();
    const MapViewState& view = app.maps.view;
    require(app.maps.cache.empty() && app.maps.directory.empty() && view.queue.empty() && view.queued.empty() &&
                view.markerCount == 0 && view.selectedMarker == -1,
            "reset", "the map cache, folder or view state survived the reset");
    const auto read = filesave::decodeMap(platform::readFileBytes(path).value_or(""));
    require(read && read->markers.size() == 3, "reset", "the map was not saved before the cache was emptied");
}

void mapChecks(const Path& work, const Path& contentRoot) {
    App app;
    prepareScenarioApp(app, work, contentRoot);
    loadScenarioContent(app);
    app.files.worldOpen = true;
    app.world.profile = app.stream.defaultProfile;  // its cities are the ones the map marks
    app.setScreen(UiState::kPlaying);
    const uint8_t stone = requireResource("core:stone", "ground");
    for (int32_t cz = -kGroundRadius; cz <= kGroundRadius; ++cz)
        for (int32_t cx = -kGroundRadius; cx <= kGroundRadius; ++cx) addGroundChunk(app, cx, cz, stone, kFloor);
    app.player.x = 8.0f, app.player.y = kFloor + 1.0f, app.player.z = 8.0f;
    exploreAndEdit(app, stone, requireResource("core:oak_log", "edit"));
    markPortalAndCity(app, requireResource("core:ash_portal", "portal"));
    openDrawAndClose(app);
    saveAndReadBack(app);
    damagedFileLeftAlone(app);
    resetSavesAndForgets(app);
}

}  // namespace

int map(const Path& out, const Path& contentRoot) {
    return runChecks(out / "map-self-test.log",
                     "MAP_OK: explored ground and an edit recorded, one marker per portal and city, map screen "
                     "opened, drawn and closed, map file read back, a damaged one left alone, reset saved it",
                     [&] { mapChecks(out / "map-self-test", contentRoot); });
}

}  // namespace selftest
