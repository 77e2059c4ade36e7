// The LAN interface capture sequence: the menus and forms of joining, the remote players, the
// shared mob and every screen a guest opens, each captured into the output folder and checked.
#include <cmath>
#include <fstream>
#include <numbers>
#include <stdexcept>
#include <string>

#include <GLFW/glfw3.h>

#include "app/app.h"
#include "content/resource_ids.h"
#include "selftest/scenarios.h"
#include "world/city.h"

namespace selftest {

namespace {

constexpr const char* kOkLine =
    "RENDER122_OK: hidden Vulkan startup, five-button main menu, in-game connection form, IP/port/code keyboard "
    "input and length validation, original first-person rendering, nine remote player meshes in one draw, "
    "ten-player pause list, shared mob geometry, death/respawn screen, multiplayer NPC quests/trades, personal "
    "journal, character stats and enabled quest action in creative flight; PNG captures.";

constexpr const char* kMiningQuest = "capture:mining";
constexpr const char* kLockedQuest = "capture:mining_deeper";
constexpr const char* kVisitQuest = "capture:visit_city";
constexpr const char* kTestNpc = "capture:quartermaster";

void capture(App& app, const char* file) {
    if (!captureFrame(app, app.files.base / file))
        throw std::runtime_error(std::string("Render capture was not written: ") + file);
}

void require(bool condition, const char* message) {
    if (!condition) throw std::runtime_error(message);
}

// A point `ahead` blocks along the view and `side` blocks to its right, on the ground plane.
std::array<float, 2> inFront(const App& app, double ahead, double side) {
    const double yaw = app.player.yaw;
    return {static_cast<float>(app.player.x + std::cos(yaw) * ahead - std::sin(yaw) * side),
            static_cast<float>(app.player.z + std::sin(yaw) * ahead + std::cos(yaw) * side)};
}

RemotePose remotePose(const App& app, double ahead, double side) {
    const auto [x, z] = inFront(app, ahead, side);
    RemotePose pose;
    pose.values = {x, app.player.y, z, app.player.yaw + std::numbers::pi_v<float>, 0.0f, 0.6f, 1.0f};
    return pose;
}

// The draw's index count is set only once the buffers took the vertices; an empty body mesh
// uploads nothing and does not count as uploaded.
bool uploadedRemoteVertices(const App& app, std::size_t players) {
    return !app.playerMesh.empty() && app.body.remoteIndexCount == players * app.playerMesh.size();
}

// Select all, type the text, move on with Tab.
void typeField(App& app, const std::string& text) {
    app.onKey(app.gpu.win, GLFW_KEY_A, 0, GLFW_PRESS, GLFW_MOD_CONTROL);
    for (const char c : text) app.onChar(app.gpu.win, static_cast<unsigned char>(c));
    app.onKey(app.gpu.win, GLFW_KEY_TAB, 0, GLFW_PRESS, 0);
}

void connectionForm(App& app) {
    app.setScreen(ui::kConnectionScreen);
    const char* texts[] = {"127.0.0.1", "29810", "40617395"};
    for (const char* text : texts) typeField(app, text);
    // The third Tab left the form: a digit and a letter typed now are both refused.
    app.onChar(app.gpu.win, '9');
    app.onChar(app.gpu.win, 'x');
    require(app.lan.formAddress == texts[0] && app.lan.formPort == texts[1] && app.lan.formRoomCode == texts[2],
            "Connection UI keyboard input failed");
    capture(app, "connection-menu117.png");
}

void remotePlayers(App& app) {
    app.lan.started = true;
    app.lan.ready = true;
    app.lan.remotePoses[1] = remotePose(app, 4.0, 0.0);
    capture(app, "with-peer.png");
    require(uploadedRemoteVertices(app, 1), "Remote player mesh was not uploaded");
    app.lan.remotePoses.clear();
    app.lan.playerList = {app.lan.playerName};
    for (uint32_t id = 1; id <= 9; ++id) {
        app.lan.remotePoses[id] = remotePose(app, 6.0, (static_cast<double>(id) - 5.0) * 0.7);
        app.lan.playerList.push_back("ИГРОК " + std::to_string(id));
    }
    capture(app, "nine-peers118.png");
    require(uploadedRemoteVertices(app, 9), "Nine remote players were not uploaded");
    app.lan.networked = true;
    app.setScreen(UiState::kPause);
    capture(app, "pause-players118.png");
    app.lan.remotePoses.clear();
    app.lan.playerList = {app.lan.playerName};
}

void sharedMob(App& app) {
    app.setScreen(UiState::kPlaying);
    const auto [x, z] = inFront(app, 5.0, 0.0);
    Mob mob;
    mob.id = 1;
    mob.defId = "core:boar";
    mob.x = mob.prevX = x;
    mob.y = mob.prevY = app.player.y - 1.62;
    mob.z = mob.prevZ = z;
    mob.yaw = app.player.yaw + std::numbers::pi;
    app.entities.mobs.push_back(mob);
    capture(app, "shared-mob120.png");
}

void deathAndCharacter(App& app) {
    app.player.health = 0;
    app.setScreen(ui::kDeathScreen);
    capture(app, "death120.png");
    app.player.health = 22;
    const int32_t experience[4] = {620, 1020, 1420, 1820};
    for (int32_t skill = 0; skill < 4; ++skill)
        adventure::addSkillExperience(app.combat.progression, skill, experience[skill]);
    app.setScreen(ui::kCharacterScreen);
    app.lanScreens.characterTab = 0;
    capture(app, "skills129.png");
    app.lanScreens.characterTab = 1;
    capture(app, "character129.png");
}

adventure::Quest fixtureQuest(const char* id, const char* title, adventure::ObjectiveKind kind, const std::string& target,
                              int32_t count, const char* previous) {
    adventure::Quest quest;
    quest.id = id;
    quest.title = title;
    quest.description = "ПРОВЕРОЧНОЕ ЗАДАНИЕ ДЛЯ СНИМКОВ ОКНА ЖИТЕЛЯ: ВЫПОЛНИ ЕГО, ЧТОБЫ ОТКРЫТЬ СЛЕДУЮЩЕЕ.";
    quest.kind = kind;
    quest.target = target;
    quest.count = count;
    quest.previous = previous;
    return quest;
}

// A quartermaster with a mining quest, its locked second stage, a city visit and one trade.
void addTestNpc(App& app) {
    adventure::Catalog& catalog = app.adventureState.catalog;
    const voxel::StructureRule* city = voxel::cityRule(app.world.profile.get());
    const std::string cityId = city ? city->id : "core:city";
    for (const adventure::Quest& quest :
         {fixtureQuest(kMiningQuest, "ДОБЫТЬ КАМЕНЬ", adventure::ObjectiveKind::gather, "core:stone", 5, ""),
          fixtureQuest(kLockedQuest, "ДОБЫТЬ ЕЩЁ КАМНЯ", adventure::ObjectiveKind::gather, "core:stone", 10, kMiningQuest),
          fixtureQuest(kVisitQuest, "ПОСЕТИТЬ ГОРОД", adventure::ObjectiveKind::visit, cityId, 1, "")})
        catalog.quests[quest.id] = quest;
    adventure::Npc npc;
    npc.id = kTestNpc;
    npc.name = "ИНТЕНДАНТ";
    npc.quests = {kMiningQuest, kLockedQuest, kVisitQuest};
    npc.trades = true;
    npc.trade = {"core:coal", 8, "core:iron_sword", 1};
    catalog.npcs.push_back(npc);
}

bool acceptEnabled(const App& app) {
    ui::NpcWindow window;
    app.buildNpcWindow(window);
    return window.acceptEnabled;
}

void openScreen(App& app, int32_t screen, const char* failure, const char* file) {
    app.setScreen(screen);
    require(app.ui.screen == screen, failure);
    capture(app, file);
}

void npcScreens(App& app) {
    addTestNpc(app);
    require(app.openNpcWindow(kTestNpc) && app.ui.screen == ui::kNpcScreen, "Multiplayer NPC menu blocked");
    require(acceptEnabled(app), "Network quest accept button disabled");
    capture(app, "npc-quests121.png");
    app.acceptSelectedQuest();
    for (int k = 0; k < 2; ++k) adventure::noteMinedBlock(app.adventureState.standing.quests, content::resourceId("core:stone"));
    app.updateQuests();
    capture(app, "quest-mining128.png");
    app.lanScreens.npcSelected = 1;
    require(!acceptEnabled(app), "Locked quest enabled");
    capture(app, "quest-locked128.png");
    app.lanScreens.npcSelected = 2;
    app.acceptSelectedQuest();
    capture(app, "quest-visit128.png");
    app.lanScreens.npcTab = 1;
    capture(app, "npc-trades121.png");
    openScreen(app, ui::kJournalScreen, "Multiplayer journal blocked", "quest-journal121.png");
    openScreen(app, ui::kCharacterScreen, "Multiplayer stats blocked", "character121.png");
    openScreen(app, ui::kTerritoryScreen, "Network territory window blocked", "territories122.png");
}

}  // namespace

int lanRender(App& app) {
    app.frame.keepInterface = true;
    app.ui.menuOpen = true;
    app.setScreen(UiState::kMainMenu);
    capture(app, "main-menu117.png");
    connectionForm(app);
    app.files.worldOpen = true;
    app.setScreen(UiState::kPlaying);
    capture(app, "without-peer.png");
    remotePlayers(app);
    sharedMob(app);
    deathAndCharacter(app);
    npcScreens(app);
    std::ofstream log(app.files.base / "render116.log", std::ios::binary | std::ios::trunc);
    log << kOkLine << "\n";
    return 0;
}

}  // namespace selftest
