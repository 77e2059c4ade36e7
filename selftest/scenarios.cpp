#include "selftest/scenarios.h"

#include <fstream>
#include <iostream>
#include <stdexcept>
#include <system_error>

#include "app/app.h"

namespace selftest {

namespace {

// A scenario whose subsystem this build lacks says so in its log, never with an "_OK: " line.
int unavailable(const std::string& name, const Path& outputFolder, const std::string& needs) {
    const std::string line = "FAILED: " + name + " needs " + needs + ", which this build does not have yet";
    std::error_code ignored;
    std::filesystem::create_directories(outputFolder, ignored);
    std::ofstream log(outputFolder / (name + ".log"), std::ios::binary | std::ios::trunc);
    log << line << "\n";
    std::cerr << line << std::endl;
    return 1;
}

void requireCapture(App& app, const Path& png) {
    if (!captureFrame(app, png)) throw std::runtime_error("Render capture was not written: " + png.string());
}

// Until a scenario has steps of its own it shows what the game shows: the main menu as start-up
// leaves it, then the world in play.
int captureScenario(App& app, const std::string& stem) {
    app.frame.keepInterface = true;
    requireCapture(app, app.files.base / (stem + "-menu.png"));
    app.files.worldOpen = true;
    app.setScreen(UiState::kPlaying);
    requireCapture(app, app.files.base / (stem + "-world.png"));
    return 0;
}

}  // namespace

bool captureFrame(App& app, const Path& png) {
    std::error_code ignored;
    std::filesystem::remove(png, ignored);
    app.gpu.capturePath = png;
    app.drawFrame();
    return std::filesystem::exists(png, ignored);
}

int ui(const Path& a, const Path&) { return unavailable("ui-self-test", a, "the interface screens"); }
int inventory(const Path& a, const Path&) { return unavailable("inventory-self-test", a, "the inventory"); }
int expedition(const Path& a, const Path&) { return unavailable("expedition-self-test", a, "the adventure rules"); }
int map(const Path& a, const Path&) { return unavailable("map-self-test", a, "the world map"); }
int sky(const Path& a, const Path&) { return unavailable("sky-self-test", a, "dimension travel"); }
int frost(const Path& a, const Path&) { return unavailable("frost-self-test", a, "dimension travel"); }
int held(const Path& a, const Path&) { return unavailable("held-self-test", a, "held-item animation"); }
int boss(const Path& a, const Path&) { return unavailable("boss-self-test", a, "mobs and combat"); }
int ai(const Path& a, const Path&) { return unavailable("ai-self-test", a, "mob behaviour"); }
int chat(const Path& a, const Path&) { return unavailable("chat-self-test", a, "chat and its commands"); }
int dimensions(const Path& a, const Path&) { return unavailable("dimensions-self-test", a, "dimension travel"); }
int skills(const Path& a, const Path&) { return unavailable("skills-self-test", a, "progression"); }
int quest(const Path& a, const Path&) { return unavailable("quest-self-test", a, "quests"); }
int mapClients(const Path& a, const Path&, const Path&) {
    return unavailable("map-clients-self-test", a, "the LAN session protocol");
}
int motion(const Path& a, const Path&, const Path&) {
    return unavailable("motion-self-test", a, "the LAN session protocol");
}
int dimensionClients(const Path& a, const Path&, const Path&) {
    return unavailable("dimension-clients-self-test", a, "the LAN session protocol");
}
int rpg(const Path& out) { return unavailable("rpg-self-test", out, "progression"); }
int combat(const Path& out) { return unavailable("combat-self-test", out, "mobs and combat"); }
int shared(const Path& out) { return unavailable("shared-self-test", out, "the LAN session protocol"); }
int dedicated(const Path& out) { return unavailable("dedicated-self-test", out, "the separate server program"); }
int lan(const Path& out) { return unavailable("lan-self-test", out, "the LAN session protocol"); }

int uiRender(App& app) { return captureScenario(app, "ui-render"); }
int inventoryRender(App& app) { return captureScenario(app, "inventory-render"); }
int expeditionRender(App& app) { return captureScenario(app, "expedition-render"); }
int mapRender(App& app) { return captureScenario(app, "map-render"); }
int skyRender(App& app) { return captureScenario(app, "sky-render"); }
int frostRender(App& app) { return captureScenario(app, "frost-render"); }
int motionRender(App& app) { return captureScenario(app, "motion-render"); }
int heldRender(App& app) { return captureScenario(app, "held-render"); }
int bossRender(App& app) { return captureScenario(app, "boss-render"); }
int chatRender(App& app) { return captureScenario(app, "chat-render"); }
int dimensionsRender(App& app) { return captureScenario(app, "dimensions-render"); }

}  // namespace selftest
