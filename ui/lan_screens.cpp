#include "ui/lan_screens.h"

#include <algorithm>

#include "render/interface/overlay_text.h"
#include "ui/connection_form.h"

namespace ui {

void writeScreenOverlay(std::span<uint32_t> words, ScreenOverlay overlay) {
    const std::size_t end = (render::kFirstTextLineRecord + kScreenFirstLine + kScreenLineCount) * render::kTextLineWords;
    if (words.size() < end) return;
    uint32_t* state = words.data() + (render::kFirstTextLineRecord + kScreenStateLine) * render::kTextLineWords;
    std::copy(overlay.state.begin(), overlay.state.end(), state);
    for (uint32_t k = 0; k < kScreenLineCount; ++k)
        render::encodeGlyphLine(words.data(), kScreenFirstLine + k, overlay.lines[k]);
}

float screenUnit(float width, float height) {
    return std::clamp(std::min(std::max(width, 1.0f) / 1280.0f, std::max(height, 1.0f) / 720.0f), 0.75f, 3.0f);
}

namespace {

ScreenRect centred(float cx, float cy, float w, float h) { return {cx - w * 0.5f, cy - h * 0.5f, w, h}; }

}  // namespace

ScreenRect formFieldRect(uint32_t field, float width, float height) {
    const float u = screenUnit(width, height);
    return centred(width * 0.5f, height * (0.3f + 0.16f * static_cast<float>(field)), 560.0f * u, 56.0f * u);
}

ScreenRect formButtonRect(uint32_t button, float width, float height) {
    const float u = screenUnit(width, height);
    const float offset = button == 0 ? -160.0f : 160.0f;
    return centred(width * 0.5f + offset * u, height * 0.86f, 280.0f * u, 52.0f * u);
}

ScreenRect respawnButtonRect(float width, float height) {
    const float u = screenUnit(width, height);
    return centred(width * 0.5f, height * 0.58f, 340.0f * u, 56.0f * u);
}

ScreenRect sheetRect(float width, float height) {
    const float u = screenUnit(width, height);
    return centred(width * 0.5f, height * 0.5f, std::min(960.0f * u, width * 0.96f),
                   std::min(600.0f * u, height * 0.94f));
}

ScreenRect sheetTabRect(uint32_t tab, float width, float height) {
    const float u = screenUnit(width, height);
    const ScreenRect sheet = sheetRect(width, height);
    const float offset = tab == 0 ? -150.0f : 150.0f;
    return centred(width * 0.5f + offset * u, sheet.y + 100.0f * u, 280.0f * u, 44.0f * u);
}

ScreenRect sheetRowRect(uint32_t row, float width, float height) {
    const float u = screenUnit(width, height);
    const ScreenRect sheet = sheetRect(width, height);
    return {sheet.x + 30.0f * u, sheet.y + 150.0f * u + static_cast<float>(row) * 42.0f * u, 420.0f * u, 36.0f * u};
}

ScreenRect npcAcceptRect(float width, float height) {
    const float u = screenUnit(width, height);
    const ScreenRect sheet = sheetRect(width, height);
    return {sheet.x + 490.0f * u, sheet.y + sheet.h - 90.0f * u, 300.0f * u, 52.0f * u};
}

ScreenRect pauseListRect(float width, float height) {
    const float u = screenUnit(width, height);
    return {width - 360.0f * u, 40.0f * u, 330.0f * u, (60.0f + 30.0f * kPausePlayersShown) * u};
}

namespace {

ScreenHitResult formHit(float x, float y, float width, float height) {
    for (uint32_t k = 0; k < kFormFields; ++k)
        if (formFieldRect(k, width, height).contains(x, y)) return {ScreenHit::field, k};
    for (uint32_t k = 0; k < 2; ++k)
        if (formButtonRect(k, width, height).contains(x, y)) return {ScreenHit::formButton, k};
    return {};
}

ScreenHitResult sheetHit(int32_t screen, float x, float y, float width, float height,
                         const std::array<uint32_t, 16>& state) {
    if (screen == kCharacterScreen || screen == kNpcScreen)
        for (uint32_t k = 0; k < 2; ++k)
            if (sheetTabRect(k, width, height).contains(x, y)) return {ScreenHit::tab, k};
    if (screen != kNpcScreen || state[kStateFocus] != 0) return {};
    const uint32_t rows = std::min(state[kStateRows], kNpcRowsShown);
    if (rows > 0 && npcAcceptRect(width, height).contains(x, y)) return {ScreenHit::accept, 0};
    for (uint32_t k = 0; k < rows; ++k)
        if (sheetRowRect(k, width, height).contains(x, y)) return {ScreenHit::row, k};
    return {};
}

}  // namespace

ScreenHitResult screenHit(int32_t screen, float x, float y, float width, float height,
                          const std::array<uint32_t, 16>& state) {
    if (screen == kConnectionScreen) return formHit(x, y, width, height);
    if (screen == kDeathScreen)
        return respawnButtonRect(width, height).contains(x, y) ? ScreenHitResult{ScreenHit::respawn, 0}
                                                                : ScreenHitResult{};
    return sheetHit(screen, x, y, width, height, state);
}

}  // namespace ui
