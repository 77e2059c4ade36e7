#pragma once
// What each screen of ui/lan_screens.h shows, as text lines and state words. Pure, so the texts
// are checked without a window.
#include <cstdint>
#include <string>
#include <vector>

#include "game/progression.h"
#include "ui/connection_form.h"
#include "ui/lan_screens.h"
#include "ui/npc_window.h"

namespace ui {

// Line indices (within the screen lines) the layout draws at fixed places.
inline constexpr uint32_t kLineTitle = 0;
inline constexpr uint32_t kLineTabs = 1;         // two lines: the tab names
inline constexpr uint32_t kLineFields = 1;       // form: label and text for each field
inline constexpr uint32_t kLineFormStatus = 7;
inline constexpr uint32_t kLineButtons = 8;      // form: connect, back; death: respawn
inline constexpr uint32_t kLineRows = 3;         // rows of lists, skills and stats
inline constexpr uint32_t kLineDetail = 20;      // NPC: progress, state, accept text, then the description
inline constexpr uint32_t kDescriptionLines = 5;
inline constexpr std::size_t kDescriptionWidth = 28;  // characters a description line
inline constexpr uint32_t kLinePlayers = 40;     // pause: heading, then the names

struct JournalRow {
    std::u32string title;
    int32_t progress = 0;
    int32_t count = 1;
    bool done = false;
};

struct TerritoryRow {
    std::u32string name;
    int32_t distance = 0;  // blocks
};

struct CharacterSheet {
    Progression progression;
    int32_t health = 20;
    int32_t food = 20;
    int32_t armourPieces = 0;
    uint32_t tab = 0;  // 0 skills, 1 character
};

// The text cut into lines of at most `width` characters at spaces (a longer word is split), at most
// `lines` of them; what does not fit is left out.
std::vector<std::u32string> wrapText(const std::u32string& text, std::size_t width, std::size_t lines);

ScreenOverlay connectionOverlay(const std::string& address, const std::string& port, const std::string& roomCode,
                                const ConnectionFormFocus& focus, const std::string& status);
ScreenOverlay deathOverlay(bool bedSpawn);
ScreenOverlay characterOverlay(const CharacterSheet& sheet);
ScreenOverlay npcOverlay(const NpcWindow& window);
ScreenOverlay journalOverlay(const std::vector<JournalRow>& rows);
ScreenOverlay territoryOverlay(const std::vector<TerritoryRow>& rows);
// Adds the pause screen's list of players (at most ten) to an overlay.
void addPlayerList(ScreenOverlay& overlay, const std::vector<std::string>& names);

}  // namespace ui
