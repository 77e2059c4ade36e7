#pragma once
// Typing into the new-world form: the world name (field 0) and the seed (field 1, at most 10
// decimal digits). Pure, so every edge is tested without a window.
#include <cstdint>
#include <optional>
#include <string>

#include "ui/ui_state.h"

namespace ui {

inline constexpr std::size_t kWorldNameLimit = 24;  // what the world menus show of a name
inline constexpr std::size_t kSeedDigits = 10;

// A typed character goes into the focused field. The seed takes only digits and at most 10 of them;
// anything else is refused and raises the error flag. Control characters are refused.
void typeIntoForm(NewWorldForm& form, char32_t c);
// Backspace in the focused field; it clears the error flag.
void eraseFromForm(NewWorldForm& form);
// Tab: the other field.
void switchFormField(NewWorldForm& form);

// The seed the form stands for: `randomSeed` when the text is empty, else its value when the text is
// 1..10 digits within 32 bits; nothing otherwise.
std::optional<uint32_t> formSeed(const std::u32string& text, uint32_t randomSeed);
// The typed name with surrounding spaces removed, or `fallback` when nothing is left.
std::u32string formWorldName(const std::u32string& typed, const std::u32string& fallback);

}  // namespace ui
