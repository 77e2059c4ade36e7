// The scenarios of guests in one LAN session, each an App of its own in a game folder of its own:
// chat (typing, sending, the view, a line reaching the other guest through the in-process relay),
// shared (guests of the server program sharing edits and chat, a late joiner catching up) and
// dimension clients (what guests in different dimensions see of each other through the server
// program). The first check that does not hold is named in the log.
#include <GLFW/glfw3.h>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "app/app.h"
#include "content/fingerprint.h"
#include "platform/environment.h"
#include "platform/file_read.h"
#include "selftest/check_list.h"
#include "selftest/scenario_world.h"
#include "selftest/scenarios.h"
#include "selftest/server_program.h"
#include "server/relay_server.h"
#include "ui/chat.h"
#include "ui/input_latch.h"

namespace fs = std::filesystem;

namespace selftest {

namespace {

constexpr uint32_t kLoopback = 0x0100007F;
constexpr const char* kRoom = "40617395";

// A player in play on a flat ground of stone, in its own game folder with its own identity.
struct Guest {
    Guest(const Path& folder, const Path& contentRoot, const std::string& name) {
        prepareScenarioApp(app, folder, contentRoot);
        loadScenarioContent(app);
        stone = requireResource("core:stone", "ground");
        addGroundChunk(app, 0, 0, stone, 8);
        app.files.worldOpen = true;
        app.setScreen(UiState::kPlaying);
        app.lan.playerName = name;
    }
    void press(int key) { app.onKey(nullptr, key, 0, GLFW_PRESS, 0); }
    void type(const std::u32string& text) {
        for (const char32_t c : text) app.onChar(nullptr, static_cast<unsigned int>(c));
    }
    // Opens the entry with T, types the text and sends it with Enter.
    void say(const std::u32string& text) {
        press(GLFW_KEY_T);
        type(U"t" + text);
        press(GLFW_KEY_ENTER);
    }
    std::u32string lastLine() const { return app.ui.chatLines.empty() ? U"" : app.ui.chatLines.back(); }
    // Why the session ended, when it did.
    std::string trouble() const {
        return platform::readFileBytes(app.files.base / "network_error.txt").value_or("the session is still on");
    }

    App app;
    uint8_t stone = 0;
};

std::string shown(const std::u32string& text) {
    return "\"" + ui::utf32ToUtf8(text) + "\"";
}

// Runs the host (when in process) and every guest's network step until `done` holds; false after
// ten seconds.
bool runUntil(const std::function<void()>& host, const std::vector<Guest*>& guests,
              const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        host();
        for (Guest* guest : guests) guest->app.updateNetwork();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Waits as runUntil does; the check fails with what is found once the wait is over.
void await(const std::function<void()>& host, const std::vector<Guest*>& guests, const std::function<bool()>& done,
           const std::string& check, const std::function<std::string()>& found) {
    const bool held = runUntil(host, guests, done);
    require(held, check, held ? "" : found());
}

void join(Guest& guest, uint16_t port, const std::function<void()>& host, const std::vector<Guest*>& everyone) {
    guest.app.startSession(false, "127.0.0.1", port, kRoom);
    runUntil(host, everyone, [&] { return guest.app.lan.ready || !guest.app.lan.networked; });
    require(guest.app.lan.ready, guest.app.lan.playerName + " joins", guest.trouble());
}

// --- chat ---------------------------------------------------------------------------------

void typing(Guest& a) {
    a.say(U"привет всем!");
    require(a.lastLine() == U"АННА: привет всем!", "own line", shown(a.lastLine()));
    a.press(GLFW_KEY_T);
    a.type(U"t" + std::u32string(ui::kMaxChatChars + 1, U'я'));
    require(a.app.ui.chatEntry.size() == ui::kMaxChatChars, "entry length",
            std::to_string(a.app.ui.chatEntry.size()) + " characters kept of " + std::to_string(ui::kMaxChatChars + 1));
    a.press(GLFW_KEY_BACKSPACE);
    a.press(GLFW_KEY_ENTER);
    require(a.lastLine() == U"АННА: " + std::u32string(ui::kMaxChatChars - 1, U'я'), "longest line",
            shown(a.lastLine()));
    const std::size_t said = a.app.ui.chatLines.size();
    a.press(GLFW_KEY_ENTER);
    a.type(U"не то");
    a.press(GLFW_KEY_ESCAPE);
    a.app.handleEscape();
    require(!a.app.ui.textEntryActive && a.app.ui.screen == UiState::kPlaying, "Escape closes the entry",
            "entry open " + std::to_string(a.app.ui.textEntryActive) + ", screen " + std::to_string(a.app.ui.screen));
    require(a.app.ui.chatLines.size() == said, "Escape sends nothing", shown(a.lastLine()));
}

void chatView(Guest& a) {
    for (std::size_t i = 0; i < ui::kMaxChatLines; ++i) a.say(ui::utf8ToUtf32(std::to_string(i)));
    require(a.app.ui.chatLines.size() == ui::kMaxChatLines, "lines kept",
            std::to_string(a.app.ui.chatLines.size()) + ", expected " + std::to_string(ui::kMaxChatLines));
    require(a.app.ui.chatLines.front() == U"АННА: 0", "oldest line gone first", shown(a.app.ui.chatLines.front()));
    a.press(GLFW_KEY_T);
    a.app.onScroll(nullptr, 0.0, 1.0);
    const auto rows = ui::chatViewRows(a.app.ui.chatLines, a.app.ui.textViewLine, ui::kChatRowsShown);
    require(rows.back() == U"АННА: 96", "wheel scrolls back three lines", shown(rows.back()));
    a.app.onScroll(nullptr, 0.0, 1000.0);
    require(a.app.ui.textViewLine == static_cast<int32_t>(ui::kMaxChatLines) - 1, "scrolled to the oldest line",
            std::to_string(a.app.ui.textViewLine));
    a.app.onScroll(nullptr, 0.0, -1000.0);
    require(a.app.ui.textViewLine == 0 && a.app.player.scrollAccumulator == 0.0, "scrolled back to the newest",
            std::to_string(a.app.ui.textViewLine));
    a.app.handleEscape();
}

void chatChecks(const Path& work, const Path& contentRoot) {
    Guest a(work / "anna", contentRoot, "АННА");
    typing(a);
    Guest b(work / "boris", contentRoot, "БОРИС");
    net::RelayConfig config;
    config.port = 0;
    config.roomCode = kRoom;
    config.fingerprint = content::fingerprint(a.app.files.base / "Content");
    net::RelayServer relay(config);
    require(relay.listen(kLoopback), "relay", "cannot listen on 127.0.0.1");
    const auto host = [&] { relay.step(1); };
    join(a, relay.port(), host, {&a, &b});
    join(b, relay.port(), host, {&a, &b});
    a.say(U"как слышно?");
    await(host, {&a, &b}, [&] { return b.lastLine() == U"АННА: как слышно?"; }, "line relayed",
          [&] { return "the other guest shows " + shown(b.lastLine()); });
    b.say(U"отлично");
    await(host, {&a, &b}, [&] { return a.lastLine() == U"БОРИС: отлично"; }, "answer relayed",
          [&] { return shown(a.lastLine()); });
    const std::size_t lines = b.app.ui.chatLines.size();
    require(lines == 2, "own line shown once", std::to_string(lines) + " lines at the other guest");
    chatView(a);
}

// --- shared: guests of the server program -------------------------------------------------

// The game root: the folder above the one the executables lie in.
Path gameRoot() {
    return platform::executablePath().parent_path().parent_path();
}

void requireCell(const std::function<void()>& host, const std::vector<Guest*>& guests, Guest& at,
                 const std::array<int32_t, 3>& cell, uint8_t id, const std::string& check) {
    // Plain copies: clang does not let a lambda take structured bindings.
    const int32_t x = cell[0], y = cell[1], z = cell[2];
    await(host, guests, [&] { return at.app.blockAt(x, y, z) == id; }, check,
          [&] {
              return at.app.lan.playerName + " has block " + std::to_string(at.app.blockAt(x, y, z)) + " at " +
                     std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(z) + ", expected " +
                     std::to_string(id) + "; " + at.trouble();
          });
}

void sharedChecks(const Path& work) {
    fs::remove_all(work);
    Guest a(work / "anna", gameRoot(), "АННА");
    Guest b(work / "boris", gameRoot(), "БОРИС");
    const uint8_t planks = requireResource("core:oak_planks", "planks");
    ServerProgram server(work / "server", freeLoopbackPort(), kRoom, a.app.files.base / "Content");
    const auto host = [] {};
    join(a, server.port(), host, {&a, &b});
    join(b, server.port(), host, {&a, &b});

    a.app.editBlock(3, 8, 3, planks, 0);  // built on the ground
    b.app.editBlock(5, 7, 5, 0, 0);       // dug out of it
    requireCell(host, {&a, &b}, b, {3, 8, 3}, planks, "built block reaches the other guest");
    requireCell(host, {&a, &b}, a, {5, 7, 5}, 0, "dug block reaches the other guest");
    b.say(U"я копаю тут");
    await(host, {&a, &b}, [&] { return a.lastLine() == U"БОРИС: я копаю тут"; }, "chat line",
          [&] { return "the other guest shows " + shown(a.lastLine()); });

    Guest c(work / "vera", gameRoot(), "ВЕРА");
    join(c, server.port(), host, {&a, &b, &c});
    requireCell(host, {&a, &b, &c}, c, {3, 8, 3}, planks, "late joiner gets the built block");
    requireCell(host, {&a, &b, &c}, c, {5, 7, 5}, 0, "late joiner gets the dug block");
    await(host, {&a, &b, &c}, [&] { return a.app.lan.playerList.size() == 3; }, "player list",
          [&] { return std::to_string(a.app.lan.playerList.size()) + " players listed"; });
    c.say(U"всем привет");
    await(host, {&a, &b, &c},
          [&] { return a.lastLine() == U"ВЕРА: всем привет" && b.lastLine() == U"ВЕРА: всем привет"; },
          "late joiner's line reaches both", [&] { return shown(a.lastLine()) + " and " + shown(b.lastLine()); });
    for (Guest* guest : {&a, &b, &c}) guest->app.closeSession();
    require(server.stop() == 0, "server stops on its request", "it did not end cleanly");
}

// --- dimension clients ----------------------------------------------------------------------

constexpr const char* kAsh = "core:ash";

// Travel as far as a guest needs it here: the dimension and a fresh ground of its own stone.
void travel(Guest& guest, const std::string& dimension, uint8_t ground) {
    guest.app.dimension = dimension;
    guest.app.world.chunks.clear();
    addGroundChunk(guest.app, 0, 0, ground, 8);
}

// Lets the session run for a while, for a check that something does not arrive.
void runFor(const std::vector<Guest*>& guests, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    runUntil([] {}, guests, [&] { return std::chrono::steady_clock::now() > end; });
}

void seesOthers(Guest& at, std::size_t count, const std::vector<Guest*>& guests, const std::string& check) {
    await([] {}, guests, [&] { return at.app.lan.remotePoses.size() == count; }, check,
          [&] {
              return at.app.lan.playerName + " sees " + std::to_string(at.app.lan.remotePoses.size()) +
                     " players, expected " + std::to_string(count) + "; " + at.trouble();
          });
}

void dimensionClientChecks(const Path& work, const Path& contentRoot, const Path& serverFolder) {
    Guest a(work / "anna", contentRoot, "АННА");
    Guest b(work / "boris", contentRoot, "БОРИС");
    require(a.app.rules.dimensions.contains(kAsh), "dimension", "the content pack defines no core:ash");
    const uint8_t ashStone = requireResource("core:ash_stone", "ash ground");
    const uint8_t planks = requireResource("core:oak_planks", "planks");
    ServerProgram server(serverFolder, freeLoopbackPort(), kRoom, a.app.files.base / "Content");
    const std::vector<Guest*> both{&a, &b};
    const auto host = [] {};
    join(a, server.port(), host, both);
    join(b, server.port(), host, both);
    seesOthers(b, 1, both, "both in the overworld see each other");

    travel(a, kAsh, ashStone);
    seesOthers(b, 0, both, "a player gone to the ash leaves the overworld's view");
    seesOthers(a, 0, both, "the overworld player is not seen from the ash");
    a.app.editBlock(3, 8, 3, planks, 0);
    b.app.editBlock(5, 8, 5, planks, 0);
    runFor(both, 0.6);
    require(b.app.blockAt(3, 8, 3) == 0, "an edit in the ash stays there",
            "the overworld has block " + std::to_string(b.app.blockAt(3, 8, 3)));
    require(a.app.blockAt(5, 8, 5) == 0, "an overworld edit stays there",
            "the ash has block " + std::to_string(a.app.blockAt(5, 8, 5)));

    travel(b, kAsh, ashStone);
    requireCell(host, both, b, {3, 8, 3}, planks, "arriving in the ash brings its edits");
    seesOthers(b, 1, both, "both in the ash see each other");
    require(b.app.blockAt(5, 8, 5) == 0, "the overworld's edit is not put into the ash",
            "block " + std::to_string(b.app.blockAt(5, 8, 5)));

    travel(a, net::kOverworld, b.stone);
    requireCell(host, both, a, {5, 8, 5}, planks, "back in the overworld, its edit is there");
    require(a.app.blockAt(3, 8, 3) == 0, "the ash's edit is not put into the overworld",
            "block " + std::to_string(a.app.blockAt(3, 8, 3)));
    for (Guest* guest : both) guest->app.closeSession();
    require(server.stop() == 0, "server stops on its request", "it did not end cleanly");
}

}  // namespace

int chat(const Path& out, const Path& contentRoot) {
    return runChecks(out / "chat-self-test.log",
                     "CHAT_OK: a line typed (T, Backspace, Enter) shows with the player's name, the entry stops at "
                     "its length, Escape sends nothing, the oldest of too many lines goes, the wheel scrolls the "
                     "view to both ends, and lines go both ways between two guests through the relay",
                     [&] { chatChecks(out / "chat-self-test", contentRoot); });
}

int dimensionClients(const Path& out, const Path& contentRoot, const Path& serverFolder) {
    return runChecks(out / "dimension-clients-self-test.log",
                     "DIMENSION_CLIENTS_OK: two guests of the server program (--serve): a guest gone to the ash "
                     "leaves the overworld's view, edits stay in their dimension, the guest arriving in the ash "
                     "gets its edits and sees the other again, the overworld's edit waits there for the return",
                     [&] { dimensionClientChecks(out / "dimension-clients-self-test", contentRoot, serverFolder); });
}

int shared(const Path& out) {
    return runChecks(out / "shared-self-test.log",
                     "SHARED_OK: two guests of the server program (--serve) see each other's built and dug "
                     "blocks and chat, a late joiner gets both edits, the player list of three and its line "
                     "reaches both, the server stops on stop.request",
                     [&] { sharedChecks(out / "shared-self-test"); });
}

}  // namespace selftest
