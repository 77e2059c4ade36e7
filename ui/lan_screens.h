#pragma once
// The screens of the LAN and character side of the interface: the connection form (17), death
// (7), character and skills (13), the NPC window (14), the journal (15), the territories (16) and
// the pause screen's player list. Each frame the App describes the open one as text lines and a
// few state words of the overlay; the interface layout draws from them, and the rectangles here
// are shared by the drawing and the clicks.
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace ui {

inline constexpr int32_t kDeathScreen = 7;
inline constexpr int32_t kCharacterScreen = 13;
inline constexpr int32_t kNpcScreen = 14;
inline constexpr int32_t kJournalScreen = 15;
inline constexpr int32_t kTerritoryScreen = 16;

// Overlay text-line slots: one slot of raw state words, then the screen's lines.
inline constexpr uint32_t kScreenStateLine = 31;
inline constexpr uint32_t kScreenFirstLine = 32;
inline constexpr uint32_t kScreenLineCount = 56;

// State words (of the state slot) by screen.
inline constexpr uint32_t kStateFocus = 0;       // form field, or the open tab
inline constexpr uint32_t kStateSelection = 1;   // form: whole text selected; NPC: chosen quest row
inline constexpr uint32_t kStateRows = 2;        // rows listed
inline constexpr uint32_t kStateAccept = 3;      // NPC: the accept button is enabled
inline constexpr uint32_t kStateTrade = 4;       // NPC: 1 with a trade
inline constexpr uint32_t kStateTradeWants = 5;  // count << 8 | id
inline constexpr uint32_t kStateTradeGives = 6;
inline constexpr uint32_t kStateRowStates = 7;   // NPC: two bits a quest row (QuestState)
inline constexpr uint32_t kStateBars = 8;        // four bar fills in thousandths
inline constexpr uint32_t kStatePlayers = 12;    // pause: names listed

inline constexpr uint32_t kRowsShown = 10;
inline constexpr uint32_t kNpcRowsShown = 6;
inline constexpr uint32_t kPausePlayersShown = 10;

struct ScreenOverlay {
    std::array<std::u32string, kScreenLineCount> lines;
    std::array<uint32_t, 16> state{};
};

// Writes the state slot and every screen line (empty ones too) into the overlay words.
void writeScreenOverlay(std::span<uint32_t> words, ScreenOverlay overlay);

struct ScreenRect {
    float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    bool contains(float px, float py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// The interface unit of a framebuffer size, as the layout scales everything.
float screenUnit(float width, float height);

ScreenRect formFieldRect(uint32_t field, float width, float height);
ScreenRect formButtonRect(uint32_t button, float width, float height);  // 0 connect, 1 back
ScreenRect respawnButtonRect(float width, float height);
// The window of screens 13..16 and its two tabs (13 and 14).
ScreenRect sheetRect(float width, float height);
ScreenRect sheetTabRect(uint32_t tab, float width, float height);
ScreenRect sheetRowRect(uint32_t row, float width, float height);
ScreenRect npcAcceptRect(float width, float height);
ScreenRect pauseListRect(float width, float height);

// What a click hits on a screen. `state` holds the state words the screen is drawn from, so that
// only what is drawn answers: the NPC window's listed quest rows, and its accept button only on the
// quests tab with a quest listed.
enum class ScreenHit : uint32_t { none, field, formButton, respawn, tab, row, accept };
struct ScreenHitResult {
    ScreenHit what = ScreenHit::none;
    uint32_t index = 0;
};
ScreenHitResult screenHit(int32_t screen, float x, float y, float width, float height,
                          const std::array<uint32_t, 16>& state);

}  // namespace ui
