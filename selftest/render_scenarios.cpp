// The render tests: each sets up the scene its name names on the started App, captures it into the
// base directory and checks what it can of the result. A scene this build cannot show yet ends
// with its "FAILED: ... needs ..." line instead of a capture.
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include <GLFW/glfw3.h>

#include "app/app.h"
#include "platform/image.h"
#include "selftest/capture_checks.h"
#include "selftest/moving_blocks_scene.h"
#include "selftest/scenario_log.h"
#include "selftest/scenarios.h"
#include "selftest/terrain_checks.h"
#include "ui/chat.h"
#include "ui/input_latch.h"
#include "ui/map_panel.h"
#include "world/block_registry.h"

namespace selftest {

namespace {

constexpr const char* kOverworld = "core:overworld";
constexpr const char* kAsh = "core:ash";
constexpr const char* kFrost = "core:frost";
constexpr const char* kSky = "core:sky";

// Per-pixel colour difference that counts as a changed pixel, above capture noise.
constexpr int kChangedPixel = 24;

Path logOf(const App& app, const std::string& file) {
    return app.files.base / file;
}

int unavailableScene(App& app, const std::string& name, const std::string& needs) {
    return unavailable(logOf(app, name + ".log"), name, needs);
}

// Captures one frame, reads the PNG back and refuses a picture with nothing in it.
platform::Image captureScene(App& app, const std::string& file) {
    const Path png = app.files.base / file;
    if (!captureFrame(app, png)) throw std::runtime_error("Render capture was not written: " + png.string());
    platform::Image image = platform::decodePng(png);
    requireNotFlat(image, file);
    return image;
}

void requireTerrainDrawn(const App& app, const std::string& file) {
    for (const VisibleMesh& visible : app.frame.visibleMeshes) {
        if (visible.mesh->solidIndexCount > 0) return;
    }
    throw std::runtime_error("No terrain in view: " + file);
}

void enterPlay(App& app) {
    app.frame.keepInterface = true;
    app.files.worldOpen = true;
    app.setScreen(UiState::kPlaying);
}

// --- dimensions ---------------------------------------------------------------------------

std::vector<std::string> missingDimensions(const App& app, const std::vector<std::string>& ids) {
    std::vector<std::string> missing;
    for (const std::string& id : ids) {
        const auto found = app.rules.dimensions.find(id);
        if (found == app.rules.dimensions.end() || !found->second.profile) missing.push_back(id);
    }
    return missing;
}

// "the dimension definition a", "... definitions a and b", "... definitions a, b and c".
std::string definitionNeeds(const std::vector<std::string>& ids) {
    std::string text = ids.size() == 1 ? "the dimension definition " : "the dimension definitions ";
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (i > 0) text += i + 1 == ids.size() ? " and " : ", ";
        text += ids[i];
    }
    return text;
}

// A dimension keeps its chunk files in a folder of its own, so that no chunk saved in another
// dimension is read back as its terrain.
Path dimensionFolder(const Path& home, const std::string& id) {
    if (id == kOverworld) return home;
    std::string name = id;
    std::replace(name.begin(), name.end(), ':', '_');
    return home / "dimensions" / name;
}

// Dimension travel as far as the game has it: the per-world state starts over, the dimension's
// profile generates the window around the origin, and it is lit and meshed at once.
void enterDimension(App& app, const Path& home, const std::string& id) {
    app.resetWorldState();
    app.dimension = id;
    app.files.world = dimensionFolder(home, id);
    app.generateEnvironment();
    app.updatePlayerChunk();
    app.uploadMesh(render::meshEverything);
    const voxel::ProfilePtr expected =
        id == kOverworld ? app.stream.defaultProfile : app.rules.dimensions.at(id).profile;
    if (app.world.profile != expected) throw std::runtime_error("Dimension terrain was not generated: " + id);
}

// Where the player arrives, just above the ground, so that the ground in view lies before the fog
// of the small window.
void standAboveGround(App& app) {
    const int32_t top = topBlock(app.world.chunks, static_cast<int32_t>(std::floor(app.player.x)),
                                 static_cast<int32_t>(std::floor(app.player.z)));
    app.player.y = static_cast<float>(top) + 3.0f;
}

// The island over the origin seen from its side, from the corner of the loaded window beyond its
// rim and level with its top, so that its near part stands before the fog and the open air under
// it fills the bottom of the picture.
void viewOriginIsland(App& app) {
    const int32_t top = topBlock(app.world.chunks, 8, 8);
    app.player.x = 44.5f;
    app.player.y = static_cast<float>(top) - 1.0f;
    app.player.z = 44.5f;
    app.player.yaw = -2.3561945f;
    app.player.pitch = -0.1f;
}

void requireSkyTerrain(const App& app) {
    requireOpenAirBelow(app.world.chunks);
    requireOriginIsland(app.world.chunks, *app.world.profile);
}

platform::Image captureDimension(App& app, const std::string& id, const std::string& file) {
    if (id == kSky) {
        requireSkyTerrain(app);
        viewOriginIsland(app);
    } else {
        if (id == kFrost) requireFrozenSea(app.world.chunks);
        standAboveGround(app);
    }
    platform::Image image = captureScene(app, file);
    requireTerrainDrawn(app, file);
    return image;
}

// One dimension entered through travel and captured; `name` is the scenario's.
int dimensionScene(App& app, const std::string& name, const std::string& id, const std::string& okLine) {
    const std::vector<std::string> missing = missingDimensions(app, {id});
    if (!missing.empty()) return unavailableScene(app, name, definitionNeeds(missing));
    enterPlay(app);
    enterDimension(app, app.files.world, id);
    captureDimension(app, id, name + "-world.png");
    writeResult(logOf(app, name + ".log"), okLine);
    return 0;
}

// --- interface ----------------------------------------------------------------------------

void requireMenuCoversWorld(const platform::Image& menu, const platform::Image& world) {
    if (differingShare(menu, world, kChangedPixel) < 0.5)
        throw std::runtime_error("Main menu does not cover the world");
}

// The hotbar sits at the bottom centre; the top right corner holds no interface in play.
void requireHud(const platform::Image& play, const platform::Image& world) {
    const Region hotbar = band(play, 0.36, 0.93, 0.64, 0.98);
    if (colourDistance(meanColour(play, hotbar), meanColour(world, hotbar)) < 30.0)
        throw std::runtime_error("Play capture shows no hotbar");
    const Region corner = band(play, 0.75, 0.0, 1.0, 0.2);
    if (colourDistance(meanColour(play, corner), meanColour(world, corner)) > 12.0)
        throw std::runtime_error("Play interface covers the world");
}

double brightness(const Colour& c) {
    return c.r + c.g + c.b;
}

// The pause screen dims the whole world and lays its window over the middle.
void requirePauseScreen(const platform::Image& pause, const platform::Image& play) {
    const Region corner = band(play, 0.75, 0.0, 1.0, 0.2);
    if (brightness(meanColour(pause, corner)) > 0.85 * brightness(meanColour(play, corner)))
        throw std::runtime_error("Pause screen does not dim the world");
    const Region middle = band(play, 0.45, 0.45, 0.55, 0.55);
    if (colourDistance(meanColour(pause, middle), meanColour(play, middle)) < 30.0)
        throw std::runtime_error("Pause screen shows no window");
}

// The capture's mean over the middle of a grid cell, against the colour the cell stands for.
void requireCellColour(const platform::Image& shown, const ui::ScreenRect& grid, uint32_t column, uint32_t row,
                       uint32_t expected, const std::string& what) {
    const float cell = grid.w / static_cast<float>(ui::kMapColumns);
    const auto x0 = static_cast<uint32_t>(grid.x + cell * static_cast<float>(column) + cell * 0.3f);
    const auto y0 = static_cast<uint32_t>(grid.y + cell * static_cast<float>(row) + cell * 0.3f);
    const auto side = static_cast<uint32_t>(std::max(cell * 0.4f, 1.0f));
    const Colour seen = meanColour(shown, {x0, y0, x0 + side, y0 + side});
    const Colour want{static_cast<double>(expected & 255u), static_cast<double>((expected >> 8) & 255u),
                      static_cast<double>((expected >> 16) & 255u)};
    if (colourDistance(seen, want) > 12.0)
        throw std::runtime_error("Map cell of " + what + " is drawn in another colour than its map colour");
}

void requireMapCells(App& app, const platform::Image& shown, int32_t px, int32_t pz) {
    const ui::ScreenRect grid = ui::mapGridRect(static_cast<float>(shown.width), static_cast<float>(shown.height));
    const uint32_t player = ui::mapCellOf(px, pz, px, pz);
    const uint32_t column = (player & 0xFFFFu) - 2u, row = player >> 16;
    const std::vector<uint32_t> cells = ui::mapCellColours(app.currentMap(), px, pz);
    // The cell two to the west of the player's, clear of the player's and the portal's dots.
    const uint32_t land = cells[row * ui::kMapColumns + column];
    if (land == ui::kMapUnexplored) throw std::runtime_error("The land beside the player was not explored");
    requireCellColour(shown, grid, column, row, land, "explored land");
    const auto dark = std::find(cells.begin(), cells.end(), ui::kMapUnexplored);
    if (dark == cells.end()) throw std::runtime_error("The map shows no unexplored land");
    const auto index = static_cast<uint32_t>(dark - cells.begin());
    requireCellColour(shown, grid, index % ui::kMapColumns, index / ui::kMapColumns, ui::kMapUnexplored,
                      "unexplored land");
    requireCellColour(shown, grid, player & 0xFFFFu, row, 0xFFFFFFu, "the player");
}

}  // namespace

bool captureFrame(App& app, const Path& png) {
    std::error_code ignored;
    std::filesystem::remove(png, ignored);
    app.gpu.capturePath = png;
    app.drawFrame();
    return std::filesystem::exists(png, ignored);
}

// The screens the game has: the main menu as start-up leaves it, play with its HUD (and the same
// view without interface to compare), and the pause screen that Escape opens from play.
int uiRender(App& app) {
    if (app.ui.screen != UiState::kMainMenu)
        throw std::runtime_error("The game did not start in the main menu");
    app.frame.keepInterface = true;
    const platform::Image menu = captureScene(app, "ui-render-menu.png");
    enterPlay(app);
    app.frame.keepInterface = false;
    const platform::Image world = captureScene(app, "ui-render-world.png");
    app.frame.keepInterface = true;
    const platform::Image play = captureScene(app, "ui-render-play.png");
    ui::notePress(app.ui.keyPresses, GLFW_KEY_ESCAPE);
    app.handleEscape();
    if (app.ui.screen != UiState::kPause) throw std::runtime_error("Escape did not open the pause screen");
    const platform::Image pause = captureScene(app, "ui-render-pause.png");
    requireMenuCoversWorld(menu, world);
    requireHud(play, world);
    requirePauseScreen(pause, play);
    writeResult(logOf(app, "ui-render.log"),
                "UI_RENDER_OK: main menu, play HUD and pause screen captured and checked");
    return 0;
}

// The world map screen over play: the explored land around the player in its map colours, a
// portal marked beside the player, and unexplored land dark.
int mapRender(App& app) {
    enterPlay(app);
    const uint8_t portal = voxel::findCustomBlock("core:ash_portal");
    if (portal == 0) return unavailableScene(app, "map-render", "the portal block core:ash_portal");
    const int32_t px = static_cast<int32_t>(std::floor(app.player.x)), pz = static_cast<int32_t>(std::floor(app.player.z));
    // Two cells east of the player, so that both dots show.
    app.setBlock(px + 8, topBlock(app.world.chunks, px + 8, pz) + 1, pz, portal);
    for (int frame = 0; frame < 64; ++frame) app.updateWorldMap();
    app.updatePortals();
    if (app.currentMap().markers.empty()) throw std::runtime_error("The portal beside the player has no marker");
    ui::notePress(app.ui.keyPresses, GLFW_KEY_M);
    app.handleMapScreenInput();
    if (app.ui.screen != ui::kMapScreen) throw std::runtime_error("M did not open the map screen");
    const platform::Image shown = captureScene(app, "map-render.png");
    requireMapCells(app, shown, px, pz);
    ui::notePress(app.ui.keyPresses, GLFW_KEY_ESCAPE);
    app.handleEscape();
    if (app.ui.screen != UiState::kPlaying) throw std::runtime_error("Escape did not close the map screen");
    writeResult(logOf(app, "map-render.log"),
                "MAP_RENDER_OK: map screen captured, explored land in its map colours, unexplored land dark, "
                "the player and a portal marked");
    return 0;
}

int skyRender(App& app) {
    return dimensionScene(app, "sky-render", kSky,
                          "SKY_RENDER_OK: sky dimension entered, floating island over open air captured");
}

int frostRender(App& app) {
    return dimensionScene(app, "frost-render", kFrost,
                          "FROST_RENDER_OK: frost dimension entered, frozen sea checked and captured");
}

int motionRender(App& app) {
    return movingBlocksScene(app, [](App& a, const std::string& file) { return captureScene(a, file); });
}
// Chat lines over play: two said by others, one typed and sent through the keys, and the entry open
// with a line half typed. The view sits in the top left corner; the rest of the picture stays the
// world's.
int chatRender(App& app) {
    enterPlay(app);
    const platform::Image world = captureScene(app, "chat-render-world.png");
    const double now = glfwGetTime();
    ui::showChatLine(app.ui, ui::chatLine(U"БОРИС", U"ВСЕМ ПРИВЕТ!"), now);
    ui::showChatLine(app.ui, ui::chatLine(U"ВЕРА", U"ГДЕ ВЫ? Я У РЕКИ (12, -40)"), now);
    const auto type = [&](const std::u32string& text) {
        for (const char32_t c : text) app.onChar(app.gpu.win, static_cast<unsigned int>(c));
    };
    app.onKey(app.gpu.win, GLFW_KEY_ENTER, 0, GLFW_PRESS, 0);
    type(U"иду к вам");
    app.onKey(app.gpu.win, GLFW_KEY_ENTER, 0, GLFW_PRESS, 0);
    app.onKey(app.gpu.win, GLFW_KEY_T, 0, GLFW_PRESS, 0);
    type(U"tа где мост");
    if (app.ui.chatLines.size() != 3 || !app.ui.textEntryActive)
        throw std::runtime_error("Chat keys did not send the line and open the entry");
    const platform::Image chat = captureScene(app, "chat-render.png");
    const Region view = band(chat, 0.0, 0.2, 0.22, 0.35);
    if (colourDistance(meanColour(chat, view), meanColour(world, view)) < 20.0)
        throw std::runtime_error("Chat lines were not drawn");
    const Region rest = band(chat, 0.5, 0.0, 1.0, 1.0);
    if (differingShare(chat, world, kChangedPixel) > 0.08 || colourDistance(meanColour(chat, rest), meanColour(world, rest)) > 3.0)
        throw std::runtime_error("Chat covers more than its corner");
    writeResult(logOf(app, "chat-render.log"),
                "CHAT_RENDER_OK: three chat lines and the open entry drawn over play in the top left corner");
    return 0;
}

// Every dimension in turn through the same travel, each captured from where the player arrives
// (the sky from beside its island); the content dimensions must not look like the overworld.
int dimensionsRender(App& app) {
    const Path log = logOf(app, "dimension-render.log");
    const std::vector<std::string> missing = missingDimensions(app, {kAsh, kFrost, kSky});
    if (!missing.empty()) return unavailable(log, "dimensions-render", definitionNeeds(missing));
    enterPlay(app);
    const Path home = app.files.world;
    std::vector<platform::Image> captures;
    for (const std::string id : {kOverworld, kAsh, kFrost, kSky}) {
        enterDimension(app, home, id);
        const std::string file = "dimensions-render-" + id.substr(id.find(':') + 1) + ".png";
        captures.push_back(captureDimension(app, id, file));
        if (captures.size() > 1 && differingShare(captures.front(), captures.back(), kChangedPixel) < 0.05)
            throw std::runtime_error("Dimension looks like the overworld: " + id);
    }
    writeResult(log, "DIMENSIONS_RENDER_OK: overworld, ash, frost and sky entered in turn and captured");
    return 0;
}

}  // namespace selftest
