#pragma once
// Where the menu screens (main menu, pause, world list, new world, delete world) put their buttons,
// world rows and text fields. Drawing and the mouse both read these rectangles, so a click always
// lands on what the screen shows.
#include <cstdint>
#include <span>
#include <vector>

#include "ui/screen_slots.h"

namespace ui {

enum class MenuAction : uint32_t {
    NoAction,
    OpenWorldList,  // main menu
    ContinueWorld,
    OpenNewWorld,
    OpenConnection,
    Quit,
    Resume,  // pause
    SaveAndQuit,
    PlaySelected,  // world list
    DeleteSelected,
    BackToMainMenu,
    CreateWorld,  // new-world form
    BackToWorldList,
    ConfirmDelete,  // delete world
};

// Which fixed label group (of the content meta buffer) and record a button shows; group 0 is an
// overlay text line instead, whose number is the record.
struct MenuLabel {
    uint32_t group;  // 0..3
    uint32_t record;
};
inline constexpr uint32_t kTextLineLabels = 0;

// The overlay text lines of the menu texts that have no fixed label: the buttons LAN game, quit,
// continue, save and quit, then the new-world form's name label, from this line on, in that order.
inline constexpr uint32_t kMenuButtonFirstLine = 88;
inline constexpr uint32_t kMenuButtonLines = 5;
inline constexpr MenuLabel kWorldNameLabel{kTextLineLabels, kMenuButtonFirstLine + 4};
// Writes those lines into the overlay words (the whole content meta buffer).
void writeMenuButtonLines(std::span<uint32_t> words);

struct MenuButton {
    MenuAction action;
    SlotRect rect;
    MenuLabel label;
};

// The screens' buttons in drawing order; none for other screens.
std::vector<MenuButton> menuButtons(int32_t screen, float width, float height);
// The action of the button under a framebuffer position, NoAction when there is none.
MenuAction menuActionAt(int32_t screen, float x, float y, float width, float height);

// The world list's three rows of thumbnails, top to bottom.
inline constexpr int32_t kWorldRowsShown = 3;
std::vector<SlotRect> worldRowRects(float width, float height);
// The row (0..2) under a position, -1 when none.
int32_t worldRowAt(float x, float y, float width, float height);

// The new-world form's name field (0) and seed field (1).
SlotRect newWorldFieldRect(uint32_t field, float width, float height);
// The field under a position, -1 when none.
int32_t newWorldFieldAt(float x, float y, float width, float height);

// The pause window: narrow, so a player list has room beside it.
SlotRect pauseWindowRect(float width, float height);

// The interface's scale for a framebuffer size: 1 at 1280 x 720, within 0.75..3.
float interfaceUnit(float width, float height);

// The status message (toast): its glyph height and the margin of its plate, in units.
inline constexpr float kToastTextHeight = 22.0f;
inline constexpr float kToastMargin = 8.0f;
// Top of the toast's text on a screen: at 68 % of the height, or below the buttons it would cover.
float toastTop(int32_t screen, float width, float height);
// The band the toast's plate may take across the whole width, for a text at `top`.
SlotRect toastBand(float top, float width, float height);

// The world list's notice in place of its previews: the glyph height of its rows in units, and the
// top of row `row`, the rows centred in the free middle of the screen above the toast and buttons.
inline constexpr float kWorldNoticeTextHeight = 20.0f;
float worldNoticeTop(uint32_t row, float width, float height);

}  // namespace ui
