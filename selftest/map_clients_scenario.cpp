// The world map of two guests: both join the server program over 127.0.0.1, each places a block,
// and each game's map shows its own edit and the one the other guest made, as setBlock records
// every change, local or remote.
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "app/app.h"
#include "selftest/check_list.h"
#include "selftest/scenario_world.h"
#include "selftest/scenarios.h"
#include "selftest/server_program.h"

namespace selftest {

namespace {

constexpr const char* kRoom = "51820377";
constexpr int32_t kFloor = 64;

// Turns both games' sessions until `done` holds; false after five seconds.
bool turnUntil(App& a, App& b, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        a.updateNetwork();
        b.updateNetwork();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void prepareGuest(App& app, const Path& work, const Path& contentRoot) {
    prepareScenarioApp(app, work, contentRoot);
    loadScenarioContent(app);
    app.files.worldOpen = true;
    const uint8_t stone = requireResource("core:stone", "ground");
    for (int32_t cz = -1; cz <= 1; ++cz)
        for (int32_t cx = -1; cx <= 1; ++cx) addGroundChunk(app, cx, cz, stone, kFloor);
    app.player.x = 8.0f, app.player.y = kFloor + 1.0f, app.player.z = 8.0f;
}

void join(App& a, App& b, uint16_t port) {
    // The program may take a moment to listen: a refused connect is tried again.
    for (int attempt = 0; attempt < 50; ++attempt) {
        a.startSession(false, "127.0.0.1", port, kRoom);
        b.startSession(false, "127.0.0.1", port, kRoom);
        if (turnUntil(a, b, [&] { return (a.lan.ready && b.lan.ready) || !a.lan.networked || !b.lan.networked; }) &&
            a.lan.ready && b.lan.ready)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    require(false, "join", "the two guests were not let in by the server program");
}

void recordTillIdle(App& app) {
    for (int frame = 0; frame < 64 && (frame == 0 || !app.maps.view.queue.empty()); ++frame) app.updateWorldMap();
}

void requireShown(App& app, const std::string& who, int32_t x, int32_t z, uint8_t id) {
    const uint32_t shown = game::columnColour(app.currentMap(), x, z), expected = app.blockColour(id, kFloor);
    require(shown == expected, "map of " + who,
            "column " + std::to_string(x) + "," + std::to_string(z) + " shows " + std::to_string(shown) + ", not " +
                std::to_string(expected));
}

void mapClientChecks(const Path& out, const Path& contentRoot, const Path& worlds) {
    App a, b;
    prepareGuest(a, worlds / "guest-a", contentRoot);
    prepareGuest(b, worlds / "guest-b", contentRoot);
    recordTillIdle(a);
    recordTillIdle(b);
    ServerProgram server(out / "server", freeLoopbackPort(), kRoom, contentRoot / "Content");
    join(a, b, server.port());
    const uint8_t log = requireResource("core:oak_log", "edit"), planks = requireResource("core:oak_planks", "edit");
    a.editBlock(3, kFloor, 4, log, 0);
    b.editBlock(-6, kFloor, 9, planks, 0);
    require(turnUntil(a, b, [&] { return a.blockAt(-6, kFloor, 9) == planks && b.blockAt(3, kFloor, 4) == log; }),
            "edits", "an edit did not reach the other guest");
    recordTillIdle(a);
    recordTillIdle(b);
    for (App* app : {&a, &b}) {
        const std::string who = app == &a ? "guest a" : "guest b";
        requireShown(*app, who, 3, 4, log);
        requireShown(*app, who, -6, 9, planks);
    }
    a.closeSession();
    b.closeSession();
    require(server.stop() == 0, "server", "the server program did not stop cleanly");
}

}  // namespace

int mapClients(const Path& out, const Path& contentRoot, const Path& worlds) {
    return runChecks(out / "map-clients-self-test.log",
                     "MAP_CLIENTS_OK: two guests joined the server program, each map shows its own edit and the "
                     "other guest's",
                     [&] { mapClientChecks(out, contentRoot, worlds); });
}

}  // namespace selftest
