#pragma once
// The world name and seed of the world menus as glyph indices for the interface shader: 36 slots of
// 8 bits in 9 words (name in 0..23, number text in 24..33) and a record of counts.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/ui_state.h"

namespace render {

inline constexpr std::size_t kNameGlyphs = 24;
inline constexpr std::size_t kNumberGlyphs = 10;

struct MenuLabels {
    std::array<uint32_t, 9> glyphs{};
    // Name length (cut), number-text length (uncut), focused field, seed error, world count, selected.
    std::array<uint32_t, 6> counts{};
};

struct MenuLabelInputs {
    int32_t screen = 0;
    const std::vector<WorldEntry>* worlds = nullptr;
    int32_t selectedWorld = 0;
    const NewWorldForm* form = nullptr;
};

// Screens 5 and 12 show the selected world (empty texts when the index is outside the list),
// screen 6 the form being typed; any other screen empty texts.
MenuLabels buildMenuLabels(const MenuLabelInputs& in);
MenuLabels packMenuLabels(const std::u32string& name, const std::u32string& number, uint32_t focusedField,
                          bool seedError, uint32_t worldCount, uint32_t selectedWorld);

}  // namespace render
