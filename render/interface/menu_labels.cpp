#include "render/interface/menu_labels.h"

#include <algorithm>

#include "ui/font_alphabet.h"

namespace render {

namespace {

constexpr int32_t kWorldListScreen = 5;
constexpr int32_t kNewWorldScreen = 6;
constexpr int32_t kDeleteWorldScreen = 12;

void putGlyph(std::array<uint32_t, 9>& words, std::size_t slot, char32_t c) {
    words[slot / 4] |= (ui::glyphIndex(c) & 0xFFu) << (8 * (slot % 4));
}

std::u32string decimal(uint32_t value) {
    const std::string text = std::to_string(value);
    return std::u32string(text.begin(), text.end());
}

}  // namespace

MenuLabels packMenuLabels(const std::u32string& name, const std::u32string& number, uint32_t focusedField,
                          bool seedError, uint32_t worldCount, uint32_t selectedWorld) {
    MenuLabels labels;
    const std::size_t nameLength = std::min(name.size(), kNameGlyphs);
    for (std::size_t i = 0; i < nameLength; ++i) putGlyph(labels.glyphs, i, name[i]);
    for (std::size_t j = 0; j < std::min(number.size(), kNumberGlyphs); ++j)
        putGlyph(labels.glyphs, kNameGlyphs + j, number[j]);
    labels.counts = {static_cast<uint32_t>(nameLength), static_cast<uint32_t>(number.size()), focusedField,
                     seedError ? 1u : 0u, worldCount, selectedWorld};
    return labels;
}

MenuLabels buildMenuLabels(const MenuLabelInputs& in) {
    std::u32string name, number;
    const std::size_t count = in.worlds ? in.worlds->size() : 0;
    const bool listScreen = in.screen == kWorldListScreen || in.screen == kDeleteWorldScreen;
    if (listScreen && in.selectedWorld >= 0 && static_cast<std::size_t>(in.selectedWorld) < count) {
        const WorldEntry& world = (*in.worlds)[static_cast<std::size_t>(in.selectedWorld)];
        name = world.name;
        number = decimal(world.seed);
    } else if (in.screen == kNewWorldScreen && in.form) {
        name = in.form->name;
        number = in.form->seed;
    }
    const NewWorldForm none;
    const NewWorldForm& form = in.form ? *in.form : none;
    return packMenuLabels(name, number, form.focusedField, form.seedError, static_cast<uint32_t>(count),
                          static_cast<uint32_t>(in.selectedWorld));
}

}  // namespace render
