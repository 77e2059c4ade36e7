#include "ui/menu_buttons.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "render/interface/overlay_text.h"
#include "ui/lan_screens.h"

namespace ui {

namespace {

constexpr int32_t kMainMenu = 1, kPause = 2, kWorldList = 5, kNewWorld = 6, kDeleteWorld = 12;

// Fixed labels used by the menus, and the overlay text lines of those without one.
constexpr MenuLabel kPlay{2, 11}, kCreateWorld{2, 12}, kDelete{2, 13}, kBack{2, 14}, kCancel{2, 16};
constexpr MenuLabel kLanGame{kTextLineLabels, kMenuButtonFirstLine}, kQuit{kTextLineLabels, kMenuButtonFirstLine + 1},
                    kContinue{kTextLineLabels, kMenuButtonFirstLine + 2},
                    kSaveAndQuit{kTextLineLabels, kMenuButtonFirstLine + 3};
const std::array<std::u32string_view, kMenuButtonLines> kMenuButtonTexts{
    U"СЕТЕВАЯ ИГРА", U"ВЫХОД", U"ПРОДОЛЖИТЬ", U"СОХРАНИТЬ И ВЫЙТИ", U"НАЗВАНИЕ"};
// After the lines of the LAN and character screens.
static_assert(kMenuButtonFirstLine == kScreenFirstLine + kScreenLineCount);

constexpr float kButtonHeight = 52.0f;

// A button of `width` units centred on `centreX`, its top at `top` (pixels).
SlotRect buttonRect(float unit, float centreX, float top, float width) {
    return {centreX - width * 0.5f * unit, top, width * unit, kButtonHeight * unit};
}

SlotRect centredRect(float cx, float cy, float w, float h) { return {cx - w * 0.5f, cy - h * 0.5f, w, h}; }

// A button row: horizontal offset from the centre and width, both in units.
struct RowButton {
    MenuAction action;
    float offset, width;
    MenuLabel label;
};

const std::array<RowButton, 5> kMainMenuButtons{{
    {MenuAction::OpenWorldList, 0.0f, 360.0f, kPlay},
    {MenuAction::ContinueWorld, 0.0f, 360.0f, kContinue},
    {MenuAction::OpenNewWorld, 0.0f, 360.0f, kCreateWorld},
    {MenuAction::OpenConnection, 0.0f, 360.0f, kLanGame},
    {MenuAction::Quit, 0.0f, 360.0f, kQuit},
}};
const std::array<RowButton, 4> kWorldListButtons{{
    {MenuAction::PlaySelected, -480.0f, 220.0f, kPlay},
    {MenuAction::OpenNewWorld, -160.0f, 280.0f, kCreateWorld},
    {MenuAction::DeleteSelected, 160.0f, 220.0f, kDelete},
    {MenuAction::BackToMainMenu, 480.0f, 220.0f, kBack},
}};
const std::array<RowButton, 2> kNewWorldButtons{{
    {MenuAction::CreateWorld, -160.0f, 280.0f, kCreateWorld},
    {MenuAction::BackToWorldList, 160.0f, 280.0f, kBack},
}};
const std::array<RowButton, 2> kDeleteButtons{{
    {MenuAction::ConfirmDelete, -150.0f, 240.0f, kDelete},
    {MenuAction::BackToWorldList, 150.0f, 240.0f, kCancel},
}};
const std::array<RowButton, 2> kPauseButtons{{
    {MenuAction::Resume, 0.0f, 380.0f, kContinue},
    {MenuAction::SaveAndQuit, 0.0f, 380.0f, kSaveAndQuit},
}};

// One row of buttons at `top`, placed around `centreX`.
template <std::size_t N>
void addRow(std::vector<MenuButton>& out, const std::array<RowButton, N>& row, float unit, float centreX, float top) {
    for (const RowButton& b : row) out.push_back({b.action, buttonRect(unit, centreX + b.offset * unit, top, b.width), b.label});
}

// One column of buttons from `top` down, `pitch` units apart.
template <std::size_t N>
void addColumn(std::vector<MenuButton>& out, const std::array<RowButton, N>& column, float unit, float centreX,
               float top, float pitch) {
    for (std::size_t k = 0; k < N; ++k) {
        const RowButton& b = column[k];
        out.push_back({b.action, buttonRect(unit, centreX, top + static_cast<float>(k) * pitch * unit, b.width), b.label});
    }
}

bool inside(const SlotRect& r, float x, float y) { return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h; }

}  // namespace

float interfaceUnit(float width, float height) {
    const float w = std::max(width, 1.0f), h = std::max(height, 1.0f);
    return std::clamp(std::min(w / 1280.0f, h / 720.0f), 0.75f, 3.0f);
}

SlotRect toastBand(float top, float width, float height) {
    const float unit = interfaceUnit(width, height);
    return {0.0f, top - kToastMargin * unit, std::max(width, 1.0f), (kToastTextHeight + 2.0f * kToastMargin) * unit};
}

float toastTop(int32_t screen, float width, float height) {
    const float unit = interfaceUnit(width, height);
    float top = std::max(height, 1.0f) * 0.68f;
    // The buttons come top to bottom: below one the toast would cover it may meet the next one of
    // a column, and goes below that one too.
    for (const MenuButton& button : menuButtons(screen, width, height)) {
        const SlotRect band = toastBand(top, width, height);
        const SlotRect& r = button.rect;
        if (r.y < band.y + band.h && band.y < r.y + r.h) top = r.y + r.h + 2.0f * kToastMargin * unit;
    }
    return top;
}

float worldNoticeTop(uint32_t row, float width, float height) {
    const float unit = interfaceUnit(width, height);
    const float pitch = (kWorldNoticeTextHeight + 14.0f) * unit;
    return std::max(height, 1.0f) * 0.45f + (static_cast<float>(row) - 1.5f) * pitch;
}

SlotRect pauseWindowRect(float width, float height) {
    const float unit = interfaceUnit(width, height);
    // Narrow, so that the sides stay free for the list of players in a LAN session.
    return centredRect(std::max(width, 1.0f) * 0.5f, std::max(height, 1.0f) * 0.5f, 440.0f * unit, 280.0f * unit);
}

std::vector<MenuButton> menuButtons(int32_t screen, float width, float height) {
    const float unit = interfaceUnit(width, height);
    const float w = std::max(width, 1.0f), h = std::max(height, 1.0f);
    std::vector<MenuButton> out;
    if (screen == kMainMenu) {
        addColumn(out, kMainMenuButtons, unit, w * 0.5f, h * 0.4f, 66.0f);
    } else if (screen == kPause) {
        const SlotRect window = pauseWindowRect(width, height);
        addColumn(out, kPauseButtons, unit, window.x + window.w * 0.5f, window.y + 50.0f * unit, 70.0f);
    } else if (screen == kWorldList) {
        addRow(out, kWorldListButtons, unit, w * 0.5f, h - 80.0f * unit);
    } else if (screen == kNewWorld) {
        addRow(out, kNewWorldButtons, unit, w * 0.5f, h * 0.7f);
    } else if (screen == kDeleteWorld) {
        const SlotRect window = centredRect(w * 0.5f, h * 0.5f, 640.0f * unit, 360.0f * unit);
        addRow(out, kDeleteButtons, unit, w * 0.5f, window.y + window.h - 80.0f * unit);
    }
    return out;
}

MenuAction menuActionAt(int32_t screen, float x, float y, float width, float height) {
    for (const MenuButton& button : menuButtons(screen, width, height))
        if (inside(button.rect, x, y)) return button.action;
    return MenuAction::NoAction;
}

std::vector<SlotRect> worldRowRects(float width, float height) {
    const float unit = interfaceUnit(width, height);
    std::vector<SlotRect> rows;
    for (int32_t k = 0; k < kWorldRowsShown; ++k) {
        const float top = 120.0f * unit + static_cast<float>(k) * (126.0f * unit + 16.0f * unit);
        rows.push_back({std::max(width, 1.0f) * 0.5f - 520.0f * unit, top, 224.0f * unit, 126.0f * unit});
    }
    return rows;
}

int32_t worldRowAt(float x, float y, float width, float height) {
    const std::vector<SlotRect> rows = worldRowRects(width, height);
    for (std::size_t k = 0; k < rows.size(); ++k)
        if (inside(rows[k], x, y)) return static_cast<int32_t>(k);
    return -1;
}

SlotRect newWorldFieldRect(uint32_t field, float width, float height) {
    const float unit = interfaceUnit(width, height);
    const float w = std::max(width, 1.0f), h = std::max(height, 1.0f);
    return centredRect(w * 0.5f, h * (field == 1u ? 0.52f : 0.36f), 560.0f * unit, 60.0f * unit);
}

int32_t newWorldFieldAt(float x, float y, float width, float height) {
    for (uint32_t field = 0; field < 2u; ++field)
        if (inside(newWorldFieldRect(field, width, height), x, y)) return static_cast<int32_t>(field);
    return -1;
}

void writeMenuButtonLines(std::span<uint32_t> words) {
    const std::size_t end = (render::kFirstTextLineRecord + kMenuButtonFirstLine + kMenuButtonLines) * render::kTextLineWords;
    if (words.size() < end) return;
    for (uint32_t k = 0; k < kMenuButtonLines; ++k) {
        std::u32string text(kMenuButtonTexts[k]);
        render::encodeGlyphLine(words.data(), kMenuButtonFirstLine + k, text);
    }
}

}  // namespace ui
