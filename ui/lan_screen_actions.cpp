// The App's side of the LAN and character screens: input, respawn and what each screen shows.
#include <charconv>
#include <fstream>

#include <GLFW/glfw3.h>

#include "app/app.h"
#include "net/refusal_words.h"
#include "platform/tcp.h"

namespace {

constexpr std::size_t kRoomCodeDigits = 8;
constexpr uint32_t kLowestPort = 1024;  // the ports below belong to the system's services

// The focused field's text, or `outside` when Tab has left the form (the form touches neither).
std::string& formText(LanSession& lan, uint32_t field, std::string& outside) {
    if (field == 0) return lan.formAddress;
    if (field == 1) return lan.formPort;
    if (field == 2) return lan.formRoomCode;
    return outside;
}

bool ownsScreen(int32_t screen) {
    return screen == ui::kConnectionScreen || screen == ui::kDeathScreen ||
           (screen >= ui::kCharacterScreen && screen <= ui::kTerritoryScreen);
}

// What the form says under its fields: why it refused the last try, else how the session stands,
// else how the last one failed. The cause of a failure is in network_error.txt.
std::string formStatusText(const LanSession& lan) {
    if (!lan.formStatus.empty()) return lan.formStatus;
    if (lan.networked) return lan.ready ? "ПОДКЛЮЧЕНО" : "ПОДКЛЮЧЕНИЕ...";
    return net::failureWords(lan);
}

int32_t armourPieces(const PlayerState& player) {
    int32_t pieces = 0;
    for (const InventorySlot& slot : player.armor) pieces += slot.id != 0 && slot.count > 0;
    return pieces;
}

}  // namespace

bool App::connectionFormKey(int key, int modifiers) {
    ui::ConnectionFormFocus& focus = lanScreens.form;
    std::string outside;
    return ui::formKey(focus, formText(lan, focus.field, outside), key, modifiers);
}

bool App::connectionFormChar(unsigned int codePoint) {
    ui::ConnectionFormFocus& focus = lanScreens.form;
    std::string outside;
    return ui::typeFormChar(focus, formText(lan, focus.field, outside), static_cast<char32_t>(codePoint));
}

void App::connectFromForm() {
    lan.formStatus.clear();
    lan.failure = LanFailure::none;
    uint32_t port = 0;
    const std::string& text = lan.formPort;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || port < kLowestPort ||
        port > 65535) {
        lan.formStatus = "НЕВЕРНЫЙ ПОРТ";
        return;
    }
    if (lan.formRoomCode.size() != kRoomCodeDigits) {
        lan.formStatus = "КОД КОМНАТЫ: 8 ЦИФР";
        return;
    }
    if (!platform::parseIpv4(lan.formAddress)) {
        lan.formStatus = "НЕВЕРНЫЙ IP-АДРЕС";
        return;
    }
    try {
        startSession(false, lan.formAddress, static_cast<uint16_t>(port), lan.formRoomCode);
    } catch (const std::exception& failure) {
        // The player reads it in the form; the cause goes where the session's failures go.
        std::ofstream(files.base / "network_error.txt", std::ios::binary | std::ios::app)
            << "LAN connection failed: " << failure.what() << "\n";
        lan.failure = LanFailure::noConnection;
    }
}

void App::openDeathScreenIfDead() {
    if (files.worldOpen && player.health <= 0 && ui.screen != ui::kDeathScreen) setScreen(ui::kDeathScreen);
}

void App::respawnPlayer() {
    if (hasBed) {
        player.x = static_cast<float>(bedX) + 0.5f;
        player.y = static_cast<float>(bedY) + 1.0f + 1.62f;
        player.z = static_cast<float>(bedZ) + 0.5f;
    } else {
        player.x = player.spawnX, player.y = player.spawnY, player.z = player.spawnZ;
    }
    player.velocityX = player.velocityY = player.velocityZ = 0.0f;
    player.health = adventure::maxHealth(combat.progression);
    player.food[0] = 20;
    setScreen(UiState::kPlaying);
}

void App::handleLanScreenInput() {
    if (!ownsScreen(ui.screen)) return;
    if (ui.screen == ui::kConnectionScreen && ui::takePresses(ui.keyPresses, GLFW_KEY_ENTER) > 0) connectFromForm();
    if (ui::takePresses(ui.buttonPresses, GLFW_MOUSE_BUTTON_LEFT) == 0) return;
    const auto [x, y] = cursorInFramebuffer();
    const ui::ScreenHitResult hit = ui::screenHit(ui.screen, x, y, static_cast<float>(gpu.swapchainWidth),
                                                  static_cast<float>(gpu.swapchainHeight), lanScreenOverlay().state);
    switch (hit.what) {
        case ui::ScreenHit::field: lanScreens.form = {hit.index, false}; break;
        case ui::ScreenHit::formButton:
            if (hit.index == 0) connectFromForm();
            else setScreen(UiState::kMainMenu);
            break;
        case ui::ScreenHit::respawn: respawnPlayer(); break;
        case ui::ScreenHit::tab:
            (ui.screen == ui::kNpcScreen ? lanScreens.npcTab : lanScreens.characterTab) = hit.index;
            break;
        case ui::ScreenHit::row: lanScreens.npcSelected = hit.index; break;
        case ui::ScreenHit::accept: acceptSelectedQuest(); break;
        case ui::ScreenHit::none: break;
    }
}

const std::vector<ui::TerritoryRow>& App::shownTerritories() {
    LanScreensState& s = lanScreens;
    if (!s.territoriesValid || s.territoriesX != player.x || s.territoriesZ != player.z) {
        s.territories = territoryRows();
        s.territoriesX = player.x, s.territoriesZ = player.z;
        s.territoriesValid = true;
    }
    return s.territories;
}

ui::ScreenOverlay App::lanScreenOverlay() {
    ui::ScreenOverlay overlay;
    // Cities found for an earlier visit of the screen may belong to another world.
    if (ui.screen != ui::kTerritoryScreen) lanScreens.territoriesValid = false;
    switch (ui.screen) {
        case ui::kConnectionScreen:
            return ui::connectionOverlay(lan.formAddress, lan.formPort, lan.formRoomCode, lanScreens.form,
                                         formStatusText(lan));
        case ui::kDeathScreen: return ui::deathOverlay(hasBed);
        case ui::kCharacterScreen:
            return ui::characterOverlay(
                {combat.progression, player.health, player.food[0], armourPieces(player), lanScreens.characterTab});
        case ui::kNpcScreen: {
            ui::NpcWindow window;
            buildNpcWindow(window);
            return ui::npcOverlay(window);
        }
        case ui::kJournalScreen: return ui::journalOverlay(journalRows());
        case ui::kTerritoryScreen: return ui::territoryOverlay(shownTerritories());
        case UiState::kPause:
            if (lan.networked) ui::addPlayerList(overlay, lan.playerList);
            return overlay;
        default: return overlay;
    }
}

void App::writeLanScreenOverlay(std::span<uint32_t> words) { ui::writeScreenOverlay(words, lanScreenOverlay()); }
